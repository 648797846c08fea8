// The parse behind XmlDocument::Reparse: one pass over the text that builds
// the element index, logs every syntax problem and decides whether the
// document is well formed. Every step moves forward through the text, and the
// open-tag bookkeeping touches each element a bounded number of times, so any
// input parses in linear time.
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/xml/XmlDocument.h"
#include "app/xml/XmlSyntax.h"

namespace Quillon {

using namespace XmlSyntax;

class XmlParser {
public:
    explicit XmlParser(XmlDocument& doc) : m_doc(doc), m_text(doc.m_text), m_index(doc.m_index) {}

    bool Run();

private:
    std::size_t ParseMarkup(std::size_t lt);
    std::size_t ParseStartTag(std::size_t lt);
    std::size_t ParseEndTag(std::size_t lt);
    std::size_t ParseExclamation(std::size_t lt);
    std::size_t ParseDoctype(std::size_t lt);
    // Skips to just after `terminator`, or logs the node as unterminated.
    std::size_t SkipTo(std::size_t from, std::wstring_view terminator, std::wstring_view type,
                       std::size_t lt);
    std::size_t SyntaxError(std::wstring_view event, std::size_t lt);
    std::size_t Unterminated(std::wstring_view type, std::size_t lt);

    void AppendChild(int parent, int element);
    void CloseUnended(std::size_t keep, std::size_t at);
    void IllFormed() { m_index[0].flags |= XmlDocument::kElementIllFormed; }
    // Hostile input can raise an event per element; once the log is full the
    // values are not even formatted.
    bool LogIsFull() const { return m_doc.m_log.size() > kMaxLogLength; }
    void Log(std::wstring_view event, std::initializer_list<LogAttribute> attributes) {
        AppendLog(m_doc.m_log, event, attributes);
    }

    XmlDocument& m_doc;
    std::wstring_view m_text;
    std::vector<XmlElementEntry>& m_index;
    std::vector<int> m_lastChild;
    std::vector<int> m_open{0}; // open elements, the document at the bottom
    std::unordered_map<std::wstring_view, int> m_openNames;
};

namespace {

std::wstring Number(std::size_t n) {
    return std::to_wstring(n);
}

} // namespace

bool XmlParser::Run() {
    m_lastChild.assign(1, 0);
    std::size_t pos = 0;
    while (pos < m_text.size()) {
        std::size_t lt = m_text.find(L'<', pos);
        if (lt == std::wstring_view::npos)
            break;
        pos = ParseMarkup(lt);
    }
    CloseUnended(0, m_text.size());

    // Parents always precede their children in the index, so one pass fills
    // in the nesting levels.
    for (std::size_t i = 1; i < m_index.size(); ++i)
        m_index[i].level = m_index[static_cast<std::size_t>(m_index[i].parent)].level + 1;

    int roots = 0;
    for (int e = m_index[0].first_child; e != 0 && roots < 2;
         e = m_index[static_cast<std::size_t>(e)].next_sibling)
        ++roots;
    if (roots == 0)
        Log(L"no_root_element", {});
    else if (roots > 1)
        Log(L"root_has_sibling", {});
    return roots == 1 && !(m_index[0].flags & XmlDocument::kElementIllFormed);
}

std::size_t XmlParser::ParseMarkup(std::size_t lt) {
    if (lt + 1 >= m_text.size())
        return Unterminated(L"tag", lt);
    wchar_t c = m_text[lt + 1];
    if (c == L'/')
        return ParseEndTag(lt);
    if (c == L'?')
        return SkipTo(lt + 2, L"?>", L"processing_instruction", lt);
    if (c == L'!')
        return ParseExclamation(lt);
    if (IsNameStart(c))
        return ParseStartTag(lt);
    return SyntaxError(L"first_tag_syntax", lt);
}

std::size_t XmlParser::ParseStartTag(std::size_t lt) {
    std::size_t nameEnd = NameEnd(m_text, lt + 1);
    std::size_t pos = nameEnd;
    // A ">" inside a quoted value does not end the tag.
    while (pos < m_text.size() && m_text[pos] != L'>') {
        wchar_t c = m_text[pos];
        if (c == L'"' || c == L'\'') {
            std::size_t close = m_text.find(c, pos + 1);
            if (close == std::wstring_view::npos)
                return Unterminated(L"start_tag", lt);
            pos = close;
        }
        ++pos;
    }
    if (pos >= m_text.size())
        return Unterminated(L"start_tag", lt);

    XmlElementEntry entry;
    entry.offset = lt;
    entry.start_tag_length = pos + 1 - lt;
    entry.length = entry.start_tag_length;
    bool empty = m_text[pos - 1] == L'/' && pos - 1 > lt;
    if (empty)
        entry.flags |= XmlDocument::kElementEmptyTag;
    int element = static_cast<int>(m_index.size());
    m_index.push_back(entry);
    m_lastChild.push_back(0);
    AppendChild(m_open.back(), element);
    if (!empty) {
        m_open.push_back(element);
        ++m_openNames[m_text.substr(lt + 1, nameEnd - lt - 1)];
    }
    return pos + 1;
}

std::size_t XmlParser::ParseEndTag(std::size_t lt) {
    std::size_t gt = m_text.find(L'>', lt + 2);
    if (gt == std::wstring_view::npos)
        return Unterminated(L"end_tag", lt);
    std::wstring_view name = m_text.substr(lt + 2, NameEnd(m_text, lt + 2) - lt - 2);
    auto it = m_openNames.find(name);
    if (it == m_openNames.end() || it->second == 0) {
        if (!LogIsFull())
            Log(L"lone_end_tag", {{L"tagname", std::wstring(name)}, {L"offset", Number(lt)}});
        IllFormed();
        return gt + 1;
    }
    // The innermost open tag of that name; everything opened inside it was
    // never closed.
    std::size_t match = m_open.size() - 1;
    while (m_doc.ElementName(m_open[match]) != name)
        --match;
    CloseUnended(match, lt);
    XmlElementEntry& entry = m_index[static_cast<std::size_t>(m_open[match])];
    entry.end_tag_length = gt + 1 - lt;
    entry.length = gt + 1 - entry.offset;
    --m_openNames[name];
    m_open.pop_back();
    return gt + 1;
}

// Closes every open tag above stack position `keep` as an unended start tag:
// each becomes an empty element, and the elements it contained follow it as
// siblings. Done for a whole run of tags at once, so every element changes
// parent at most once.
void XmlParser::CloseUnended(std::size_t keep, std::size_t at) {
    if (m_open.size() <= keep + 1)
        return;
    int target = m_open[keep];
    int tail = m_lastChild[static_cast<std::size_t>(target)];
    for (std::size_t i = keep + 1; i < m_open.size(); ++i) {
        int tag = m_open[i];
        auto tagIndex = static_cast<std::size_t>(tag);
        std::wstring_view name = m_doc.ElementName(tag);
        if (!LogIsFull())
            Log(L"unended_start_tag", {{L"tagname", std::wstring(name)},
                                       {L"offset", Number(m_index[tagIndex].offset)},
                                       {L"offset2", Number(at)}});
        --m_openNames[name];
        int first = m_index[tagIndex].first_child;
        if (first == 0)
            continue;
        int last = m_lastChild[tagIndex];
        m_index[tagIndex].first_child = 0;
        m_lastChild[tagIndex] = 0;
        for (int e = first; e != 0; e = m_index[static_cast<std::size_t>(e)].next_sibling)
            m_index[static_cast<std::size_t>(e)].parent = target;
        m_index[static_cast<std::size_t>(tail)].next_sibling = first;
        m_index[static_cast<std::size_t>(first)].previous_sibling = tail;
        tail = last;
    }
    m_lastChild[static_cast<std::size_t>(target)] = tail;
    m_open.resize(keep + 1);
    IllFormed();
}

void XmlParser::AppendChild(int parent, int element) {
    auto p = static_cast<std::size_t>(parent);
    XmlElementEntry& entry = m_index[static_cast<std::size_t>(element)];
    entry.parent = parent;
    int last = m_lastChild[p];
    if (last == 0) {
        m_index[p].first_child = element;
    } else {
        m_index[static_cast<std::size_t>(last)].next_sibling = element;
        entry.previous_sibling = last;
    }
    m_lastChild[p] = element;
}

std::size_t XmlParser::ParseExclamation(std::size_t lt) {
    std::wstring_view rest = m_text.substr(lt + 2);
    if (rest.empty())
        return Unterminated(L"tag", lt);
    if (rest[0] == L'-') {
        if (rest.size() < 2)
            return Unterminated(L"comment", lt);
        if (rest[1] != L'-')
            return SyntaxError(L"comment_tag_syntax", lt);
        return SkipTo(lt + 4, L"-->", L"comment", lt);
    }
    if (rest[0] == L'[') {
        if (rest.size() < 2)
            return Unterminated(L"cdata_section", lt);
        if (rest[1] != L'C')
            return SyntaxError(L"cdata_section_syntax", lt);
        return SkipTo(lt + 3, L"]]>", L"cdata_section", lt);
    }
    constexpr std::wstring_view kDoctype = L"DOCTYPE";
    if (rest.size() < kDoctype.size() && kDoctype.starts_with(rest))
        return Unterminated(L"document_type", lt);
    if (rest.size() >= kDoctype.size()) {
        bool doctype = true;
        for (std::size_t i = 0; i < kDoctype.size(); ++i)
            doctype = doctype && (rest[i] == kDoctype[i] || rest[i] == kDoctype[i] + 32);
        if (doctype)
            return ParseDoctype(lt);
    }
    return SyntaxError(L"exclamation_tag_syntax", lt);
}

// "<!DOCTYPE name ... [internal subset] >": quoted literals may hold ">",
// and the subset holds declarations, comments and processing instructions.
std::size_t XmlParser::ParseDoctype(std::size_t lt) {
    std::size_t pos = lt + 9;
    bool inSubset = false;
    while (pos < m_text.size()) {
        wchar_t c = m_text[pos];
        if (c == L'"' || c == L'\'') {
            std::size_t close = m_text.find(c, pos + 1);
            if (close == std::wstring_view::npos)
                break;
            pos = close + 1;
        } else if (!inSubset && c == L'>') {
            return pos + 1;
        } else if (!inSubset && c == L'[') {
            inSubset = true;
            ++pos;
        } else if (inSubset && c == L']') {
            inSubset = false;
            ++pos;
        } else if (inSubset && c == L'<') {
            std::wstring_view decl = m_text.substr(pos);
            if (decl.starts_with(L"<!--")) {
                std::size_t end = m_text.find(L"-->", pos + 4);
                if (end == std::wstring_view::npos)
                    break;
                pos = end + 3;
            } else if (decl.starts_with(L"<?")) {
                std::size_t end = m_text.find(L"?>", pos + 2);
                if (end == std::wstring_view::npos)
                    break;
                pos = end + 2;
            } else if (decl.size() > 2 && decl[1] == L'!' &&
                       (decl[2] == L'E' || decl[2] == L'A' || decl[2] == L'N')) {
                pos += 3; // the declaration's quoted literals are skipped above
                while (pos < m_text.size() && m_text[pos] != L'>' && m_text[pos] != L'"' &&
                       m_text[pos] != L'\'')
                    ++pos;
                if (pos < m_text.size() && m_text[pos] == L'>')
                    ++pos;
            } else {
                Log(L"doctype_tag_syntax", {{L"offset", Number(pos)}});
                IllFormed();
                std::size_t gt = m_text.find(L'>', pos + 1);
                if (gt == std::wstring_view::npos)
                    break;
                pos = gt + 1;
            }
        } else {
            ++pos;
        }
    }
    return Unterminated(L"document_type", lt);
}

std::size_t XmlParser::SkipTo(std::size_t from, std::wstring_view terminator,
                              std::wstring_view type, std::size_t lt) {
    std::size_t end = from <= m_text.size() ? m_text.find(terminator, from) : m_text.npos;
    if (end == std::wstring_view::npos)
        return Unterminated(type, lt);
    return end + terminator.size();
}

std::size_t XmlParser::SyntaxError(std::wstring_view event, std::size_t lt) {
    Log(event, {{L"offset", Number(lt)}});
    IllFormed();
    std::size_t gt = m_text.find(L'>', lt + 1);
    return gt == std::wstring_view::npos ? m_text.size() : gt + 1;
}

std::size_t XmlParser::Unterminated(std::wstring_view type, std::size_t lt) {
    Log(L"unterminated_tag_syntax", {{L"type", std::wstring(type)}, {L"offset", Number(lt)}});
    IllFormed();
    return m_text.size();
}

bool XmlDocument::Reparse() {
    ResetIndex();
    if (m_text.empty())
        return false;
    XmlParser parser(*this);
    return parser.Run();
}

} // namespace Quillon
