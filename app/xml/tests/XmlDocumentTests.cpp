#include "app/xml/XmlDocument.h"

#include <gtest/gtest.h>

#include <string>

#include "app/xml/tests/XmlIndexCheck.h"

namespace Quillon {
namespace {

using XmlTesting::IndexIsConsistent;
using XmlTesting::IndexMatchesReparse;

bool LogHas(const XmlDocument& doc, const std::wstring& event) {
    return doc.GetResult().find(L"<" + event) != std::wstring::npos;
}

TEST(XmlDocumentEditTest, BuildsTheExchangeFileLayoutLineByLine) {
    XmlDocument doc;
    doc.SetText(L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
    ASSERT_TRUE(doc.AddElement(L"profile"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.AddElement(L"profileinfo"));
    ASSERT_TRUE(doc.SetAttribute(L"name", L"A&B"));
    ASSERT_TRUE(doc.AddElement(L"keyitems"));
    ASSERT_TRUE(doc.LeaveElement());
    EXPECT_EQ(doc.GetText(), L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                             L"<profile>\r\n"
                             L"<profileinfo name=\"A&amp;B\"/>\r\n"
                             L"<keyitems/>\r\n"
                             L"</profile>\r\n");
    EXPECT_TRUE(IndexMatchesReparse(doc));
    EXPECT_EQ(doc.GetTagName(), L"profile");
    // Entering again resumes after keyitems, the element just left.
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_FALSE(doc.FindElement(L"profileinfo"));

    XmlDocument reread(doc.GetText());
    EXPECT_TRUE(reread.IsWellFormed());
    ASSERT_TRUE(reread.FindElement(L"profile"));
    ASSERT_TRUE(reread.EnterElement());
    ASSERT_TRUE(reread.FindElement(L"profileinfo"));
    EXPECT_EQ(reread.GetAttribute(L"name"), L"A&B");
}

TEST(XmlDocumentEditTest, NestedBuildPutsEveryElementOnItsOwnLine) {
    XmlDocument doc;
    doc.SetText(L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
    ASSERT_TRUE(doc.AddElement(L"profile") && doc.EnterElement());
    ASSERT_TRUE(doc.AddElement(L"profileinfo") && doc.AddElement(L"keyitems") &&
                doc.EnterElement());
    ASSERT_TRUE(doc.AddElement(L"item") && doc.AddElement(L"item") && doc.LeaveElement());
    ASSERT_TRUE(doc.AddElement(L"macroinfo") && doc.EnterElement());
    ASSERT_TRUE(doc.AddElement(L"macroitems") && doc.EnterElement() && doc.AddElement(L"item"));
    ASSERT_TRUE(doc.LeaveElement() && doc.LeaveElement());
    ASSERT_TRUE(doc.AddElement(L"macroinfo") && doc.EnterElement() && doc.LeaveElement());
    ASSERT_TRUE(doc.LeaveElement());
    EXPECT_EQ(doc.GetText(),
              L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<profile>\r\n"
              L"<profileinfo/>\r\n<keyitems>\r\n<item/>\r\n<item/>\r\n</keyitems>\r\n"
              L"<macroinfo>\r\n<macroitems>\r\n<item/>\r\n</macroitems>\r\n"
              L"</macroinfo>\r\n<macroinfo/>\r\n</profile>\r\n");
    EXPECT_TRUE(IndexMatchesReparse(doc));
}

TEST(XmlDocumentEditTest, AttributeEditsKeepEveryOffsetRight) {
    XmlDocument doc(L"<r>\n <a x='1' y=\"22\" z=3 w/>\n <b><c/></b>\n <d q=\"\" />\n</r>");
    ASSERT_TRUE(doc.FindElement(L"r"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(L"a"));
    EXPECT_TRUE(doc.SetAttribute(L"x", L"a much longer value"));
    EXPECT_TRUE(doc.SetAttribute(L"y", L""));
    EXPECT_TRUE(doc.SetAttribute(L"z", L"<'\">"));
    EXPECT_TRUE(doc.SetAttribute(L"w", L"on"));
    EXPECT_TRUE(doc.SetIntAttribute(L"n", -42));
    EXPECT_TRUE(IndexMatchesReparse(doc));
    EXPECT_EQ(doc.GetAttribute(L"x"), L"a much longer value");
    EXPECT_EQ(doc.GetAttribute(L"y"), L"");
    EXPECT_EQ(doc.GetAttribute(L"z"), L"<'\">");
    EXPECT_EQ(doc.GetAttribute(L"w"), L"on");
    EXPECT_EQ(doc.GetAttribute(L"n"), L"-42");
    ASSERT_TRUE(doc.FindElement(L"b"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(L"c"));
    EXPECT_TRUE(doc.SetAttribute(L"k", L"v"));
    ASSERT_TRUE(doc.LeaveElement());
    ASSERT_TRUE(doc.FindElement(L"d"));
    EXPECT_TRUE(doc.SetAttribute(L"q", L"filled"));
    EXPECT_TRUE(doc.SetAttribute(L"e", L"2"));
    EXPECT_TRUE(IndexMatchesReparse(doc));
    EXPECT_NE(doc.GetText().find(L"<d q=\"filled\" e=\"2\" />"), std::wstring::npos);
    EXPECT_NE(doc.GetText().find(L"<c k=\"v\"/>"), std::wstring::npos);
}

TEST(XmlDocumentEditTest, AddElementPlacesAndEscapesContent) {
    XmlDocument doc(L"<r><a/><b></b></r>");
    ASSERT_TRUE(doc.FindElement(L"r"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(L"a"));
    // After the current element, before its next sibling.
    ASSERT_TRUE(doc.AddElement(L"v", L"1<2 & \"q\""));
    ASSERT_TRUE(doc.AddElement(L"c", L"x]]>y", XmlDocument::kAddCData | XmlDocument::kAddNoBreak));
    ASSERT_TRUE(doc.AddElement(L"s", L"", XmlDocument::kAddSpacedEmpty));
    ASSERT_TRUE(doc.FindElement(L"b"));
    ASSERT_TRUE(doc.EnterElement());
    // At the end of a parent that has an end tag.
    ASSERT_TRUE(doc.AddElement(L"in"));
    EXPECT_TRUE(IndexMatchesReparse(doc));
    EXPECT_EQ(doc.GetText(), L"<r><a/>\r\n<v>1&lt;2 &amp; \"q\"</v>"
                             L"<c><![CDATA[x]]]]><![CDATA[>y]]></c>\r\n<s />"
                             L"<b><in/>\r\n</b></r>");
    EXPECT_TRUE(XmlDocument(doc.GetText()).IsWellFormed());

    XmlDocument open;
    ASSERT_TRUE(open.AddElement(L"o", L"", XmlDocument::kAddOpen | XmlDocument::kAddNoBreak));
    EXPECT_EQ(open.GetText(), L"<o>");
}

TEST(XmlDocumentEditTest, EditsWithoutCurrentElementChangeNothing) {
    XmlDocument doc(L"<r a=\"1\"/>");
    const std::wstring before = doc.GetText();
    EXPECT_FALSE(doc.SetAttribute(L"a", L"2"));
    EXPECT_FALSE(doc.SetIntAttribute(L"a", 2));
    EXPECT_EQ(doc.GetAttribute(L"a"), L"");
    EXPECT_FALSE(doc.EnterElement());
    EXPECT_FALSE(doc.LeaveElement());
    EXPECT_EQ(doc.GetText(), before);
    ASSERT_TRUE(doc.FindElement(L"r"));
    EXPECT_FALSE(doc.AddElement(L""));
    EXPECT_EQ(doc.GetText(), before);
}

TEST(XmlDocumentAttributeTest, DecodesReferencesAndKeepsBrokenOnes) {
    struct Case {
        const wchar_t* raw;
        std::wstring expected;
    };
    const Case cases[] = {
        {L"&lt;&#65;&#x42;&bogus;", L"<AB&bogus;"},
        {L"&amp;&quot;&apos;&gt;", L"&\"'>"},
        {L"&AMP;&Lt;", L"&<"},                          // case-insensitive fallback
        {L"&Oslash;&oslash;", L"\u00D8\u00F8"},         // exact case wins
        {L"&nbsp;&copy;&euro;", L"\u00A0\u00A9\u20AC"}, // named entities
        {L"&#x1F600;", std::wstring(1, static_cast<wchar_t>(0x1F600))},
        {L"&#0;&#x0;", L"&#0;&#x0;"},                   // code 0 is not decoded
        {L"&#xD800;&#1114112;", L"&#xD800;&#1114112;"}, // no character
        {L"&#;&#x;&#12a;&;", L"&#;&#x;&#12a;&;"},
        {L"&amp", L"&amp"},                       // no ";"
        {L"&abcdefghij;", L"&abcdefghij;"},       // ";" too far away
        {L"&\u00E9t\u00E9;", L"&\u00E9t\u00E9;"}, // not ASCII
        {L"a & b", L"a & b"},
    };
    for (const Case& c : cases) {
        XmlDocument doc(std::wstring(L"<e v=\"") + c.raw + L"\"/>");
        ASSERT_TRUE(doc.FindElement(L"e"));
        EXPECT_EQ(doc.GetAttribute(L"v"), c.expected) << "raw: " << testing::PrintToString(c.raw);
    }
}

TEST(XmlDocumentAttributeTest, FindsAttributesByExactNameInAnyQuoting) {
    XmlDocument doc(L"<e namex=\"no\" name2='b>c' bare  n = \"sp\" u=plain v=end/>");
    ASSERT_TRUE(doc.FindElement(L"e"));
    EXPECT_EQ(doc.GetAttribute(L"name"), L"");
    EXPECT_EQ(doc.GetAttribute(L"namex"), L"no");
    EXPECT_EQ(doc.GetAttribute(L"name2"), L"b>c");
    EXPECT_EQ(doc.GetAttribute(L"bare"), L"");
    EXPECT_EQ(doc.GetAttribute(L"n"), L"sp");
    EXPECT_EQ(doc.GetAttribute(L"u"), L"plain");
    EXPECT_EQ(doc.GetAttribute(L"v"), L"end/"); // unquoted runs to a blank or ">"
    EXPECT_EQ(doc.GetAttribute(L"missing"), L"");
}

TEST(XmlDocumentCursorTest, WalksChildrenInDocumentOrder) {
    XmlDocument doc(L"<?xml version=\"1.0\"?>\n<!-- c --><list><item n=\"1\"/>"
                    L"<other/><item n=\"2\"><item n=\"inner\"/></item><Item n=\"3\"/></list>");
    ASSERT_TRUE(doc.IsWellFormed());
    EXPECT_FALSE(doc.FindElement(L"item")); // not at the top level
    ASSERT_TRUE(doc.FindElement(L"list"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(L"item"));
    EXPECT_EQ(doc.GetAttribute(L"n"), L"1");
    ASSERT_TRUE(doc.FindElement(L"item"));
    EXPECT_EQ(doc.GetAttribute(L"n"), L"2");
    // Past the last item: false, and the cursor stays on it.
    EXPECT_FALSE(doc.FindElement(L"item"));
    EXPECT_EQ(doc.GetAttribute(L"n"), L"2");
    // Names are case-sensitive, and a failed find never moves backwards.
    EXPECT_FALSE(doc.FindElement(L"other"));
    ASSERT_TRUE(doc.FindElement(L"Item"));
    EXPECT_EQ(doc.GetAttribute(L"n"), L"3");
    ASSERT_TRUE(doc.LeaveElement());
    EXPECT_EQ(doc.GetTagName(), L"list");
    EXPECT_FALSE(doc.LeaveElement());

    XmlDocument any(L"<r><a/><b/></r>");
    ASSERT_TRUE(any.FindElement(L""));
    ASSERT_TRUE(any.EnterElement());
    ASSERT_TRUE(any.FindElement(L"b"));
    ASSERT_TRUE(any.EnterElement());
    EXPECT_FALSE(any.FindElement(L""));
    // Leaving resumes after the element left.
    ASSERT_TRUE(any.LeaveElement());
    EXPECT_EQ(any.GetTagName(), L"b");
    EXPECT_FALSE(any.FindElement(L"a"));
    ASSERT_TRUE(any.LeaveElement());
    ASSERT_TRUE(any.EnterElement()); // resumes at b, not at the first child
    EXPECT_EQ(any.GetTagName(), L"b");
    EXPECT_FALSE(any.FindElement(L""));
}

TEST(XmlDocumentParseTest, UnbalancedTagsStayNavigable) {
    XmlDocument unended(L"<a><b></a>");
    EXPECT_FALSE(unended.IsWellFormed());
    EXPECT_TRUE(LogHas(unended, L"unended_start_tag tagname=\"b\""));
    ASSERT_TRUE(unended.FindElement(L"a"));
    ASSERT_TRUE(unended.EnterElement());
    ASSERT_TRUE(unended.FindElement(L"b"));
    EXPECT_FALSE(unended.EnterElement() && unended.FindElement(L""));

    // The elements an unended tag would have held follow it as siblings.
    XmlDocument flattened(L"<r><x><y/><z><w/></r>");
    EXPECT_TRUE(IndexIsConsistent(flattened));
    ASSERT_TRUE(flattened.FindElement(L"r"));
    ASSERT_TRUE(flattened.EnterElement());
    std::wstring names;
    while (flattened.FindElement(L""))
        names += flattened.GetTagName();
    EXPECT_EQ(names, L"xyzw");

    XmlDocument siblings(L"<a/><b/>");
    EXPECT_FALSE(siblings.IsWellFormed());
    EXPECT_TRUE(LogHas(siblings, L"root_has_sibling"));
    EXPECT_TRUE(siblings.FindElement(L"b"));

    XmlDocument lone(L"<a></b></a>");
    EXPECT_FALSE(lone.IsWellFormed());
    EXPECT_TRUE(LogHas(lone, L"lone_end_tag tagname=\"b\" offset=\"3\""));

    XmlDocument empty(L"<?xml version=\"1.0\"?> text only");
    EXPECT_FALSE(empty.IsWellFormed());
    EXPECT_TRUE(LogHas(empty, L"no_root_element"));
}

TEST(XmlDocumentParseTest, ReportsEachSyntaxError) {
    struct Case {
        const wchar_t* text;
        const wchar_t* event;
    };
    const Case cases[] = {
        {L"<a>< b/></a>", L"first_tag_syntax"},
        {L"<a><!x></a>", L"exclamation_tag_syntax"},
        {L"<a><!-x--></a>", L"comment_tag_syntax"},
        {L"<a><![X[x]]></a>", L"cdata_section_syntax"},
        {L"<!DOCTYPE a [<!X y>]><a/>", L"doctype_tag_syntax"},
        {L"<a b='1", L"unterminated_tag_syntax type=\"start_tag\""},
        {L"<a></a", L"unterminated_tag_syntax type=\"end_tag\""},
        {L"<a><![CDATA[x", L"unterminated_tag_syntax type=\"cdata_section\""},
        {L"<a/><?pi", L"unterminated_tag_syntax type=\"processing_instruction\""},
        {L"<a><!-- x", L"unterminated_tag_syntax type=\"comment\""},
        {L"<!DOCTYPE a [<!ELEMENT a ANY>", L"unterminated_tag_syntax type=\"document_type\""},
        {L"<a></a><", L"unterminated_tag_syntax type=\"tag\""},
    };
    for (const Case& c : cases) {
        XmlDocument doc(c.text);
        EXPECT_FALSE(doc.IsWellFormed()) << testing::PrintToString(c.text);
        EXPECT_TRUE(LogHas(doc, c.event)) << testing::PrintToString(c.text) << " logged "
                                          << testing::PrintToString(doc.GetResult());
        EXPECT_TRUE(IndexIsConsistent(doc));
    }
    // After a syntax error the scan goes on past the next ">".
    XmlDocument resumed(L"<r>< x><item/></r>");
    ASSERT_TRUE(resumed.FindElement(L"r"));
    ASSERT_TRUE(resumed.EnterElement());
    EXPECT_TRUE(resumed.FindElement(L"item"));
}

TEST(XmlDocumentParseTest, SkipsMarkupThatIsNotAnElement) {
    XmlDocument doc(L"<?xml version=\"1.0\"?>\n"
                    L"<!DOCTYPE r [ <!ENTITY e \"a>b\"> <!-- ]> --> <?p x>?> ]>\n"
                    L"<r a=\"x>y\" b='<'><!-- <no/> --><![CDATA[ <no/> ]]><?pi <no/> ?>"
                    L"<yes/></r><!-- trailing -->");
    EXPECT_TRUE(doc.IsWellFormed()) << testing::PrintToString(doc.GetResult());
    EXPECT_EQ(doc.GetIndex().size(), 3u);
    ASSERT_TRUE(doc.FindElement(L"r"));
    EXPECT_EQ(doc.GetAttribute(L"a"), L"x>y");
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_TRUE(doc.FindElement(L"yes"));
}

TEST(XmlDocumentParseTest, ResultLogStopsGrowingPastItsLimit) {
    std::wstring text = L"<r>";
    for (int i = 0; i < 500; ++i)
        text += L"</nope>";
    text += L"</r>";
    XmlDocument doc(text);
    EXPECT_FALSE(doc.IsWellFormed());
    EXPECT_LT(doc.GetResult().size(), 1200u);
    EXPECT_TRUE(doc.SetText(L"<ok/>"));
    EXPECT_EQ(doc.GetResult(), L"");
}

} // namespace
} // namespace Quillon
