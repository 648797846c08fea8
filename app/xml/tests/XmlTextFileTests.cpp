#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "app/xml/XmlDocument.h"
#include "tools/testing/TestEnvironment.h"

namespace Quillon {
namespace {

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool Has(const std::wstring& log, const std::wstring& entry) {
    return log.find(entry) != std::wstring::npos;
}

// An html head as browsers accept it: meta left unclosed, html still open
// where the first kilobyte ends.
const std::string kHtmlHead = "<html><head><meta http-equiv=\"Content-Type\" "
                              "content=\"text/html; charset=ISO-8859-1\"><title>t</title></head>";
const std::wstring kHtmlHeadWide(kHtmlHead.begin(), kHtmlHead.end());
constexpr std::size_t kPastHead = 1100;

TEST(XmlTextFileTest, LoadDetectsMarksDeclarationsAndUtf8) {
    struct Case {
        const char* label;
        std::string bytes;
        std::wstring text;
        unsigned flags;
        const wchar_t* logged;
    };
    const Case cases[] = {
        {"UTF-16LE mark", std::string("\xFF\xFE<\0a\0/\0>\0\x3D\xD8\x00\xDE", 14),
         L"<a/>\U0001F600", XmlDocument::kFileUtf16LE, L"<bom encoding=\"UTF-16LE\"/>"},
        {"UTF-16BE mark", std::string("\xFE\xFF\0<\0a\0/\0>\0\xE9", 12), L"<a/>\u00E9",
         XmlDocument::kFileUtf16BE, L"<endian_swap/>"},
        {"UTF-8 mark", "\xEF\xBB\xBF<a>\xC3\xA9</a>", L"<a>\u00E9</a>", XmlDocument::kFileUtf8Bom,
         L"<bom encoding=\"UTF-8\"/>"},
        {"plain UTF-8", "\n<a>\xE2\x82\xAC</a>", L"\n<a>\u20AC</a>", 0, L"<utf8_detection/>"},
        {"not UTF-8: ANSI", "\n<a>\xE9\x80</a>", L"\n<a>\u00E9\u20AC</a>", 0, L"<utf8_detection/>"},
        {"starts with <: UTF-8", "<a>\xC3\xA9</a>", L"<a>\u00E9</a>", 0,
         L"<read encoding=\"UTF-8\""},
        {"declared Latin-1", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xE9</a>",
         L"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\u00E9</a>", 0,
         L"<read encoding=\"ISO-8859-1\""},
        {"declared Shift_JIS", "<?xml encoding='shift_jis'?><a>\x82\xA0</a>",
         L"<?xml encoding='shift_jis'?><a>\u3042</a>", 0, L"<converted_to"},
        {"unknown name: ANSI", "<?xml encoding=\"x-bogus\"?><a>\xE9</a>",
         L"<?xml encoding=\"x-bogus\"?><a>\u00E9</a>", 0, L"<converted_to"},
        {"iconv options refused", "<?xml encoding=\"utf-8//IGNORE\"?>\xE9",
         L"<?xml encoding=\"utf-8//IGNORE\"?>\u00E9", 0, L"<converted_to"},
        {"html meta charset",
         "<html><head><title>t</title><meta http-equiv=\"content-type\" "
         "content=\"text/html; charset=ISO-8859-1\"></head><body>\xE9</body></html>",
         L"<html><head><title>t</title><meta http-equiv=\"content-type\" "
         L"content=\"text/html; charset=ISO-8859-1\"></head><body>\u00E9</body></html>",
         0, L"<read encoding=\"ISO-8859-1\""},
        {"html longer than the head", kHtmlHead + std::string(kPastHead, 'x') + "\xE9",
         kHtmlHeadWide + std::wstring(kPastHead, L'x') + L"\u00E9", 0,
         L"<read encoding=\"ISO-8859-1\""},
        {"zero bytes dropped", std::string("<a>\0b</a>", 9), L"<a>b</a>", 0,
         L"<nulls_removed count=\"1\"/>"},
        {"odd UTF-16", std::string("\xFF\xFE<\0a\0/\0>\0!", 11), L"<a/>", XmlDocument::kFileUtf16LE,
         L"<truncation_error"},
    };
    QuillonTesting::TempDir dir;
    for (const Case& c : cases) {
        auto path = dir.WriteFile("case.xml", c.bytes);
        std::wstring text, log;
        unsigned flags = XmlDocument::kFileUtf16BE; // a load replaces these
        EXPECT_TRUE(XmlDocument::LoadTextFile(path, text, log, flags)) << c.label;
        EXPECT_EQ(text, c.text) << c.label;
        EXPECT_EQ(flags, c.flags) << c.label;
        EXPECT_TRUE(Has(log, c.logged)) << c.label << ": " << testing::PrintToString(log);
    }
}

TEST(XmlTextFileTest, MissingOrOversizedFileFailsWithFileError) {
    QuillonTesting::TempDir dir;
    // A gigabyte of nothing, and a device that never ends: neither is read
    // into memory.
    auto huge = dir.WriteFile("huge.xml", "<a/>");
    std::filesystem::resize_file(huge, std::uintmax_t{1} << 30);
    const std::pair<std::filesystem::path, const wchar_t*> cases[] = {
        {dir.Path() / "absent.xml", L"<file_error msg=\"No such file or directory\" n=\"2\"/>"},
        {huge, L"<file_error msg=\"File too large\" n=\"27\"/>"},
        {"/dev/zero", L"<file_error msg=\"File too large\" n=\"27\"/>"},
    };
    XmlDocument doc;
    for (const auto& [path, logged] : cases) {
        EXPECT_FALSE(doc.Load(path)) << path;
        EXPECT_TRUE(doc.GetText().empty()) << path;
        EXPECT_TRUE(Has(doc.GetResult(), logged)) << testing::PrintToString(doc.GetResult());
    }
    EXPECT_FALSE(doc.Save(dir.Path() / "no" / "such" / "folder.xml"));
    EXPECT_TRUE(Has(doc.GetResult(), L"<file_error"));
}

TEST(XmlTextFileTest, SaveWritesTheDeclaredEncodingAndRequestedMarks) {
    QuillonTesting::TempDir dir;
    auto path = dir.Path() / "out.xml";
    const std::wstring body = L"<a v=\"\u00E9\u20AC\"/>";
    struct Case {
        const char* label;
        std::wstring text;
        unsigned flags;
        std::string bytes;
    };
    const Case cases[] = {
        {"UTF-8 by default", body, 0, "<a v=\"\xC3\xA9\xE2\x82\xAC\"/>"},
        {"UTF-8 mark", body, XmlDocument::kFileUtf8Bom,
         "\xEF\xBB\xBF<a v=\"\xC3\xA9\xE2\x82\xAC\"/>"},
        {"UTF-16LE", L"<a/>\U0001F600", XmlDocument::kFileUtf16LE,
         std::string("\xFF\xFE<\0a\0/\0>\0\x3D\xD8\x00\xDE", 14)},
        {"UTF-16BE", L"<a/>", XmlDocument::kFileUtf16BE, std::string("\xFE\xFF\0<\0a\0/\0>", 10)},
        {"declared windows-1252", L"<?xml encoding=\"windows-1252\"?>" + body, 0,
         "<?xml encoding=\"windows-1252\"?><a v=\"\xE9\x80\"/>"},
        // A load looks no further than the head, so neither does a save.
        {"charset past the head", std::wstring(kPastHead, L' ') + kHtmlHeadWide + L"\u00E9", 0,
         std::string(kPastHead, ' ') + kHtmlHead + "\xC3\xA9"},
    };
    for (const Case& c : cases) {
        std::wstring log;
        unsigned flags = c.flags;
        ASSERT_TRUE(XmlDocument::SaveTextFile(path, c.text, log, flags)) << c.label;
        EXPECT_EQ(ReadBytes(path), c.bytes) << c.label;
        EXPECT_TRUE(Has(log, L"<write")) << c.label;
        // What was written loads back as the same text and flags.
        std::wstring text;
        unsigned loaded = 0;
        ASSERT_TRUE(XmlDocument::LoadTextFile(path, text, log, loaded));
        EXPECT_EQ(text, c.text) << c.label;
        EXPECT_EQ(loaded, c.flags) << c.label;
    }
}

TEST(XmlTextFileTest, DeclaredUtf16IsWrittenWithItsMark) {
    QuillonTesting::TempDir dir;
    auto path = dir.Path() / "utf16.xml";
    const std::wstring text = L"<?xml encoding=\"UTF-16BE\"?><a>\u00E9</a>";
    std::wstring log;
    unsigned flags = 0;
    ASSERT_TRUE(XmlDocument::SaveTextFile(path, text, log, flags));
    EXPECT_TRUE(ReadBytes(path).starts_with(std::string_view("\xFE\xFF\0<\0?", 6)));
    std::wstring loaded;
    ASSERT_TRUE(XmlDocument::LoadTextFile(path, loaded, log, flags));
    EXPECT_EQ(loaded, text);
}

TEST(XmlTextFileTest, SaveReportsCharactersTheEncodingCannotHold) {
    QuillonTesting::TempDir dir;
    auto path = dir.Path() / "latin1.xml";
    std::wstring log;
    unsigned flags = 0;
    ASSERT_TRUE(XmlDocument::SaveTextFile(
        path, L"<?xml encoding=\"ISO-8859-1\"?><a>\u00E9\u20AC</a>", log, flags));
    EXPECT_EQ(ReadBytes(path), "<?xml encoding=\"ISO-8859-1\"?><a>\xE9?</a>");
    EXPECT_TRUE(Has(log, L"<conversion_loss/>"));
}

TEST(XmlTextFileTest, AppendWritesNoSecondMark) {
    QuillonTesting::TempDir dir;
    auto path = dir.Path() / "append.xml";
    std::wstring log;
    unsigned flags = XmlDocument::kFileUtf8Bom | XmlDocument::kFileAppend;
    ASSERT_TRUE(XmlDocument::SaveTextFile(path, L"<a/>", log, flags));
    ASSERT_TRUE(XmlDocument::SaveTextFile(path, L"<b/>", log, flags));
    EXPECT_EQ(ReadBytes(path), "\xEF\xBB\xBF<a/><b/>");
}

TEST(XmlTextFileTest, LoadedDocumentSavesBackByteForByte) {
    QuillonTesting::TempDir dir;
    const std::string original("\xFF\xFE<\0r\0>\0\xE9\0<\0/\0r\0>\0", 18);
    auto in = dir.WriteFile("in.xml", original);
    XmlDocument doc;
    ASSERT_TRUE(doc.Load(in));
    ASSERT_TRUE(doc.Save(dir.Path() / "out.xml"));
    EXPECT_EQ(ReadBytes(dir.Path() / "out.xml"), original);
}

} // namespace
} // namespace Quillon

namespace Quillon {
namespace {

TEST(XmlTextFileTest, SaveReplacesTheFileWholeAndLeavesNothingBehind) {
    QuillonTesting::TempDir dir;
    auto path = dir.WriteFile("profile.xml", "<old/>");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::owner_write);
    std::wstring log;
    unsigned flags = 0;
    ASSERT_TRUE(XmlDocument::SaveTextFile(path, L"<new/>", log, flags));
    EXPECT_EQ(ReadBytes(path), "<new/>");
    // The replacement keeps the permissions of the file it replaced.
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(XmlTextFileTest, FailedSaveKeepsTheOldFile) {
    QuillonTesting::TempDir dir;
    // A target that is a folder cannot be replaced: the save fails, reports
    // it, and removes its temporary file.
    std::filesystem::create_directories(dir.Path() / "busy.xml" / "inner");
    std::wstring log;
    unsigned flags = 0;
    EXPECT_FALSE(XmlDocument::SaveTextFile(dir.Path() / "busy.xml", L"<a/>", log, flags));
    EXPECT_TRUE(Has(log, L"<file_error"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "busy.xml" / "inner"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

} // namespace
} // namespace Quillon
