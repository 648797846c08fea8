// XmlDocument: cursor navigation, attribute reading and editing. The parse is
// in XmlParser.cpp, file reading and writing in XmlTextFile.cpp.
#include "app/xml/XmlDocument.h"

#include "app/xml/XmlSyntax.h"

namespace Quillon {

using namespace XmlSyntax;

// Where one attribute sits in a start tag: its name, and its value with or
// without the quotes around it.
struct XmlDocument::AttributeSpan {
    std::size_t name_end = 0;    // just after the attribute's name
    std::size_t value_begin = 0; // first character of the value
    std::size_t value_end = 0;   // just after the value
    wchar_t quote = 0;           // '"', '\'' or 0 when unquoted or without value
    bool has_value = false;      // false for a bare name without "="
};

XmlDocument::XmlDocument(std::wstring_view text) {
    SetText(text);
}

bool XmlDocument::SetText(std::wstring_view text) {
    m_text.assign(text);
    m_log.clear();
    return Reparse();
}

void XmlDocument::ResetIndex() {
    m_index.assign(1, XmlElementEntry{});
    m_index[0].length = m_text.size();
    m_parent = 0;
    m_current = 0;
    m_child = 0;
}

bool XmlDocument::IsWellFormed() const {
    if (m_index.empty() || (m_index[0].flags & kElementIllFormed))
        return false;
    int first = m_index[0].first_child;
    return first != 0 && m_index[static_cast<std::size_t>(first)].next_sibling == 0;
}

bool XmlDocument::Load(const std::filesystem::path& path) {
    m_log.clear();
    m_text.clear();
    m_flags = 0;
    bool read = LoadTextFile(path, m_text, m_log, m_flags);
    bool wellFormed = Reparse();
    return read && wellFormed;
}

bool XmlDocument::Save(const std::filesystem::path& path) {
    m_log.clear();
    return SaveTextFile(path, m_text, m_log, m_flags);
}

std::wstring_view XmlDocument::ElementName(int element) const {
    const XmlElementEntry& e = m_index[static_cast<std::size_t>(element)];
    std::wstring_view text(m_text);
    std::size_t begin = e.offset + 1;
    return text.substr(begin,
                       NameEnd(text.substr(0, e.offset + e.start_tag_length), begin) - begin);
}

std::wstring XmlDocument::GetTagName() const {
    if (m_current == 0)
        return {};
    return std::wstring(ElementName(m_current));
}

bool XmlDocument::FindElement(std::wstring_view name) {
    if (m_index.empty())
        return false;
    int candidate = m_current != 0 ? m_index[static_cast<std::size_t>(m_current)].next_sibling
                                   : m_index[static_cast<std::size_t>(m_parent)].first_child;
    for (int e = candidate; e != 0; e = m_index[static_cast<std::size_t>(e)].next_sibling) {
        if (name.empty() || ElementName(e) == name) {
            m_current = e;
            m_child = 0;
            return true;
        }
    }
    return false;
}

bool XmlDocument::EnterElement() {
    if (m_current == 0)
        return false;
    m_parent = m_current;
    m_current = m_child;
    m_child = 0;
    return true;
}

bool XmlDocument::LeaveElement() {
    if (m_parent == 0)
        return false;
    m_child = m_current;
    m_current = m_parent;
    m_parent = m_index[static_cast<std::size_t>(m_parent)].parent;
    return true;
}

// Walks the attributes of a start tag with the same quoting rules as the
// parse: a quoted value runs to the matching quote, an unquoted one to the
// next blank or ">".
bool XmlDocument::FindAttribute(int element, std::wstring_view name, AttributeSpan& span) const {
    if (element <= 0 || static_cast<std::size_t>(element) >= m_index.size() || name.empty())
        return false;
    const XmlElementEntry& e = m_index[static_cast<std::size_t>(element)];
    std::wstring_view tag = std::wstring_view(m_text).substr(e.offset, e.start_tag_length);
    std::size_t pos = NameEnd(tag, 1);
    while (pos < tag.size()) {
        while (pos < tag.size() && (IsBlank(tag[pos]) || tag[pos] == L'/'))
            ++pos;
        if (pos >= tag.size() || tag[pos] == L'>')
            return false;
        std::size_t nameBegin = pos;
        while (pos < tag.size() && !IsBlank(tag[pos]) && tag[pos] != L'=' && tag[pos] != L'>' &&
               tag[pos] != L'/')
            ++pos;
        if (pos == nameBegin) { // a stray "=": step over it
            ++pos;
            continue;
        }
        AttributeSpan found;
        found.name_end = e.offset + pos;
        std::size_t after = pos;
        while (after < tag.size() && IsBlank(tag[after]))
            ++after;
        if (after < tag.size() && tag[after] == L'=') {
            ++after;
            while (after < tag.size() && IsBlank(tag[after]))
                ++after;
            found.has_value = true;
            std::size_t valueEnd = after;
            if (after < tag.size() && (tag[after] == L'"' || tag[after] == L'\'')) {
                found.quote = tag[after];
                std::size_t close = tag.find(found.quote, after + 1);
                valueEnd = close == std::wstring_view::npos ? tag.size() - 1 : close;
                found.value_begin = e.offset + after + 1;
                pos = valueEnd + 1;
            } else {
                while (valueEnd < tag.size() && !IsBlank(tag[valueEnd]) && tag[valueEnd] != L'>')
                    ++valueEnd;
                found.value_begin = e.offset + after;
                pos = valueEnd;
            }
            found.value_end = e.offset + valueEnd;
        }
        if (tag.substr(nameBegin, found.name_end - e.offset - nameBegin) == name) {
            span = found;
            return true;
        }
    }
    return false;
}

std::wstring XmlDocument::GetAttribute(std::wstring_view name) const {
    AttributeSpan span;
    if (!FindAttribute(m_current, name, span) || !span.has_value)
        return {};
    return DecodeReferences(
        std::wstring_view(m_text).substr(span.value_begin, span.value_end - span.value_begin));
}

bool XmlDocument::SetAttribute(std::wstring_view name, std::wstring_view value) {
    if (m_current == 0 || name.empty())
        return false;
    std::wstring encoded = EscapeAttribute(value);
    AttributeSpan span;
    if (FindAttribute(m_current, name, span)) {
        if (span.quote != 0) {
            Splice(span.value_begin, span.value_end - span.value_begin, encoded, m_current);
        } else {
            std::size_t begin = span.has_value ? span.value_begin : span.name_end;
            std::size_t end = span.has_value ? span.value_end : span.name_end;
            Splice(begin, end - begin, (span.has_value ? L"\"" : L"=\"") + encoded + L"\"",
                   m_current);
        }
        return true;
    }
    // A new attribute goes at the end of the start tag, before "/>" or ">".
    XmlElementEntry& e = m_index[static_cast<std::size_t>(m_current)];
    std::size_t pos = e.offset + e.start_tag_length - 1;
    if (e.flags & kElementEmptyTag)
        --pos;
    std::wstring insert;
    bool blankBefore = IsBlank(m_text[pos - 1]);
    if (!blankBefore)
        insert += L' ';
    insert.append(name).append(L"=\"").append(encoded).append(L"\"");
    if (blankBefore && (e.flags & kElementEmptyTag))
        insert += L' '; // keeps "<name a="1" />" spaced as it was
    Splice(pos, 0, insert, m_current);
    return true;
}

bool XmlDocument::SetIntAttribute(std::wstring_view name, int value) {
    return SetAttribute(name, std::to_wstring(value));
}

int XmlDocument::LastChild(int parent) const {
    int last = 0;
    for (int e = m_index[static_cast<std::size_t>(parent)].first_child; e != 0;
         e = m_index[static_cast<std::size_t>(e)].next_sibling)
        last = e;
    return last;
}

void XmlDocument::Splice(std::size_t pos, std::size_t old_length, std::wstring_view replacement,
                         int owner) {
    m_text.replace(pos, old_length, replacement);
    auto delta =
        static_cast<std::ptrdiff_t>(replacement.size()) - static_cast<std::ptrdiff_t>(old_length);
    for (std::size_t i = 1; i < m_index.size(); ++i)
        if (m_index[i].offset >= pos && static_cast<int>(i) != owner)
            m_index[i].offset =
                static_cast<std::size_t>(static_cast<std::ptrdiff_t>(m_index[i].offset) + delta);
    for (int e = owner; e != 0; e = m_index[static_cast<std::size_t>(e)].parent) {
        XmlElementEntry& entry = m_index[static_cast<std::size_t>(e)];
        entry.length = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(entry.length) + delta);
        if (e == owner && pos < entry.offset + entry.start_tag_length)
            entry.start_tag_length = static_cast<std::size_t>(
                static_cast<std::ptrdiff_t>(entry.start_tag_length) + delta);
    }
    m_index[0].length = m_text.size();
}

namespace {

std::wstring BuildElement(std::wstring_view name, std::wstring_view value, unsigned flags) {
    std::wstring text = L"<";
    text += name;
    if (value.empty()) {
        if (flags & XmlDocument::kAddOpen)
            text += L">";
        else
            text += (flags & XmlDocument::kAddSpacedEmpty) ? L" />" : L"/>";
        return text;
    }
    text += L'>';
    if (flags & XmlDocument::kAddCData) {
        // "]]>" cannot stand inside a CDATA section: split it over two.
        constexpr std::wstring_view kEnd = L"]]>";
        text += L"<![CDATA[";
        std::size_t pos = 0;
        for (std::size_t end; (end = value.find(kEnd, pos)) != std::wstring_view::npos;
             pos = end + kEnd.size()) {
            text += value.substr(pos, end - pos);
            text += L"]]]]><![CDATA[>";
        }
        text += value.substr(pos);
        text += L"]]>";
    } else {
        text += EscapeContent(value);
    }
    text += L"</";
    text += name;
    text += L'>';
    return text;
}

constexpr std::wstring_view kLineBreak = L"\r\n";

} // namespace

// Puts the text of a new element in place and returns its offset: after the
// current element, or at the end of the parent's content (of the text at the
// document level). A parent written as "<parent/>" is opened up first.
std::size_t XmlDocument::InsertElementText(const std::wstring& element, bool breaks) {
    if (m_current != 0) {
        // After the current element, on a line of its own.
        const XmlElementEntry& cur = m_index[static_cast<std::size_t>(m_current)];
        std::size_t at = cur.offset + cur.length;
        std::wstring text = breaks ? std::wstring(kLineBreak) + element : element;
        Splice(at, 0, text, m_parent);
        return at + (text.size() - element.size());
    }
    if (m_parent != 0 && (m_index[static_cast<std::size_t>(m_parent)].flags & kElementEmptyTag)) {
        // "<parent/>" becomes "<parent>" + the element + "</parent>".
        XmlElementEntry& par = m_index[static_cast<std::size_t>(m_parent)];
        std::size_t tagEnd = par.offset + par.start_tag_length;
        std::size_t slash = tagEnd - 2;
        while (slash > par.offset + 1 && IsBlank(m_text[slash - 1]))
            --slash;
        std::wstring endTag = L"</" + std::wstring(ElementName(m_parent)) + L">";
        std::wstring text = L">";
        if (breaks)
            text += kLineBreak;
        std::size_t offset = slash + text.size();
        text += element;
        if (breaks)
            text += kLineBreak;
        text += endTag;
        std::size_t startTagLength = slash - par.offset + 1;
        Splice(slash, tagEnd - slash, text, m_parent);
        par.start_tag_length = startTagLength;
        par.end_tag_length = endTag.size();
        par.flags &= ~kElementEmptyTag;
        return offset;
    }
    // At the end of the parent's content, or of the text.
    const XmlElementEntry& par = m_index[static_cast<std::size_t>(m_parent)];
    std::size_t at = m_parent == 0 ? m_text.size() : par.offset + par.length - par.end_tag_length;
    Splice(at, 0, breaks ? element + std::wstring(kLineBreak) : element, m_parent);
    return at;
}

// Links a new entry into the index as the next sibling of the current
// element, or as the last child of the parent, and moves the cursor to it.
void XmlDocument::LinkNewEntry(XmlElementEntry entry) {
    int added = static_cast<int>(m_index.size());
    int previous = m_current != 0 ? m_current : LastChild(m_parent);
    entry.parent = m_parent;
    entry.level = m_index[static_cast<std::size_t>(m_parent)].level + 1;
    if (previous != 0) {
        XmlElementEntry& prev = m_index[static_cast<std::size_t>(previous)];
        entry.previous_sibling = previous;
        entry.next_sibling = prev.next_sibling;
        if (prev.next_sibling != 0)
            m_index[static_cast<std::size_t>(prev.next_sibling)].previous_sibling = added;
        prev.next_sibling = added;
    } else {
        m_index[static_cast<std::size_t>(m_parent)].first_child = added;
    }
    m_index.push_back(entry);
    m_current = added;
    m_child = 0;
}

bool XmlDocument::AddElement(std::wstring_view name, std::wstring_view value, unsigned flags) {
    if (name.empty())
        return false;
    if (m_index.empty())
        ResetIndex();
    std::wstring element = BuildElement(name, value, flags);
    XmlElementEntry entry;
    entry.start_tag_length = value.empty() ? element.size() : element.find(L'>') + 1;
    entry.end_tag_length = value.empty() ? 0 : name.size() + 3;
    entry.length = element.size();
    if (value.empty() && !(flags & kAddOpen))
        entry.flags |= kElementEmptyTag;
    entry.offset = InsertElementText(element, !(flags & kAddNoBreak));
    LinkNewEntry(entry);
    return true;
}

} // namespace Quillon
