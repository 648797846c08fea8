// The program's one database object: one SQLite file per keyboard model,
// holding profiles, key assignments, macros, light settings, per-key colours
// and music layers. Reached through Instance(); it lives until the process
// ends. The UI thread and the task runner both use it: every operation holds
// the recursive lock from its prepare until its statement is finalized, and
// the connection is opened in serialized mode. No operation throws or shows
// anything; failures come back as false, 0 or an empty list.
#pragma once

#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "app/storage/Records.h"
#include "app/storage/SQLiteDB.h"

namespace Quillon {

// Light mode number under which per-key colours are stored.
inline constexpr int kCustomKeyLightMode = 128;
// Macro assignments: t_key_macro_data.macro_type of a key that plays a macro.
inline constexpr int kMacroAssignmentType = 3;
// Macro steps of this type are pauses, not keys.
inline constexpr int kMacroRecordDelayType = 1;

class KeyboardDB {
public:
    // The process-wide object, made on first use (thread-safe).
    static KeyboardDB& Instance();

    // Tests make their own objects; the program uses Instance().
    KeyboardDB() = default;
    KeyboardDB(const KeyboardDB&) = delete;
    KeyboardDB& operator=(const KeyboardDB&) = delete;

    // ---- file ----

    // "<data folder>/db/<keyboard name>_data_v2.db".
    static std::filesystem::path DatabasePath(const std::filesystem::path& dataFolder,
                                              const std::wstring& keyboardName);
    // Opens the model's file, or creates it with the schema when it is
    // missing. An existing file is used as it is.
    bool OpenForKeyboard(const std::filesystem::path& dataFolder, const std::wstring& keyboardName);
    // The same for the program's wide folder texts (GetDataFolder). A wide
    // text must not become a std::filesystem::path on its own: that
    // conversion follows the C++ locale and throws for any character
    // outside ASCII, so these convert it as UTF-8.
    bool OpenForKeyboard(const std::wstring& dataFolder, const std::wstring& keyboardName);
    // Closes the connection when one is open and clears the opened flag.
    void Close();
    bool IsOpened() const;
    // Removes the model's file (factory reset only); errors are ignored.
    void DeleteDatabaseFile(const std::filesystem::path& dataFolder,
                            const std::wstring& keyboardName);
    void DeleteDatabaseFile(const std::wstring& dataFolder, const std::wstring& keyboardName);
    // Opens (creating) the file at the current path and runs the schema
    // statements; true at once when a connection is already open. A file
    // it made but could not fill is closed and removed again.
    bool CreateSchema();
    void InsertDefaultConfig();

    // ---- profiles ----

    int AddProfile(const ProfileInfo& profile);
    bool DeleteProfile(int id);
    bool RenameProfile(int id, const std::wstring& name);
    bool GetProfileName(int id, std::wstring& name);
    int GetProfiles(std::vector<ProfileInfo>& list);
    bool SetActiveProfile(int id);
    int GetActiveProfile();

    // ---- key assignments ----

    int SaveKeyAssignment(const KeyMacroInfo& row);
    bool GetKeyAssignment(int profile, int layer, int keyCode, KeyMacroInfo& row);
    int GetKeyAssignments(int profile, int layer, std::vector<KeyMacroInfo>& list);
    void DeleteProfileKeys(int profile);
    int AddKeyOtherData(const KeyOtherInfo& row);
    bool GetKeyOtherData(int id, std::wstring& text, std::wstring& param, int& type);

    // ---- macros ----

    int AddMacro(const std::wstring& name);
    int AddMacroFull(const MacroInfo& macro);
    bool RenameMacro(int id, const std::wstring& name);
    bool UpdateMacroPlay(const MacroInfo& macro);
    bool DeleteMacro(int id);
    bool GetMacroPlayTimes(int id, int& count);
    bool GetMacro(int id, MacroInfo& macro);
    int GetMacros(std::vector<MacroInfo>& list);
    int AddMacroRecord(const MacroRecordInfo& record);
    void SaveMacroRecords(const std::vector<MacroRecordInfo>& records);
    int GetMacroRecords(int id, std::vector<MacroRecordInfo>& list);
    bool DeleteMacroRecords(int id);
    int CountMacroKeyRecords(int id);

    // ---- light settings and per-key colours ----

    int CountLights(int profile);
    int AddLight(const LightInfo& light);
    bool UpdateLight(int profile, int mode, const LightInfo& light);
    bool SetActiveLight(int profile, int mode);
    int GetActiveLightMode(int profile);
    bool GetLight(int profile, int mode, LightInfo& light);
    int GetLights(int profile, std::vector<LightInfo>& list);
    int SaveKeyLights(const std::vector<KeyLightInfo>& list);
    bool DeleteKeyLights();
    int GetKeyLights(int lightMode, std::vector<KeyLightInfo>& list);

    // ---- music layers (always the light profile, 1) ----

    int CountMusicLayers();
    int AddMusicLayer(const std::wstring& name, int foreMode);
    bool GetMusicLayer(int layerId, MusicLayerInfo& layer);
    bool UpdateMusicLayer(const MusicLayerInfo& layer);
    bool SelectMusicLayer();
    int GetSelectedMusicLayer();

private:
    using Lock = std::lock_guard<std::recursive_mutex>;

    // Prepares, binds and steps one write statement; id of the new row for
    // inserts (0 on failure), 1/0 for other writes.
    int InsertRow(SQLiteStatement& statement);
    // The count of a "select count(*)" statement already bound.
    static int StepCount(SQLiteStatement& statement);

    SQLiteDB m_database;
    mutable std::recursive_mutex m_lock;
    std::string m_path; // UTF-8 path of the file
    std::string m_key;  // never set: the files are not encrypted
    bool m_opened = false;
};

} // namespace Quillon
