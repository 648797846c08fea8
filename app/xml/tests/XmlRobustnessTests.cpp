// Malformed and hostile input: random mutations of XML and random markup
// soup must parse into a consistent index, navigate, edit and reload without
// crashing; big and deeply nested inputs must parse in linear time.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>

#include "app/xml/XmlDocument.h"
#include "app/xml/tests/XmlIndexCheck.h"
#include "tools/testing/TestEnvironment.h"

namespace Quillon {
namespace {

using XmlTesting::DocumentOrder;
using XmlTesting::IndexIsConsistent;
using XmlTesting::IndexMatchesReparse;

const wchar_t* const kFragments[] = {
    L"<",    L">",    L"/>",     L"</",        L"<a",  L"</a>",          L"<b x='1'>",
    L"</b>", L"<!--", L"-->",    L"<![CDATA[", L"]]>", L"<!DOCTYPE r [", L"]>",
    L"<?",   L"?>",   L"\"",     L"'",         L"=",   L"&amp;",         L"&#x41;",
    L"&",    L" ",    L"\r\n",   L"<!",        L"<![", L"<!ELEMENT",     L"[",
    L"]",    L"<c/>", L"\u00E9", L"\uFFFD",    L"x",   L"<a b=\"<>\">",  L"\0",
};

std::wstring RandomSoup(std::mt19937& rng) {
    std::uniform_int_distribution<std::size_t> pick(0, std::size(kFragments) - 1);
    std::uniform_int_distribution<int> count(0, 40);
    std::wstring text;
    for (int i = count(rng); i > 0; --i)
        text += kFragments[pick(rng)];
    return text;
}

const std::wstring kSample =
    L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<!DOCTYPE config>\r\n"
    L"<config><device.info><keyboard name=\"Q &amp; A\" device_type=\"201\">"
    L"<mode value=\"0\" vid='37F1'/><!-- c --><mode value=\"1\"></mode></keyboard>"
    L"</device.info><software version=\"1.0\"><![CDATA[<x>]]><website url=\"u\"/>"
    L"</software></config>\r\n";

std::wstring Mutate(std::mt19937& rng) {
    std::wstring text = kSample;
    std::uniform_int_distribution<int> edits(1, 6);
    for (int i = edits(rng); i > 0; --i) {
        std::uniform_int_distribution<std::size_t> at(0, text.size());
        std::size_t pos = at(rng);
        switch (rng() % 4) {
        case 0:
            text.resize(pos);
            break;
        case 1:
            text.erase(pos, rng() % 12);
            break;
        case 2:
            text.insert(pos, kFragments[rng() % std::size(kFragments)]);
            break;
        default:
            text.insert(pos, text.substr(pos / 2, rng() % 40));
            break;
        }
    }
    return text;
}

// A well-formed document of random shape, markup and spacing.
std::wstring RandomWellFormed(std::mt19937& rng, int depth = 0) {
    static const wchar_t* const kNames[] = {L"a", L"key", L"mode", L"x.y", L"_z"};
    static const wchar_t* const kExtras[] = {
        L"", L" ", L"\r\n", L"<!-- > -->", L"<?p?>", L"text &amp; more", L"<![CDATA[<a>]]>"};
    std::wstring name = kNames[rng() % std::size(kNames)];
    std::wstring text = L"<" + name;
    for (int i = static_cast<int>(rng() % 3); i > 0; --i) {
        bool dq = rng() % 2;
        text += dq ? L" q=\"" : L" r = '";
        text += std::to_wstring(rng() % 1000) + (dq ? L"\"" : L"'");
    }
    if (depth > 4 || rng() % 3 == 0)
        return text + (rng() % 2 ? L"/>" : L" />");
    text += L">";
    for (int i = static_cast<int>(rng() % 4); i > 0; --i)
        text += kExtras[rng() % std::size(kExtras)] + RandomWellFormed(rng, depth + 1);
    return text + kExtras[rng() % std::size(kExtras)] + L"</" + name + L">";
}

// Visits every element by navigation alone and returns how many it found.
std::size_t WalkAll(XmlDocument& doc) {
    std::size_t found = 0;
    int depth = 0;
    while (true) {
        if (doc.FindElement(L"")) {
            ++found;
            doc.GetAttribute(L"x");
            doc.EnterElement();
            ++depth;
        } else if (depth > 0) {
            doc.LeaveElement();
            --depth;
        } else {
            return found;
        }
    }
}

TEST(XmlRobustnessTest, RandomMalformedInputParsesNavigatesAndEdits) {
    std::mt19937 rng(20261211);
    for (int round = 0; round < 3000; ++round) {
        std::wstring text = round % 2 ? RandomSoup(rng) : Mutate(rng);
        XmlDocument doc(text);
        ASSERT_TRUE(IndexIsConsistent(doc)) << testing::PrintToString(text);
        ASSERT_EQ(WalkAll(doc), doc.GetIndex().size() - 1) << testing::PrintToString(text);

        // Edit the first few elements; offsets must stay exact whenever the
        // text parses the same way afterwards.
        XmlDocument edited(text);
        if (!edited.FindElement(L""))
            continue;
        edited.SetAttribute(L"x", L"<&\"'>");
        edited.SetIntAttribute(L"n", round);
        edited.AddElement(L"added", L"v&]]>", round % 3 ? 0 : XmlDocument::kAddCData);
        ASSERT_TRUE(IndexIsConsistent(edited)) << testing::PrintToString(text);
        if (XmlDocument(text).IsWellFormed()) {
            ASSERT_TRUE(IndexMatchesReparse(edited)) << testing::PrintToString(text);
        }
    }
}

// Edits at random places of random well-formed documents keep the index
// exactly as a fresh parse of the edited text would build it.
TEST(XmlRobustnessTest, RandomEditsKeepTheIndexExact) {
    std::mt19937 rng(4242);
    for (int round = 0; round < 400; ++round) {
        XmlDocument doc(L"<?xml version=\"1.0\"?>\r\n" + RandomWellFormed(rng));
        ASSERT_TRUE(doc.IsWellFormed()) << testing::PrintToString(doc.GetText());
        for (int step = 0; step < 12; ++step) {
            switch (rng() % 6) {
            case 0:
                doc.EnterElement();
                break;
            case 1:
                doc.LeaveElement();
                break;
            case 2:
                doc.SetAttribute(rng() % 2 ? L"q" : L"new", std::wstring(rng() % 5, L'&'));
                break;
            case 3:
                doc.SetIntAttribute(L"r", static_cast<int>(rng() % 2000) - 1000);
                break;
            case 4:
                doc.AddElement(L"k", rng() % 2 ? L"" : L"<v>",
                               static_cast<unsigned>(rng() % 16) & ~XmlDocument::kAddOpen);
                break;
            default:
                doc.FindElement(L"");
                break;
            }
            ASSERT_TRUE(IndexIsConsistent(doc)) << testing::PrintToString(doc.GetText());
        }
        ASSERT_TRUE(IndexMatchesReparse(doc)) << testing::PrintToString(doc.GetText());
    }
}

TEST(XmlRobustnessTest, RandomBytesLoadFromFiles) {
    QuillonTesting::TempDir dir;
    std::mt19937 rng(77);
    const std::string prefixes[] = {"",
                                    "\xEF\xBB\xBF",
                                    "\xFF\xFE",
                                    "\xFE\xFF",
                                    "<?xml version='1.0' encoding='shift_jis'?>",
                                    "<?xml encoding=\"utf-32\"?>",
                                    "<html><head><meta"};
    for (int round = 0; round < 300; ++round) {
        std::string bytes = prefixes[rng() % std::size(prefixes)];
        for (int i = static_cast<int>(rng() % 300); i > 0; --i)
            bytes += static_cast<char>(rng() % 3 ? rng() % 256 : "<>/=\"' a"[rng() % 8]);
        auto path = dir.WriteFile("random.xml", bytes);
        XmlDocument doc;
        doc.Load(path);
        ASSERT_TRUE(IndexIsConsistent(doc));
        std::wstring log;
        unsigned flags = doc.GetFlags();
        ASSERT_TRUE(XmlDocument::SaveTextFile(dir.Path() / "out.xml", doc.GetText(), log, flags));
    }
}

double SecondsToParse(const std::wstring& text) {
    auto start = std::chrono::steady_clock::now();
    XmlDocument doc(text);
    EXPECT_TRUE(IndexIsConsistent(doc));
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::wstring Repeat(std::wstring_view piece, int times) {
    std::wstring text;
    text.reserve(piece.size() * static_cast<std::size_t>(times));
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

// Each input below takes quadratic work in a naive parser: minutes at these
// sizes. Linear parsing takes well under a second even with sanitizers, so
// the bound leaves room for a busy machine.
TEST(XmlRobustnessTest, HostileShapesParseInLinearTime) {
    constexpr int kDepth = 100000;
    constexpr double kBoundSeconds = 10.0;
    const std::wstring inputs[] = {
        Repeat(L"<a>", kDepth),                           // never closed
        Repeat(L"<a>", kDepth) + Repeat(L"</a>", kDepth), // deep but balanced
        Repeat(L"<a>", kDepth) + Repeat(L"</b>", kDepth), // lone end tags
        L"<r>" + Repeat(L"<b><p>", kDepth / 2) + Repeat(L"</b>", kDepth / 2) + L"</r>",
        Repeat(L"<a><b>", kDepth / 2) + L"</a>",        // one end tag closes all
        Repeat(L"<!-", kDepth) + Repeat(L"< ", kDepth), // syntax errors
    };
    for (const std::wstring& text : inputs)
        EXPECT_LT(SecondsToParse(text), kBoundSeconds) << text.substr(0, 20);

    XmlDocument nested(inputs[3]);
    ASSERT_TRUE(nested.FindElement(L"r"));
    ASSERT_TRUE(nested.EnterElement());
    ASSERT_TRUE(nested.FindElement(L"b"));
    ASSERT_TRUE(nested.EnterElement());
    EXPECT_TRUE(nested.FindElement(L"p"));
}

TEST(XmlRobustnessTest, TenMegabyteAttributeReadsAndEdits) {
    constexpr std::size_t kSize = 10u << 20;
    // Every "&" starts a reference that never ends: decoding must not look
    // for the ";" past the longest reference name.
    std::wstring value(kSize, L'&');
    value[kSize / 2] = L'>';
    value.back() = L';';
    auto start = std::chrono::steady_clock::now();
    XmlDocument doc(L"<r><big v=\"" + value + L"\" w=\"1\"/><after/></r>");
    ASSERT_TRUE(doc.IsWellFormed());
    ASSERT_TRUE(doc.FindElement(L"r"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(L"big"));
    EXPECT_EQ(doc.GetAttribute(L"v").size(), kSize);
    EXPECT_EQ(doc.GetAttribute(L"w"), L"1");
    ASSERT_TRUE(doc.SetAttribute(L"w", L"22"));
    EXPECT_TRUE(doc.FindElement(L"after"));
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
              10.0);

    // An unterminated huge value ends the parse without an element.
    XmlDocument cut(L"<r v=\"" + value);
    EXPECT_FALSE(cut.IsWellFormed());
    EXPECT_EQ(cut.GetIndex().size(), 1u);
}

} // namespace
} // namespace Quillon
