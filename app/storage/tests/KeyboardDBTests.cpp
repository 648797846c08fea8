#include "app/storage/KeyboardDB.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <thread>

#include "toolkit/platform/Utf.h"
#include "tools/testing/TestEnvironment.h"

namespace Quillon {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Counts rows of a query through a second, independent connection, so the
// checks do not go through the code under test.
int CountRows(const fs::path& file, const std::string& sql) {
    sqlite3* db = nullptr;
    int count = -1;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW) {
            count = sqlite3_column_int(statement, 0);
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return count;
}

KeyMacroInfo Assignment(int profile, int key, int value, int value2, int type = 1) {
    KeyMacroInfo row;
    row.profile = profile;
    row.key_code = key;
    row.macro_type = type;
    row.macro_value = value;
    row.macro_value2 = value2;
    row.macro_desc = L"desc";
    return row;
}

class KeyboardDBTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_data = m_home.DataHome() / "Corvane Files";
        fs::create_directories(m_data / "db");
        ASSERT_TRUE(m_db.OpenForKeyboard(m_data, L"Q400"));
    }
    fs::path File() const { return KeyboardDB::DatabasePath(m_data, L"Q400"); }
    int Count(const std::string& sql) const { return CountRows(File(), sql); }

    QuillonTesting::TempHome m_home;
    fs::path m_data;
    KeyboardDB m_db;
};

TEST_F(KeyboardDBTest, NewFileGetsTheWholeSchemaAndAnExistingFileIsUsedAsItIs) {
    EXPECT_TRUE(fs::exists(m_data / "db" / "Q400_data_v2.db"));
    EXPECT_EQ(Count("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name LIKE 't_%'"),
              9);
    EXPECT_EQ(Count("SELECT count(*) FROM sqlite_master WHERE type = 'index'"), 8);
    EXPECT_EQ(Count("SELECT count(*) FROM pragma_table_info('t_macrorecord') WHERE cid = 4 AND "
                    "name = 'desc'"),
              1);

    // Reopening runs no CREATE: a table removed behind our back stays removed.
    m_db.Close();
    {
        SQLiteDB other;
        ASSERT_TRUE(other.Open(File().string(), "", kSQLiteOpenReadWrite));
        ASSERT_EQ(other.Exec("DROP TABLE t_configdata"), kSQLiteOk);
    }
    ASSERT_TRUE(m_db.OpenForKeyboard(m_data, L"Q400"));
    EXPECT_TRUE(m_db.IsOpened());
    EXPECT_EQ(Count("SELECT count(*) FROM sqlite_master WHERE name = 't_configdata'"), 0);
}

TEST_F(KeyboardDBTest, FileNameFollowsTheKeyboardName) {
    m_db.Close();
    EXPECT_TRUE(m_db.OpenForKeyboard(m_data, L""));
    EXPECT_TRUE(fs::exists(m_data / "db" / "_data_v2.db"));
    m_db.Close();
    // A separator in the name cannot lead out of the db folder.
    EXPECT_TRUE(m_db.OpenForKeyboard(m_data, L"../键盘"));
    EXPECT_TRUE(fs::exists(m_data / "db" / ".._键盘_data_v2.db"));
}

TEST_F(KeyboardDBTest, WideDataFolderWithCharactersOutsideAscii) {
    // The program's folders are wide texts; one outside ASCII must reach the
    // file system as UTF-8 rather than fail the locale-bound conversion.
    m_db.Close();
    const fs::path folder = m_home.DataHome() / "Córvane 键盘 Files";
    fs::create_directories(folder / "db");
    const std::wstring wide = VellumUI::Utf8ToWide(folder.string());
    ASSERT_TRUE(m_db.OpenForKeyboard(wide, L"Q400"));
    EXPECT_TRUE(fs::exists(folder / "db" / "Q400_data_v2.db"));
    m_db.Close();
    m_db.DeleteDatabaseFile(wide, L"Q400");
    EXPECT_FALSE(fs::exists(folder / "db" / "Q400_data_v2.db"));
}

TEST_F(KeyboardDBTest, AFileWithoutTablesIsNeverUsedAsItIs) {
    m_db.Close();
    // A folder where the journal goes: the file opens, but no table can be
    // written (as on a full disk).
    const fs::path file = KeyboardDB::DatabasePath(m_data, L"New");
    fs::create_directories(file.string() + "-journal");
    EXPECT_FALSE(m_db.OpenForKeyboard(m_data, L"New"));
    EXPECT_FALSE(fs::exists(file));
    m_db.Close();
    // Once the cause is gone, the next start creates the whole schema.
    fs::remove(file.string() + "-journal");
    ASSERT_TRUE(m_db.OpenForKeyboard(m_data, L"New"));
    EXPECT_GT(m_db.AddMacro(L"m"), 0);
    EXPECT_EQ(CountRows(file, "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND "
                              "name LIKE 't_%'"),
              9);
    // A file cut to no bytes holds nothing and gets the schema again.
    m_db.Close();
    fs::resize_file(file, 0);
    ASSERT_TRUE(m_db.OpenForKeyboard(m_data, L"New"));
    EXPECT_GT(m_db.AddMacro(L"m"), 0);
}

TEST_F(KeyboardDBTest, SwitchingModelsSwitchesFiles) {
    ASSERT_GT(m_db.AddMacro(L"first"), 0);
    m_db.Close();
    ASSERT_TRUE(m_db.OpenForKeyboard(m_data, L"Other"));
    std::vector<MacroInfo> macros;
    EXPECT_EQ(m_db.GetMacros(macros), 0);
    m_db.Close();
    ASSERT_TRUE(m_db.OpenForKeyboard(m_data, L"Q400"));
    EXPECT_EQ(m_db.GetMacros(macros), 1);
}

TEST_F(KeyboardDBTest, MissingDbFolderFailsWithoutCreatingIt) {
    m_db.Close();
    const fs::path elsewhere = m_home.DataHome() / "Nothing";
    EXPECT_FALSE(m_db.OpenForKeyboard(elsewhere, L"Q400"));
    EXPECT_FALSE(m_db.IsOpened());
    EXPECT_FALSE(fs::exists(elsewhere));
    ProfileInfo profile;
    profile.name = L"P";
    EXPECT_EQ(m_db.AddProfile(profile), 0);
    std::vector<ProfileInfo> profiles{ProfileInfo{}};
    EXPECT_EQ(m_db.GetProfiles(profiles), 0);
    EXPECT_TRUE(profiles.empty());
    EXPECT_EQ(m_db.GetActiveProfile(), 0);
    EXPECT_FALSE(m_db.RenameProfile(1, L"x"));
}

TEST_F(KeyboardDBTest, FactoryResetRecreatesAnEmptyFile) {
    ASSERT_GT(m_db.AddMacro(L"m"), 0);
    m_db.Close();
    for (const char* suffix : {"-journal", "-wal", "-shm"}) {
        std::ofstream(File().string() + suffix) << "stale";
    }
    m_db.DeleteDatabaseFile(m_data, L"Q400");
    EXPECT_FALSE(fs::exists(File()));
    for (const char* suffix : {"-journal", "-wal", "-shm"}) {
        EXPECT_FALSE(fs::exists(File().string() + suffix)) << suffix;
    }
    ASSERT_TRUE(m_db.OpenForKeyboard(m_data, L"Q400"));
    std::vector<MacroInfo> macros;
    EXPECT_EQ(m_db.GetMacros(macros), 0);
    // Deleting a file that is not there is quietly ignored.
    m_db.DeleteDatabaseFile(m_data, L"Missing");
}

TEST_F(KeyboardDBTest, ProfilesAndTheActiveOne) {
    ProfileInfo profile;
    profile.name = L"配置文件 1 — ação 🎮";
    profile.status = 1; // ignored: new profiles are written inactive
    const int first = m_db.AddProfile(profile);
    profile.name = L"Two";
    const int second = m_db.AddProfile(profile);
    ASSERT_GT(first, 0);
    ASSERT_GT(second, first);
    EXPECT_EQ(m_db.GetActiveProfile(), 0);

    std::wstring name = L"stale";
    EXPECT_TRUE(m_db.GetProfileName(first, name));
    EXPECT_EQ(name, L"配置文件 1 — ação 🎮");
    EXPECT_FALSE(m_db.GetProfileName(999, name));
    EXPECT_TRUE(name.empty());

    EXPECT_TRUE(m_db.SetActiveProfile(second));
    EXPECT_EQ(m_db.GetActiveProfile(), second);
    EXPECT_EQ(Count("SELECT count(*) FROM t_profile_data WHERE status = 1"), 1);
    EXPECT_TRUE(m_db.SetActiveProfile(999));
    EXPECT_EQ(Count("SELECT count(*) FROM t_profile_data WHERE status = 1"), 0);
    EXPECT_EQ(m_db.GetActiveProfile(), 0);

    EXPECT_TRUE(m_db.RenameProfile(second, L"Zwei"));
    EXPECT_TRUE(m_db.DeleteProfile(first));
    std::vector<ProfileInfo> list;
    ASSERT_EQ(m_db.GetProfiles(list), 1);
    EXPECT_EQ(list[0].profile, second);
    EXPECT_EQ(list[0].name, L"Zwei");
    EXPECT_EQ(list[0].status, 0);
    EXPECT_EQ(list[0].type, 0);
}

TEST_F(KeyboardDBTest, AnIdPastThirtyTwoBitsCountsAsAFailure) {
    {
        SQLiteDB other;
        ASSERT_TRUE(other.Open(File().string(), "", kSQLiteOpenReadWrite));
        ASSERT_EQ(other.Exec("INSERT INTO t_macro_data(macro_id, name) VALUES (2147483647, 'x')"),
                  kSQLiteOk);
    }
    // The next id, 2^31, cannot be handed out as an int.
    EXPECT_EQ(m_db.AddMacro(L"next"), 0);
}

TEST_F(KeyboardDBTest, SavingAnAssignmentKeepsOneRowPerKey) {
    struct Case {
        const char* what;
        int key, value, value2;
        int result_positive; // 1: a new id, 0: returns 0
        bool row_after;
    };
    const Case cases[] = {
        {"key code 0 is ignored", 0, 4, 4, 0, false},
        {"first assignment stored", 30, 4, 0, 1, true},
        {"second value alone is stored", 30, 0, 5, 1, true},
        {"both values zero restores the default", 30, 0, 0, 0, false},
        {"again on a key without a row", 30, 0, 0, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int id = m_db.SaveKeyAssignment(Assignment(2, c.key, c.value, c.value2));
        EXPECT_EQ(id > 0, c.result_positive == 1);
        EXPECT_EQ(Count("SELECT count(*) FROM t_key_macro_data"), c.row_after ? 1 : 0);
        KeyMacroInfo row;
        EXPECT_EQ(m_db.GetKeyAssignment(2, 0, 30, row), c.row_after);
        if (c.row_after) {
            EXPECT_EQ(row.key_id, id);
            EXPECT_EQ(row.macro_value, c.value);
            EXPECT_EQ(row.macro_value2, c.value2);
        }
    }
}

TEST_F(KeyboardDBTest, AssignmentsRoundTripEveryColumn) {
    KeyMacroInfo row = Assignment(3, 44, 7, 8, 5);
    row.layout_value = -12;
    row.layout_desc = L"Ключ";
    row.macro_value3 = 9;
    row.macro_desc = L"打开网页";
    ASSERT_GT(m_db.SaveKeyAssignment(row), 0);
    ASSERT_GT(m_db.SaveKeyAssignment(Assignment(3, 45, 1, 0)), 0);
    ASSERT_GT(m_db.SaveKeyAssignment(Assignment(4, 44, 1, 0)), 0);

    std::vector<KeyMacroInfo> list;
    ASSERT_EQ(m_db.GetKeyAssignments(3, 0, list), 2);
    const KeyMacroInfo& back = list[0].key_code == 44 ? list[0] : list[1];
    EXPECT_EQ(back.profile, 3);
    EXPECT_EQ(back.fn_layer, 0);
    EXPECT_EQ(back.layout_value, -12);
    EXPECT_EQ(back.layout_desc, L"Ключ");
    EXPECT_EQ(back.macro_type, 5);
    EXPECT_EQ(back.macro_value3, 9);
    EXPECT_EQ(back.macro_desc, L"打开网页");

    m_db.DeleteProfileKeys(3);
    EXPECT_EQ(m_db.GetKeyAssignments(3, 0, list), 0);
    EXPECT_EQ(m_db.GetKeyAssignments(4, 0, list), 1);
}

TEST_F(KeyboardDBTest, KeyOtherDataKeepsOutputsForAMissingRow) {
    const int id = m_db.AddKeyOtherData({L"Olá mundo", L"/usr/bin/gedit", 6});
    ASSERT_GT(id, 0);
    std::wstring text, param;
    int type = -1;
    EXPECT_TRUE(m_db.GetKeyOtherData(id, text, param, type));
    EXPECT_EQ(text, L"Olá mundo");
    EXPECT_EQ(param, L"/usr/bin/gedit");
    EXPECT_EQ(type, 6);

    text = L"keep";
    type = 42;
    EXPECT_TRUE(m_db.GetKeyOtherData(id + 100, text, param, type));
    EXPECT_EQ(text, L"keep");
    EXPECT_EQ(type, 42);
}

TEST_F(KeyboardDBTest, MacrosAndTheirSteps) {
    const int plain = m_db.AddMacro(L"宏 1");
    ASSERT_GT(plain, 0);
    MacroInfo macro;
    ASSERT_TRUE(m_db.GetMacro(plain, macro));
    EXPECT_EQ(macro.name, L"宏 1");
    EXPECT_EQ(macro.play_times, 1);
    EXPECT_EQ(macro.delay_type, 1);
    EXPECT_EQ(macro.delay_time, 0);
    EXPECT_EQ(macro.link_count, 0);

    macro.play_times = 5;
    macro.delay_type = 3;
    macro.delay_time = 250;
    EXPECT_TRUE(m_db.UpdateMacroPlay(macro));
    int times = 0;
    EXPECT_TRUE(m_db.GetMacroPlayTimes(plain, times));
    EXPECT_EQ(times, 5);
    times = -1;
    EXPECT_FALSE(m_db.GetMacroPlayTimes(999, times));
    EXPECT_EQ(times, -1);

    MacroInfo full{0, L"copy", 2, 4, 2, 30};
    const int copy = m_db.AddMacroFull(full);
    ASSERT_TRUE(m_db.GetMacro(copy, macro));
    EXPECT_EQ(macro.link_count, 2);
    EXPECT_EQ(macro.play_times, 4);
    EXPECT_EQ(macro.delay_time, 30);
    EXPECT_TRUE(m_db.RenameMacro(copy, L"renamed"));

    // Steps come back by position, whatever order they were written in.
    const int types[] = {2, 3, 1, 2};
    const int positions[] = {2, 0, 3, 1};
    std::vector<MacroRecordInfo> steps;
    for (int i = 0; i < 4; ++i) {
        steps.push_back(
            {0, plain, types[i], positions[i], 65 + i, 10 * i, L"键" + std::to_wstring(i)});
    }
    m_db.SaveMacroRecords(steps);
    ASSERT_GT(m_db.AddMacroRecord({0, copy, 2, 0, 13, 0, L"Enter"}), 0);

    std::vector<MacroRecordInfo> back;
    ASSERT_EQ(m_db.GetMacroRecords(plain, back), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(back[i].record_index, i);
        EXPECT_EQ(back[i].macro_id, plain);
    }
    EXPECT_EQ(back[0].value, 66); // written second, position 0
    EXPECT_EQ(back[0].type, 3);
    EXPECT_EQ(back[0].delay_time, 10);
    EXPECT_EQ(back[0].desc, L"键1");
    EXPECT_EQ(m_db.CountMacroKeyRecords(plain), 3);

    std::vector<MacroInfo> macros;
    EXPECT_EQ(m_db.GetMacros(macros), 2);
    EXPECT_TRUE(m_db.DeleteMacroRecords(copy));
    EXPECT_EQ(m_db.GetMacroRecords(copy, back), 0);
}

TEST_F(KeyboardDBTest, DeletingAMacroRemovesItsStepsAndEveryKeyPlayingIt) {
    int id = 0;
    while (id < 7) {
        id = m_db.AddMacro(L"m");
        ASSERT_GT(id, 0);
    }
    ASSERT_EQ(id, 7);
    m_db.SaveMacroRecords({{0, 7, 2, 0, 65, 0, L"A"}, {0, 7, 3, 1, 65, 0, L"A"}});
    m_db.SaveMacroRecords({{0, 6, 2, 0, 66, 0, L"B"}});
    m_db.SaveKeyAssignment(Assignment(1, 30, 7, 0, kMacroAssignmentType));
    m_db.SaveKeyAssignment(Assignment(2, 31, 7, 0, kMacroAssignmentType));
    m_db.SaveKeyAssignment(Assignment(2, 32, 6, 0, kMacroAssignmentType));
    m_db.SaveKeyAssignment(Assignment(2, 33, 7, 0, 1)); // not a macro assignment

    EXPECT_TRUE(m_db.DeleteMacro(7));
    EXPECT_EQ(Count("SELECT count(*) FROM t_macro_data WHERE macro_id = 7"), 0);
    EXPECT_EQ(Count("SELECT count(*) FROM t_macrorecord WHERE macro_id = 7"), 0);
    EXPECT_EQ(Count("SELECT count(*) FROM t_key_macro_data WHERE macro_type = 3 AND "
                    "macro_value = 7"),
              0);
    EXPECT_EQ(Count("SELECT count(*) FROM t_macrorecord"), 1);
    EXPECT_EQ(Count("SELECT count(*) FROM t_key_macro_data"), 2);
}

TEST_F(KeyboardDBTest, LightModesAndKeyColours) {
    EXPECT_EQ(m_db.CountLights(1), 0);
    for (int mode = 1; mode <= 3; ++mode) {
        LightInfo light{0, 1, L"效果 " + std::to_wstring(mode), mode, 4, 2, 1, 1, 0, 0x0000FF, 0,
                        0, 0};
        ASSERT_GT(m_db.AddLight(light), 0);
    }
    EXPECT_EQ(m_db.CountLights(1), 3);
    EXPECT_EQ(m_db.GetActiveLightMode(1), 0);
    EXPECT_TRUE(m_db.SetActiveLight(1, 2));
    EXPECT_EQ(m_db.GetActiveLightMode(1), 2);
    EXPECT_TRUE(m_db.SetActiveLight(1, 3));
    EXPECT_EQ(Count("SELECT count(*) FROM t_light_data WHERE status = 1"), 1);

    LightInfo update;
    update.brightness = 1;
    update.speed = 3;
    update.direction = 2;
    update.colorful = 0;
    update.colorindex = 5;
    update.color_value = 0x123456;
    update.config_func = 7;
    update.reserved = 8;
    update.name = L"ignored";
    EXPECT_TRUE(m_db.UpdateLight(1, 2, update));
    LightInfo back;
    ASSERT_TRUE(m_db.GetLight(1, 2, back));
    EXPECT_EQ(back.name, L"效果 2");
    EXPECT_EQ(back.mode, 2);
    EXPECT_EQ(back.speed, 3);
    EXPECT_EQ(back.colorindex, 5);
    EXPECT_EQ(back.color_value, 0x123456);
    EXPECT_EQ(back.reserved, 8);
    EXPECT_FALSE(m_db.GetLight(1, 99, back));
    std::vector<LightInfo> lights;
    EXPECT_EQ(m_db.GetLights(1, lights), 3);
    EXPECT_EQ(m_db.GetLights(2, lights), 0);

    const std::vector<KeyLightInfo> colours = {
        {0, 1, kCustomKeyLightMode, 4, 0x0000FF},
        {0, 1, kCustomKeyLightMode, 5, static_cast<int>(0x00FFFFFF)},
        {0, 1, 7, 6, 0x00FF00},
    };
    EXPECT_EQ(m_db.SaveKeyLights(colours), 3);
    std::vector<KeyLightInfo> keyLights;
    ASSERT_EQ(m_db.GetKeyLights(kCustomKeyLightMode, keyLights), 2);
    EXPECT_EQ(keyLights[1].key_rgb, 0x00FFFFFF);
    EXPECT_TRUE(m_db.DeleteKeyLights());
    EXPECT_EQ(m_db.GetKeyLights(kCustomKeyLightMode, keyLights), 0);
    EXPECT_EQ(m_db.GetKeyLights(7, keyLights), 1);
}

TEST_F(KeyboardDBTest, MusicLayer) {
    EXPECT_EQ(m_db.CountMusicLayers(), 0);
    EXPECT_EQ(m_db.GetSelectedMusicLayer(), 0);
    const int id = m_db.AddMusicLayer(L"图层 1", 17);
    ASSERT_EQ(id, 1);
    EXPECT_EQ(m_db.CountMusicLayers(), 1);
    MusicLayerInfo layer;
    ASSERT_TRUE(m_db.GetMusicLayer(id, layer));
    EXPECT_EQ(layer.profile, 1);
    EXPECT_EQ(layer.name, L"图层 1");
    EXPECT_EQ(layer.foremode, 17);
    EXPECT_EQ(layer.fore_amplitude, 300);
    EXPECT_EQ(layer.backb_right, 100);
    EXPECT_EQ(layer.sel, 0);

    EXPECT_TRUE(m_db.SelectMusicLayer());
    EXPECT_EQ(m_db.GetSelectedMusicLayer(), 1);
    layer.foremode = 3;
    layer.fore_amplitude = 150;
    layer.backmode = 2;
    layer.backb_right = 40;
    EXPECT_TRUE(m_db.UpdateMusicLayer(layer));
    MusicLayerInfo back;
    ASSERT_TRUE(m_db.GetMusicLayer(1, back));
    EXPECT_EQ(back.foremode, 3);
    EXPECT_EQ(back.fore_amplitude, 150);
    EXPECT_EQ(back.backmode, 2);
    EXPECT_EQ(back.backb_right, 40);
    EXPECT_EQ(back.sel, 1);
}

TEST_F(KeyboardDBTest, DefaultConfigRows) {
    m_db.InsertDefaultConfig();
    EXPECT_EQ(Count("SELECT count(*) FROM t_configdata"), 11);
    EXPECT_EQ(Count("SELECT count(*) FROM t_configdata WHERE profile = 1"), 11);
    EXPECT_EQ(Count("SELECT count(*) FROM t_configdata WHERE key = 'version' AND value = "
                    "'1.0.1'"),
              1);
    EXPECT_EQ(Count("SELECT count(*) FROM t_configdata WHERE key = 'sleep_light' AND value = "
                    "'1'"),
              1);
}

TEST_F(KeyboardDBTest, TwoThreadsShareTheConnectionWithoutInterleaving) {
    constexpr int kRounds = 150;
    std::atomic<int> failures{0};
    std::thread macros([&] {
        for (int i = 0; i < kRounds; ++i) {
            const int id = m_db.AddMacro(L"线程 " + std::to_wstring(i));
            if (id <= 0) {
                ++failures;
                continue;
            }
            m_db.SaveMacroRecords({{0, id, 2, 1, 65, 5, L"A"}, {0, id, 1, 0, 0, 5, L""}});
            std::vector<MacroRecordInfo> steps;
            MacroInfo macro;
            if (m_db.GetMacroRecords(id, steps) != 2 || !m_db.GetMacro(id, macro) ||
                macro.name != L"线程 " + std::to_wstring(i)) {
                ++failures;
            }
        }
    });
    std::thread keys([&] {
        for (int i = 0; i < kRounds; ++i) {
            const int key = 4 + i % 40;
            KeyMacroInfo row = Assignment(1, key, i + 1, 0);
            const int id = m_db.SaveKeyAssignment(row);
            KeyMacroInfo back;
            // The id must be this insert's, never the other thread's row.
            if (id <= 0 || !m_db.GetKeyAssignment(1, 0, key, back) || back.key_id != id ||
                back.macro_value != i + 1) {
                ++failures;
            }
            m_db.SaveKeyLights({{0, 1, kCustomKeyLightMode, key, i}});
        }
    });
    macros.join();
    keys.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(Count("SELECT count(*) FROM t_macro_data"), kRounds);
    EXPECT_EQ(Count("SELECT count(*) FROM t_macrorecord"), 2 * kRounds);
    EXPECT_EQ(Count("SELECT count(*) FROM t_key_macro_data"), 40);
    EXPECT_EQ(Count("SELECT count(*) FROM t_key_light_data"), kRounds);
}

// Files that are not a usable database: operations fail quietly and the
// file stays exactly as it was.
TEST(KeyboardDBDamagedFile, OperationsFailAndTheFileIsLeftAlone) {
    QuillonTesting::TempHome home;
    const fs::path data = home.DataHome() / "Corvane Files";
    fs::create_directories(data / "db");

    std::string truncated;
    {
        KeyboardDB db;
        ASSERT_TRUE(db.OpenForKeyboard(data, L"Good"));
        for (int i = 0; i < 200; ++i) {
            db.AddMacro(std::wstring(100, L'x'));
        }
        db.Close();
        const std::string whole = ReadBytes(KeyboardDB::DatabasePath(data, L"Good"));
        ASSERT_GT(whole.size(), 8192u);
        truncated = whole.substr(0, 4096 + 100);
    }
    std::string corruptHeader(8192, '\x5a');
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"text file", "this is not a database\n"},
        {"garbage pages", corruptHeader},
        {"truncated database", truncated},
        {"sqlite header only", std::string("SQLite format 3\0", 16) + std::string(84, '\xff')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path file = KeyboardDB::DatabasePath(data, L"Bad");
        {
            std::ofstream out(file, std::ios::binary | std::ios::trunc);
            out.write(c.bytes.data(), static_cast<std::streamsize>(c.bytes.size()));
        }
        KeyboardDB db;
        db.OpenForKeyboard(data, L"Bad"); // may open; SQLite reads lazily
        ProfileInfo profile;
        profile.name = L"p";
        EXPECT_EQ(db.AddProfile(profile), 0);
        EXPECT_EQ(db.AddMacro(L"m"), 0);
        std::vector<MacroInfo> macros;
        db.GetMacros(macros);
        EXPECT_EQ(db.GetActiveProfile(), 0);
        EXPECT_EQ(db.SaveKeyAssignment(Assignment(1, 30, 1, 0)), 0);
        db.SaveKeyLights({{0, 1, kCustomKeyLightMode, 4, 1}});
        db.InsertDefaultConfig();
        db.Close();
        EXPECT_EQ(ReadBytes(file), c.bytes);
    }
}

TEST(SQLiteWrappers, WithoutAConnectionEverythingIsMisuse) {
    SQLiteDB db;
    EXPECT_FALSE(db.IsOpen());
    EXPECT_TRUE(db.Close());
    EXPECT_EQ(db.Exec("SELECT 1"), kSQLiteMisuse);
    EXPECT_EQ(db.GetLastInsertId(), -1);
    SQLiteStatement statement;
    EXPECT_EQ(db.Prepare(statement, "SELECT 1"), kSQLiteMisuse);
    EXPECT_EQ(statement.BindInt(1, 1), kSQLiteMisuse);
    EXPECT_EQ(statement.BindText(1, "x"), kSQLiteMisuse);
    EXPECT_EQ(statement.Step(), kSQLiteMisuse);
    EXPECT_EQ(statement.ColumnInt(0), 0);
    EXPECT_EQ(statement.ColumnText(0), nullptr);
    EXPECT_TRUE(statement.IsDone());
    SQLiteAutoTransaction transaction(db);
    EXPECT_FALSE(transaction.IsActive());
}

TEST(SQLiteWrappers, StatementsAndTransactions) {
    QuillonTesting::TempDir dir;
    const std::string path = (dir.Path() / "w.db").string();
    SQLiteDB db;
    EXPECT_FALSE(db.Open(path, "", kSQLiteOpenReadWrite)); // no create flag
    EXPECT_FALSE(db.Open(path, "secret", kSQLiteOpenReadWrite | kSQLiteOpenCreate));
    EXPECT_FALSE(db.IsOpen());
    ASSERT_TRUE(db.Open(path, "", kSQLiteOpenReadWrite | kSQLiteOpenCreate));
    ASSERT_EQ(db.Exec("CREATE TABLE t(a INTEGER, b TEXT)"), kSQLiteOk);

    SQLiteStatement statement;
    // A failed prepare leaves a statement that accepts binds and steps.
    EXPECT_NE(db.Prepare(statement, "SELECT nonsense FROM nowhere"), kSQLiteOk);
    EXPECT_EQ(statement.BindInt(1, 1), kSQLiteMisuse);
    EXPECT_EQ(statement.Step(), kSQLiteMisuse);

    {
        SQLiteAutoTransaction transaction(db);
        EXPECT_TRUE(transaction.IsActive());
        EXPECT_FALSE(transaction.Begin());
        // Only the given length is bound, not the rest of the buffer.
        const std::string text = "abcdef";
        ASSERT_EQ(db.Prepare(statement, "INSERT INTO t VALUES (?, ?)"), kSQLiteOk);
        EXPECT_EQ(statement.BindInt(1, 7), kSQLiteOk);
        EXPECT_EQ(statement.BindText(2, std::string_view(text).substr(0, 3)), kSQLiteOk);
        EXPECT_EQ(statement.Step(), kSQLiteDone);
        EXPECT_TRUE(statement.IsDone());
        EXPECT_EQ(db.GetLastInsertId(), 1);
        // Nested use from the same object is refused by SQLite: no END follows.
        SQLiteAutoTransaction inner(db);
        EXPECT_FALSE(inner.IsActive());
        // ... and its End leaves the outer transaction open.
        EXPECT_FALSE(inner.End());
        EXPECT_NE(db.Exec("BEGIN"), kSQLiteOk);
    }
    // An empty view is the empty text, not NULL.
    ASSERT_EQ(db.Prepare(statement, "INSERT INTO t VALUES (8, ?)"), kSQLiteOk);
    EXPECT_EQ(statement.BindText(1, std::string_view()), kSQLiteOk);
    EXPECT_EQ(statement.Step(), kSQLiteDone);
    ASSERT_EQ(db.Prepare(statement, "SELECT a, b FROM t ORDER BY a", -1), kSQLiteOk);
    ASSERT_EQ(statement.Step(), kSQLiteRow);
    EXPECT_FALSE(statement.IsDone());
    EXPECT_EQ(statement.ColumnInt(0), 7);
    EXPECT_STREQ(statement.ColumnText(1), "abc");
    ASSERT_EQ(statement.Step(), kSQLiteRow);
    ASSERT_NE(statement.ColumnText(1), nullptr);
    EXPECT_STREQ(statement.ColumnText(1), "");
    EXPECT_EQ(statement.Step(), kSQLiteDone);

    SQLiteAutoTransaction transaction(db);
    EXPECT_TRUE(transaction.End());
    EXPECT_FALSE(transaction.IsActive());
    EXPECT_TRUE(transaction.Begin());
    EXPECT_TRUE(transaction.End());
    statement.Finalize();
    EXPECT_TRUE(db.Close());
}

} // namespace
} // namespace Quillon
