// Reading and writing whole XML files: byte-order marks, the encoding a
// document declares, UTF-8 detection, and conversion to and from the wide
// text. Conversions other than UTF-8 and UTF-16 go through glibc's iconv,
// which stands in for the platform's code page conversion.
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "app/xml/XmlDocument.h"
#include "app/xml/XmlSyntax.h"
#include "toolkit/platform/Utf.h"

namespace Quillon {

using namespace XmlSyntax;

namespace {

// Encodings are looked for in the first kilobyte of a file.
constexpr std::size_t kHeadBytes = 1024;
// The program's own files and its exchange files are a few hundred kilobytes
// at most. A file far beyond that is none of them, and its text and element
// index would take many times its size in memory, so it is refused.
constexpr std::size_t kMaxFileBytes = 16u << 20;
// What Windows calls the system ANSI code page on a Western installation:
// the fallback for 8-bit text that is not UTF-8 and declares nothing.
constexpr const char* kAnsiEncoding = "WINDOWS-1252";
constexpr char32_t kReplacement = 0xFFFD;

enum class Kind { Utf8, Utf16LE, Utf16BE, Other };

struct Encoding {
    Kind kind = Kind::Utf8;
    std::string iconv_name; // for Kind::Other
    std::wstring label;     // as logged
};

std::wstring Number(std::size_t n) {
    return std::to_wstring(n);
}

std::string LowerAscii(std::wstring_view name) {
    std::string out;
    for (wchar_t c : name)
        out += static_cast<char>(c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c);
    return out;
}

// Owns one iconv conversion descriptor.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (IsValid())
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool IsValid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    // One step of iconv; returns its result and leaves errno as iconv set it.
    std::size_t Step(const char*& in, std::size_t& inLeft, char*& out, std::size_t& outLeft) {
        return iconv(m_cd, const_cast<char**>(&in), &inLeft, &out, &outLeft);
    }

private:
    iconv_t m_cd;
};

// Only plain charset names reach iconv: letters, digits and a few
// punctuation marks, never its "//" options.
bool IsPlainCharsetName(std::string_view name) {
    if (name.empty() || name.size() > 40)
        return false;
    for (char c : name) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
                  c == '.' || c == ':' || c == '+' || c == '(' || c == ')';
        if (!ok)
            return false;
    }
    return true;
}

// Maps a charset name to a conversion; names iconv does not know fall back
// to the ANSI code page.
Encoding Resolve(std::wstring_view name) {
    std::string lower = LowerAscii(name);
    Encoding enc;
    enc.label = std::wstring(name);
    if (lower == "utf-8" || lower == "utf8")
        return enc;
    if (lower == "utf-16le" || lower == "utf-16" || lower == "unicode") {
        enc.kind = Kind::Utf16LE;
        return enc;
    }
    if (lower == "utf-16be" || lower == "unicodefffe") {
        enc.kind = Kind::Utf16BE;
        return enc;
    }
    enc.kind = Kind::Other;
    if (IsPlainCharsetName(lower) && Converter("UTF-32LE", lower.c_str()).IsValid()) {
        enc.iconv_name = lower;
    } else {
        enc.iconv_name = kAnsiEncoding;
        enc.label = L"WINDOWS-1252";
    }
    return enc;
}

bool IsUtf32(std::wstring_view name) {
    return LowerAscii(name).starts_with("utf-32");
}

// Code points from UTF-16 units; a lone surrogate becomes U+FFFD.
std::wstring FromUtf16(const std::u16string& units) {
    std::wstring out;
    out.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t u = units[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            out += static_cast<wchar_t>(0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            out += static_cast<wchar_t>(kReplacement);
        } else {
            out += static_cast<wchar_t>(u);
        }
    }
    return out;
}

std::u16string ToUtf16(std::wstring_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (wchar_t w : text) {
        auto c = static_cast<char32_t>(w);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            c = kReplacement;
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

// True when every byte of 128 or more leads a well-formed 2 to 4 byte sequence.
bool LooksLikeUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        auto b = static_cast<unsigned char>(bytes[i]);
        std::size_t n = b < 0x80   ? 1
                        : b < 0xC0 ? 0
                        : b < 0xE0 ? 2
                        : b < 0xF0 ? 3
                        : b < 0xF8 ? 4
                                   : 0;
        if (n == 0 || i + n > bytes.size())
            return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80)
                return false;
        i += n;
    }
    return true;
}

// Converts bytes of an iconv charset to wide text. A byte that does not
// convert becomes U+FFFD; a sequence cut short at the end is logged.
std::wstring DecodeWithIconv(std::string_view bytes, const std::string& charset,
                             std::wstring& log) {
    Converter conv("UTF-32LE", charset.c_str());
    std::wstring out;
    if (!conv.IsValid())
        return out;
    out.reserve(bytes.size());
    const char* in = bytes.data();
    std::size_t inLeft = bytes.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* o = buffer;
        std::size_t outLeft = sizeof buffer;
        std::size_t r = conv.Step(in, inLeft, o, outLeft);
        int err = errno;
        for (const char* p = buffer; p + 4 <= o; p += 4) {
            char32_t c = static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[1]) << 8 |
                         static_cast<unsigned char>(p[2]) << 16 |
                         static_cast<char32_t>(static_cast<unsigned char>(p[3])) << 24;
            out += static_cast<wchar_t>(c);
        }
        if (r != static_cast<std::size_t>(-1) || err == E2BIG)
            continue;
        out += static_cast<wchar_t>(kReplacement);
        if (err == EINVAL) {
            AppendLog(log, L"truncation_error", {{L"length", Number(inLeft)}});
            break;
        }
        ++in; // EILSEQ: step over the byte that does not convert
        --inLeft;
    }
    return out;
}

// Converts wide text to an iconv charset; characters it cannot represent
// become "?" and set `loss`.
std::string EncodeWithIconv(std::wstring_view text, const std::string& charset, bool& loss) {
    Converter conv(charset.c_str(), "UTF-32LE");
    std::string out;
    if (!conv.IsValid()) {
        loss = !text.empty();
        return out;
    }
    auto feed = [&](char32_t c) -> bool {
        char in32[4] = {static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF),
                        static_cast<char>((c >> 16) & 0xFF), static_cast<char>((c >> 24) & 0xFF)};
        const char* in = in32;
        std::size_t inLeft = sizeof in32;
        char buffer[32];
        char* o = buffer;
        std::size_t outLeft = sizeof buffer;
        if (conv.Step(in, inLeft, o, outLeft) == static_cast<std::size_t>(-1))
            return false;
        out.append(buffer, static_cast<std::size_t>(o - buffer));
        return true;
    };
    for (wchar_t w : text) {
        if (!feed(static_cast<char32_t>(w))) {
            loss = true;
            feed(U'?');
        }
    }
    // Stateful encodings end with their shift back to the initial state.
    char buffer[32];
    char* o = buffer;
    std::size_t outLeft = sizeof buffer;
    const char* noIn = nullptr;
    std::size_t noLeft = 0;
    conv.Step(noIn, noLeft, o, outLeft);
    out.append(buffer, static_cast<std::size_t>(o - buffer));
    return out;
}

struct FileCloser {
    void operator()(std::FILE* f) const noexcept { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Opens a new file next to `target` for writing; `temp` receives its name. The
// new file takes the target's permissions when the target exists.
File CreateTempBeside(const std::filesystem::path& target, std::filesystem::path& temp) {
    constexpr mode_t kNewFileMode = 0644;
    std::string name = target.string() + ".XXXXXX";
    int fd = mkstemp(name.data());
    if (fd < 0)
        return File();
    struct stat existing {};
    fchmod(fd, stat(target.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : kNewFileMode);
    File file(fdopen(fd, "wb"));
    if (!file) {
        int error = errno;
        close(fd);
        unlink(name.c_str());
        errno = error;
        return File();
    }
    temp = name;
    return file;
}

void LogFileError(std::wstring& log, int error) {
    std::string message = std::strerror(error);
    message = message.substr(0, message.find('\n'));
    AppendLog(log, L"file_error",
              {{L"msg", VellumUI::Utf8ToWide(message)}, {L"n", std::to_wstring(error)}});
}

// Where the value starts after `pos`: blanks, "=", blanks. npos without "=".
std::size_t AfterEquals(std::wstring_view text, std::size_t pos) {
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    if (pos >= text.size() || text[pos] != L'=')
        return std::wstring_view::npos;
    ++pos;
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    return pos;
}

std::wstring CharsetFromContent(std::wstring_view content) {
    std::string lower = LowerAscii(content);
    std::size_t at = lower.find("charset");
    if (at == std::string::npos)
        return {};
    std::size_t pos = AfterEquals(content, at + 7);
    if (pos == std::wstring_view::npos)
        return {};
    std::size_t end = pos;
    while (end < content.size() && !IsBlank(content[end]) && content[end] != L';' &&
           content[end] != L'"' && content[end] != L'\'')
        ++end;
    return std::wstring(content.substr(pos, end - pos));
}

// The charset of the Content-Type meta element of an html document, looked
// for up to the end tag of head. Html leaves meta unclosed and a head cut
// from a longer file leaves html and head open, so the parse may have moved
// the meta elements anywhere: every element is visited in document order.
std::wstring FindMetaCharset(std::wstring_view text) {
    XmlDocument doc(text.substr(0, text.find(L"</head")));
    if (!doc.FindElement(L"") || doc.GetTagName() != L"html")
        return {};
    doc.EnterElement();
    int depth = 1; // levels entered; the top level is 0
    while (true) {
        if (doc.FindElement(L"")) {
            if (doc.GetTagName() == L"meta" &&
                LowerAscii(doc.GetAttribute(L"http-equiv")) == "content-type")
                return CharsetFromContent(doc.GetAttribute(L"content"));
            doc.EnterElement();
            ++depth;
        } else if (depth > 0) {
            doc.LeaveElement();
            --depth;
        } else {
            return {};
        }
    }
}

// The encoding a document names in its first kHeadBytes characters: the
// encoding of its "<?xml" declaration, or for an html document the charset
// of its Content-Type meta element.
std::wstring FindDeclaredEncoding(std::wstring_view text) {
    text = text.substr(0, kHeadBytes);
    if (text.starts_with(L"<?xml")) {
        std::wstring_view decl = text.substr(0, text.find(L"?>"));
        std::size_t at = decl.find(L"encoding");
        if (at == std::wstring_view::npos)
            return {};
        std::size_t pos = AfterEquals(decl, at + 8);
        if (pos >= decl.size() || (decl[pos] != L'"' && decl[pos] != L'\''))
            return {};
        std::size_t end = decl.find(decl[pos], pos + 1);
        if (end == std::wstring_view::npos)
            return {};
        return std::wstring(decl.substr(pos + 1, end - pos - 1));
    }
    return FindMetaCharset(text);
}

// Reads the whole file, or fails with errno set. A file past kMaxFileBytes
// fails with EFBIG, before any reading when its size is known.
bool ReadAll(std::FILE* file, std::string& bytes) {
    struct stat info {};
    if (fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode) &&
        static_cast<std::uintmax_t>(info.st_size) > kMaxFileBytes) {
        errno = EFBIG;
        return false;
    }
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        if (bytes.size() + n > kMaxFileBytes) {
            errno = EFBIG;
            return false;
        }
        bytes.append(buffer, n);
    }
    return !std::ferror(file);
}

std::wstring DecodeUtf16(std::string_view bytes, bool bigEndian, std::wstring& log) {
    if (bytes.size() % 2 != 0) {
        AppendLog(log, L"truncation_error", {{L"length", Number(1)}});
        bytes.remove_suffix(1);
    }
    std::u16string units;
    units.reserve(bytes.size() / 2);
    std::size_t nulls = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        auto lo = static_cast<unsigned char>(bytes[i]);
        auto hi = static_cast<unsigned char>(bytes[i + 1]);
        auto unit = static_cast<char16_t>(bigEndian ? (lo << 8 | hi) : (hi << 8 | lo));
        if (unit == 0)
            ++nulls;
        else
            units += unit;
    }
    if (nulls > 0)
        AppendLog(log, L"nulls_removed", {{L"count", Number(nulls)}});
    if (bigEndian)
        AppendLog(log, L"endian_swap", {});
    std::wstring text = FromUtf16(units);
    AppendLog(log, L"converted_to", {{L"encoding", L"UTF-16"}, {L"length", Number(text.size())}});
    return text;
}

// The byte-order marks, with the encoding each names and its file flag.
struct Mark {
    std::string_view bytes;
    const wchar_t* encoding;
    unsigned flag;
};
constexpr Mark kMarks[] = {
    {"\xEF\xBB\xBF", L"UTF-8", XmlDocument::kFileUtf8Bom},
    {"\xFF\xFE", L"UTF-16LE", XmlDocument::kFileUtf16LE},
    {"\xFE\xFF", L"UTF-16BE", XmlDocument::kFileUtf16BE},
};

// Takes a byte-order mark off the front of `data`: the encoding it names,
// with its flag set, or empty when there is none.
std::wstring TakeByteOrderMark(std::string_view& data, unsigned& flags) {
    for (const Mark& mark : kMarks) {
        if (data.starts_with(mark.bytes)) {
            data.remove_prefix(mark.bytes.size());
            flags |= mark.flag;
            return mark.encoding;
        }
    }
    return {};
}

// Converts the bytes of a file without UTF-16 mark: zero bytes dropped
// (except in UTF-32), an unknown encoding settled by the UTF-8 test.
std::wstring DecodeBytes(std::string_view data, std::wstring encoding, std::wstring& log) {
    std::string kept;
    if (!IsUtf32(encoding)) {
        kept.reserve(data.size());
        for (char c : data)
            if (c != '\0')
                kept += c;
        if (kept.size() != data.size())
            AppendLog(log, L"nulls_removed", {{L"count", Number(data.size() - kept.size())}});
        data = kept;
    }
    if (encoding.empty()) {
        AppendLog(log, L"utf8_detection", {});
        encoding = LooksLikeUtf8(data) ? L"UTF-8" : L"WINDOWS-1252";
    }
    Encoding enc = Resolve(encoding);
    // A declared UTF-16 without a mark was evidently read as 8-bit text.
    std::wstring text = enc.kind == Kind::Other ? DecodeWithIconv(data, enc.iconv_name, log)
                                                : VellumUI::Utf8ToWide(data);
    AppendLog(log, L"converted_to", {{L"encoding", L"UTF-16"}, {L"length", Number(text.size())}});
    return text;
}

// The bytes a save writes: the byte-order mark the flags ask for when the
// file is being started, then the text in the file's encoding. `written`
// receives the name of that encoding.
std::string EncodeForSave(std::wstring_view text, unsigned flags, bool starting, std::wstring& log,
                          std::wstring& written) {
    std::wstring declared = FindDeclaredEncoding(text);
    if (declared.empty())
        declared = L"UTF-8";
    Encoding enc = Resolve(declared);
    // A document that declares UTF-16 is written as UTF-16 with its mark:
    // without one, a load would take the file for 8-bit text.
    constexpr unsigned kUtf16Flags = XmlDocument::kFileUtf16LE | XmlDocument::kFileUtf16BE;
    if (!(flags & kUtf16Flags) && (enc.kind == Kind::Utf16LE || enc.kind == Kind::Utf16BE))
        flags = (flags & ~XmlDocument::kFileUtf8Bom) |
                (enc.kind == Kind::Utf16BE ? XmlDocument::kFileUtf16BE : XmlDocument::kFileUtf16LE);

    std::string bytes;
    for (const Mark& mark : kMarks) {
        if (starting && (flags & mark.flag)) {
            bytes = mark.bytes;
            AppendLog(log, L"bom", {{L"encoding", mark.encoding}});
            break;
        }
    }

    if (flags & kUtf16Flags) {
        bool big = (flags & XmlDocument::kFileUtf16BE) != 0;
        if (big)
            AppendLog(log, L"endian_swap", {});
        for (char16_t u : ToUtf16(text)) {
            char lo = static_cast<char>(u & 0xFF);
            char hi = static_cast<char>(u >> 8);
            bytes += big ? hi : lo;
            bytes += big ? lo : hi;
        }
        written = big ? L"UTF-16BE" : L"UTF-16LE";
        return bytes;
    }
    bool loss = false;
    std::string converted = enc.kind == Kind::Other ? EncodeWithIconv(text, enc.iconv_name, loss)
                                                    : VellumUI::WideToUtf8(text);
    AppendLog(log, L"converted_from",
              {{L"encoding", enc.label}, {L"length", Number(converted.size())}});
    if (loss)
        AppendLog(log, L"conversion_loss", {});
    written = declared;
    return bytes + converted;
}

} // namespace

bool XmlDocument::LoadTextFile(const std::filesystem::path& path, std::wstring& text,
                               std::wstring& log, unsigned& flags) {
    text.clear();
    flags &= ~(kFileUtf8Bom | kFileUtf16LE | kFileUtf16BE);
    File file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        LogFileError(log, errno);
        return false;
    }
    std::string bytes;
    if (!ReadAll(file.get(), bytes)) {
        LogFileError(log, errno);
        return false;
    }
    std::string_view data(bytes);

    std::wstring encoding = TakeByteOrderMark(data, flags);
    if (!encoding.empty()) {
        AppendLog(log, L"bom", {{L"encoding", encoding}});
    } else {
        encoding = FindDeclaredEncoding(VellumUI::Utf8ToWide(data.substr(0, kHeadBytes)));
        if (encoding.empty() && data.starts_with('<'))
            encoding = L"UTF-8";
    }
    AppendLog(log, L"read", {{L"encoding", encoding}, {L"length", Number(bytes.size())}});

    if (flags & (kFileUtf16LE | kFileUtf16BE))
        text = DecodeUtf16(data, (flags & kFileUtf16BE) != 0, log);
    else
        text = DecodeBytes(data, encoding, log);
    return true;
}

bool XmlDocument::SaveTextFile(const std::filesystem::path& path, std::wstring_view text,
                               std::wstring& log, unsigned& flags) {
    bool append = (flags & kFileAppend) != 0;
    // A whole-file save goes to a temporary file beside the target and replaces
    // it only once everything is on disk, so a failed write never destroys the
    // file the user already had.
    std::filesystem::path temp;
    File file = append ? File(std::fopen(path.c_str(), "ab")) : CreateTempBeside(path, temp);
    if (!file) {
        LogFileError(log, errno);
        return false;
    }
    bool starting = !append || std::ftell(file.get()) == 0;
    std::wstring written;
    std::string bytes = EncodeForSave(text, flags, starting, log, written);

    errno = 0;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    ok = ok && std::fflush(file.get()) == 0 && fsync(fileno(file.get())) == 0;
    int error = errno;
    ok = std::fclose(file.release()) == 0 && ok;
    if (!temp.empty()) {
        if (ok && std::rename(temp.c_str(), path.c_str()) != 0) {
            ok = false;
            error = errno;
        }
        if (!ok)
            unlink(temp.c_str());
    }
    if (!ok) {
        LogFileError(log, error != 0 ? error : errno);
        return false;
    }
    AppendLog(log, L"write", {{L"encoding", written}, {L"length", Number(bytes.size())}});
    return true;
}

} // namespace Quillon
