#include "app/core/IniFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "tools/testing/TestEnvironment.h"

namespace Quillon {
namespace {

TEST(IniFile, LookupsFollowTheProfileStringRules) {
    const IniFile file("\xEF\xBB\xBF"
                       "; a comment\r\n"
                       "top=outside any section\r\n"
                       "[Other]\n"
                       "170=wrong section\n"
                       "[ kb.dialog ]\n"
                       "  170 =  Close  \n"
                       "171=\"  quoted  \"\n"
                       "172='single'\n"
                       "173=\"unbalanced\n"
                       "174=a=b; not a comment\n"
                       "170=second copy\n"
                       "Name=中文 ação\n"
                       "garbage line without equals\n"
                       "175=\n"
                       "[KB.DIALOG]\n"
                       "176=later section of the same name\n");
    const struct {
        const wchar_t* section;
        const wchar_t* key;
        const wchar_t* expected; // nullptr: no value
    } cases[] = {
        {L"KB.DIALOG", L"170", L"Close"},
        {L"KB.DIALOG", L"171", L"  quoted  "},
        {L"KB.DIALOG", L"172", L"single"},
        {L"KB.DIALOG", L"173", L"\"unbalanced"},
        {L"KB.DIALOG", L"174", L"a=b; not a comment"},
        {L"kb.dialog", L"NAME", L"中文 ação"},
        {L"KB.DIALOG", L"175", L""},
        {L"KB.DIALOG", L"176", nullptr}, // the first section of a name wins
        {L"KB.DIALOG", L"999", nullptr},
        {L"Missing", L"170", nullptr},
        {L"KB.DIALOG", L"top", nullptr},
        {L"KB.DIALOG", L"; a comment", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.key);
        const auto value = file.GetValue(c.section, c.key);
        if (c.expected == nullptr) {
            EXPECT_FALSE(value.has_value());
        } else {
            ASSERT_TRUE(value.has_value());
            EXPECT_EQ(*value, c.expected);
        }
    }
}

TEST(IniFile, ReadsUtf16WithByteOrderMark) {
    const std::u16string text = u"[KB.DIALOG]\r\n1=Olá 😀\r\n";
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    EXPECT_EQ(IniFile(bytes).GetValue(L"KB.DIALOG", L"1").value_or(L"?"), L"Olá 😀");
}

TEST(IniFile, SettingKeepsEverythingElse) {
    IniFile file("\x01\x02 binary junk\n[Settings]\nLCID=2052\n\n[Other]\nx=1\n");
    file.SetValue(L"settings", L"lcid", L"1046");
    file.SetValue(L"Settings", L"exit_mode", L"2\nLCID=7");
    file.SetValue(L"New", L"a", L"b");
    EXPECT_EQ(file.ToUtf8(), "\x01\x02 binary junk\n[Settings]\nlcid=1046\nexit_mode=2 LCID=7\n\n"
                             "[Other]\nx=1\n[New]\na=b\n");
    const IniFile back(file.ToUtf8());
    EXPECT_EQ(back.GetValue(L"Settings", L"LCID").value_or(L""), L"1046");
    EXPECT_EQ(back.GetValue(L"Settings", L"exit_mode").value_or(L""), L"2 LCID=7");
}

TEST(IniFile, AtomicWriteReplacesTheFileAndLeavesNoTemporary) {
    QuillonTesting::TempDir dir;
    const auto path = dir.WriteFile("settings.ini", "old");
    ASSERT_TRUE(WriteFileAtomically(path, "new contents"));
    std::ifstream in(path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "new contents");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
    EXPECT_FALSE(WriteFileAtomically(dir.Path() / "missing" / "x.ini", "x"));
    EXPECT_FALSE(IniFile::Load(dir.Path() / "none.ini").has_value());
}

} // namespace
} // namespace Quillon
