#include "app/xml/XmlSyntax.h"

#include <array>
#include <cstdint>
#include <unordered_map>

namespace Quillon::XmlSyntax {

namespace {

struct Entity {
    const wchar_t* name;
    char32_t code;
};

// Latin-1 entities, U+00A0 to U+00FF in order.
constexpr std::array<const wchar_t*, 96> kLatin1Names = {
    L"nbsp",   L"iexcl",  L"cent",   L"pound",  L"curren", L"yen",    L"brvbar", L"sect",
    L"uml",    L"copy",   L"ordf",   L"laquo",  L"not",    L"shy",    L"reg",    L"macr",
    L"deg",    L"plusmn", L"sup2",   L"sup3",   L"acute",  L"micro",  L"para",   L"middot",
    L"cedil",  L"sup1",   L"ordm",   L"raquo",  L"frac14", L"frac12", L"frac34", L"iquest",
    L"Agrave", L"Aacute", L"Acirc",  L"Atilde", L"Auml",   L"Aring",  L"AElig",  L"Ccedil",
    L"Egrave", L"Eacute", L"Ecirc",  L"Euml",   L"Igrave", L"Iacute", L"Icirc",  L"Iuml",
    L"ETH",    L"Ntilde", L"Ograve", L"Oacute", L"Ocirc",  L"Otilde", L"Ouml",   L"times",
    L"Oslash", L"Ugrave", L"Uacute", L"Ucirc",  L"Uuml",   L"Yacute", L"THORN",  L"szlig",
    L"agrave", L"aacute", L"acirc",  L"atilde", L"auml",   L"aring",  L"aelig",  L"ccedil",
    L"egrave", L"eacute", L"ecirc",  L"euml",   L"igrave", L"iacute", L"icirc",  L"iuml",
    L"eth",    L"ntilde", L"ograve", L"oacute", L"ocirc",  L"otilde", L"ouml",   L"divide",
    L"oslash", L"ugrave", L"uacute", L"ucirc",  L"uuml",   L"yacute", L"thorn",  L"yuml",
};
constexpr char32_t kLatin1First = 0xA0;

// The special and symbol entities of HTML 4, and "apos".
constexpr Entity kOtherEntities[] = {
    {L"quot", 34},     {L"amp", 38},       {L"apos", 39},      {L"lt", 60},       {L"gt", 62},
    {L"OElig", 338},   {L"oelig", 339},    {L"Scaron", 352},   {L"scaron", 353},  {L"Yuml", 376},
    {L"fnof", 402},    {L"circ", 710},     {L"tilde", 732},    {L"Alpha", 913},   {L"Beta", 914},
    {L"Gamma", 915},   {L"Delta", 916},    {L"Epsilon", 917},  {L"Zeta", 918},    {L"Eta", 919},
    {L"Theta", 920},   {L"Iota", 921},     {L"Kappa", 922},    {L"Lambda", 923},  {L"Mu", 924},
    {L"Nu", 925},      {L"Xi", 926},       {L"Omicron", 927},  {L"Pi", 928},      {L"Rho", 929},
    {L"Sigma", 931},   {L"Tau", 932},      {L"Upsilon", 933},  {L"Phi", 934},     {L"Chi", 935},
    {L"Psi", 936},     {L"Omega", 937},    {L"alpha", 945},    {L"beta", 946},    {L"gamma", 947},
    {L"delta", 948},   {L"epsilon", 949},  {L"zeta", 950},     {L"eta", 951},     {L"theta", 952},
    {L"iota", 953},    {L"kappa", 954},    {L"lambda", 955},   {L"mu", 956},      {L"nu", 957},
    {L"xi", 958},      {L"omicron", 959},  {L"pi", 960},       {L"rho", 961},     {L"sigmaf", 962},
    {L"sigma", 963},   {L"tau", 964},      {L"upsilon", 965},  {L"phi", 966},     {L"chi", 967},
    {L"psi", 968},     {L"omega", 969},    {L"thetasym", 977}, {L"upsih", 978},   {L"piv", 982},
    {L"ensp", 8194},   {L"emsp", 8195},    {L"thinsp", 8201},  {L"zwnj", 8204},   {L"zwj", 8205},
    {L"lrm", 8206},    {L"rlm", 8207},     {L"ndash", 8211},   {L"mdash", 8212},  {L"lsquo", 8216},
    {L"rsquo", 8217},  {L"sbquo", 8218},   {L"ldquo", 8220},   {L"rdquo", 8221},  {L"bdquo", 8222},
    {L"dagger", 8224}, {L"Dagger", 8225},  {L"bull", 8226},    {L"hellip", 8230}, {L"permil", 8240},
    {L"prime", 8242},  {L"Prime", 8243},   {L"lsaquo", 8249},  {L"rsaquo", 8250}, {L"oline", 8254},
    {L"frasl", 8260},  {L"euro", 8364},    {L"image", 8465},   {L"weierp", 8472}, {L"real", 8476},
    {L"trade", 8482},  {L"alefsym", 8501}, {L"larr", 8592},    {L"uarr", 8593},   {L"rarr", 8594},
    {L"darr", 8595},   {L"harr", 8596},    {L"crarr", 8629},   {L"lArr", 8656},   {L"uArr", 8657},
    {L"rArr", 8658},   {L"dArr", 8659},    {L"hArr", 8660},    {L"forall", 8704}, {L"part", 8706},
    {L"exist", 8707},  {L"empty", 8709},   {L"nabla", 8711},   {L"isin", 8712},   {L"notin", 8713},
    {L"ni", 8715},     {L"prod", 8719},    {L"sum", 8721},     {L"minus", 8722},  {L"lowast", 8727},
    {L"radic", 8730},  {L"prop", 8733},    {L"infin", 8734},   {L"ang", 8736},    {L"and", 8743},
    {L"or", 8744},     {L"cap", 8745},     {L"cup", 8746},     {L"int", 8747},    {L"there4", 8756},
    {L"sim", 8764},    {L"cong", 8773},    {L"asymp", 8776},   {L"ne", 8800},     {L"equiv", 8801},
    {L"le", 8804},     {L"ge", 8805},      {L"sub", 8834},     {L"sup", 8835},    {L"nsub", 8836},
    {L"sube", 8838},   {L"supe", 8839},    {L"oplus", 8853},   {L"otimes", 8855}, {L"perp", 8869},
    {L"sdot", 8901},   {L"lceil", 8968},   {L"rceil", 8969},   {L"lfloor", 8970}, {L"rfloor", 8971},
    {L"lang", 9001},   {L"rang", 9002},    {L"loz", 9674},     {L"spades", 9824}, {L"clubs", 9827},
    {L"hearts", 9829}, {L"diams", 9830},
};

using EntityMap = std::unordered_map<std::wstring_view, char32_t>;

const EntityMap& Entities() {
    static const EntityMap map = [] {
        EntityMap m;
        for (std::size_t i = 0; i < kLatin1Names.size(); ++i)
            m.emplace(kLatin1Names[i], kLatin1First + static_cast<char32_t>(i));
        for (const Entity& e : kOtherEntities)
            m.emplace(e.name, e.code);
        return m;
    }();
    return map;
}

// A reference name is at most nine characters, so ";" must come within ten.
constexpr std::size_t kMaxReferenceName = 9;
constexpr char32_t kMaxCodePoint = 0x10FFFF;

bool IsSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

// Decodes the reference at raw[amp] ("&..."); returns its length, or 0 when
// it is not a reference that decodes.
std::size_t DecodeOne(std::wstring_view raw, std::size_t amp, char32_t& out) {
    // Only the next few characters can hold the ";": a longer search would
    // make a value full of "&" quadratic to decode.
    std::size_t semi = raw.substr(amp + 1, kMaxReferenceName + 1).find(L';');
    if (semi == std::wstring_view::npos)
        return 0;
    semi += amp + 1;
    std::wstring_view body = raw.substr(amp + 1, semi - amp - 1);
    if (body.empty())
        return 0;
    if (body[0] == L'#') {
        bool hex = body.size() > 1 && (body[1] == L'x' || body[1] == L'X');
        std::wstring_view digits = body.substr(hex ? 2 : 1);
        if (digits.empty())
            return 0;
        char32_t code = 0;
        for (wchar_t c : digits) {
            int d = hex ? HexDigit(c) : (c >= L'0' && c <= L'9' ? c - L'0' : -1);
            if (d < 0)
                return 0;
            code = code * (hex ? 16 : 10) + static_cast<char32_t>(d);
            if (code > kMaxCodePoint)
                return 0;
        }
        // Code 0 and values that are no character stay as written.
        if (code == 0 || IsSurrogate(code))
            return 0;
        out = code;
        return semi - amp + 1;
    }
    for (wchar_t c : body)
        if (static_cast<std::uint32_t>(c) >= 0x80)
            return 0;
    char32_t code = LookupEntity(body);
    if (code == 0)
        return 0;
    out = code;
    return semi - amp + 1;
}

std::wstring Escape(std::wstring_view value, bool quotes) {
    std::wstring out;
    out.reserve(value.size());
    for (wchar_t c : value) {
        switch (c) {
        case L'&':
            out += L"&amp;";
            break;
        case L'<':
            out += L"&lt;";
            break;
        case L'>':
            out += L"&gt;";
            break;
        case L'"':
            if (quotes) {
                out += L"&quot;";
                break;
            }
            out += c;
            break;
        case L'\'':
            if (quotes) {
                out += L"&apos;";
                break;
            }
            out += c;
            break;
        default:
            out += c;
            break;
        }
    }
    return out;
}

// Longer log values are cut: the log is a diagnostic, not a copy of the input.
constexpr std::size_t kMaxLogValue = 64;

} // namespace

std::size_t NameEnd(std::wstring_view text, std::size_t pos) {
    while (pos < text.size()) {
        wchar_t c = text[pos];
        if (IsBlank(c) || c == L'=' || c == L'/' || c == L'[' || c == L']' || c == L'>')
            break;
        ++pos;
    }
    return pos;
}

char32_t LookupEntity(std::wstring_view name) {
    const EntityMap& map = Entities();
    if (auto it = map.find(name); it != map.end())
        return it->second;
    std::wstring lower(name);
    for (wchar_t& c : lower)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    if (auto it = map.find(lower); it != map.end())
        return it->second;
    return 0;
}

std::wstring DecodeReferences(std::wstring_view raw) {
    std::wstring out;
    out.reserve(raw.size());
    std::size_t pos = 0;
    while (pos < raw.size()) {
        std::size_t amp = raw.find(L'&', pos);
        if (amp == std::wstring_view::npos) {
            out.append(raw.substr(pos));
            break;
        }
        out.append(raw.substr(pos, amp - pos));
        char32_t code = 0;
        if (std::size_t used = DecodeOne(raw, amp, code)) {
            out += static_cast<wchar_t>(code);
            pos = amp + used;
        } else {
            out += L'&';
            pos = amp + 1;
        }
    }
    return out;
}

std::wstring EscapeAttribute(std::wstring_view value) {
    return Escape(value, true);
}
std::wstring EscapeContent(std::wstring_view value) {
    return Escape(value, false);
}

void AppendLog(std::wstring& log, std::wstring_view event,
               std::initializer_list<LogAttribute> attributes) {
    if (log.size() > kMaxLogLength)
        return;
    log += L'<';
    log += event;
    for (const LogAttribute& a : attributes) {
        log += L' ';
        log += a.first;
        log += L"=\"";
        log += EscapeAttribute(std::wstring_view(a.second).substr(0, kMaxLogValue));
        log += L'"';
    }
    log += L"/>";
}

} // namespace Quillon::XmlSyntax
