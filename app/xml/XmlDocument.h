// XmlDocument: the program's one XML class, used for config.xml, the layout
// files and the exchange files. It keeps the whole document as one wide text
// plus an index of its elements; navigation moves a cursor over the index,
// attributes are read straight out of the text, and edits splice new text in
// and keep the index's offsets right. Every file and parse problem is noted in
// a result log instead of failing loudly, so a document that is not well
// formed can still be navigated as far as the parser understood it.
//
// A document is owned by its caller, usually for one load or save on one
// thread; nothing is shared between documents.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace Quillon {

// One element of the index. Entry 0 stands for the document itself: its
// length is the text's length and its first child the first top-level
// element. Links are entry numbers, 0 meaning none.
struct XmlElementEntry {
    std::size_t offset = 0;           // of the element's "<" in the text
    std::size_t length = 0;           // of the whole element
    std::size_t start_tag_length = 0; // of its start (or empty-element) tag
    std::size_t end_tag_length = 0;   // 0 when there is no end tag
    int parent = 0;
    int first_child = 0;
    int next_sibling = 0;
    int previous_sibling = 0;
    int level = 0; // nesting level: 1 for top-level elements
    unsigned flags = 0;
};

class XmlDocument {
public:
    // Flags of LoadTextFile and SaveTextFile: set by a load, honoured by a save.
    static constexpr unsigned kFileUtf8Bom = 0x01;
    static constexpr unsigned kFileUtf16LE = 0x02;
    static constexpr unsigned kFileUtf16BE = 0x04;
    static constexpr unsigned kFileAppend = 0x08; // save only: append to the file

    // Flags of AddElement.
    static constexpr unsigned kAddSpacedEmpty = 0x01; // "<name />"
    static constexpr unsigned kAddOpen = 0x02;        // "<name>" without an end tag
    static constexpr unsigned kAddCData = 0x04;       // value as a CDATA section
    static constexpr unsigned kAddNoBreak = 0x08;     // no line break around it

    // Element entry flags.
    static constexpr unsigned kElementEmptyTag = 0x01;  // written as "<name/>"
    static constexpr unsigned kElementIllFormed = 0x02; // entry 0: the document

    XmlDocument() = default;
    explicit XmlDocument(std::wstring_view text);

    // Replaces the text, clears the result log and parses. True when the
    // document is well formed.
    bool SetText(std::wstring_view text);
    // Rebuilds the index from the text and puts the cursor at the document
    // level. True when the document is well formed: no syntax error, no
    // unbalanced tag and exactly one top-level element.
    bool Reparse();

    // Reads a whole file and converts it to wide text, detecting byte-order
    // marks, declared encodings and UTF-8. True when the file was opened and
    // read; `log` receives the events, `flags` the mark and file encoding.
    static bool LoadTextFile(const std::filesystem::path& path, std::wstring& text,
                             std::wstring& log, unsigned& flags);
    // Writes `text` in the encoding it declares (UTF-8 when none), or as
    // UTF-16 when the flags say so, with a byte-order mark when asked. True
    // when everything was written.
    static bool SaveTextFile(const std::filesystem::path& path, std::wstring_view text,
                             std::wstring& log, unsigned& flags);

    // Load a file into this document and parse it: true when the file was
    // read and is well formed. The result log holds both steps.
    bool Load(const std::filesystem::path& path);
    // Saves the text with the document's flags.
    bool Save(const std::filesystem::path& path);

    // Cursor. FindElement moves to the next element named `name` among the
    // children of the parent (an empty name matches any element); without a
    // match nothing moves. Names are compared exactly; plain names only.
    bool FindElement(std::wstring_view name);
    bool EnterElement();
    bool LeaveElement();

    // The value of an attribute of the current element with its character and
    // entity references decoded; empty when absent or when there is no
    // current element.
    std::wstring GetAttribute(std::wstring_view name) const;
    // The current element's name, empty when there is none.
    std::wstring GetTagName() const;

    // Editing. Each returns false and changes nothing without a current
    // element (AddElement needs none).
    bool AddElement(std::wstring_view name, std::wstring_view value = {}, unsigned flags = 0);
    bool SetAttribute(std::wstring_view name, std::wstring_view value);
    bool SetIntAttribute(std::wstring_view name, int value);

    const std::wstring& GetText() const { return m_text; }
    const std::wstring& GetResult() const { return m_log; }
    unsigned GetFlags() const { return m_flags; }
    void SetFlags(unsigned flags) { m_flags = flags; }
    bool IsWellFormed() const;
    const std::vector<XmlElementEntry>& GetIndex() const { return m_index; }

private:
    struct AttributeSpan;
    bool FindAttribute(int element, std::wstring_view name, AttributeSpan& span) const;
    std::wstring_view ElementName(int element) const;
    // Replaces `old_length` characters at `pos`; grows `owner` and its
    // ancestors and shifts every other element starting at or after `pos`.
    void Splice(std::size_t pos, std::size_t old_length, std::wstring_view replacement, int owner);
    std::size_t InsertElementText(const std::wstring& element, bool breaks);
    void LinkNewEntry(XmlElementEntry entry);
    int LastChild(int parent) const;
    void ResetIndex();

    std::wstring m_text;
    std::wstring m_log;
    std::vector<XmlElementEntry> m_index;
    unsigned m_flags = 0;
    int m_parent = 0;
    int m_current = 0;
    int m_child = 0;

    friend class XmlParser;
};

} // namespace Quillon
