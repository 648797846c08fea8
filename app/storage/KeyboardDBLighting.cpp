// Lighting rows of KeyboardDB: light modes, per-key colours and music layers.
#include "app/storage/KeyboardDB.h"
#include "app/storage/RowAccess.h"

namespace Quillon {

using namespace StorageDetail;

namespace {

// Music layers belong to the light profile, which is always 1.
constexpr int kMusicProfile = 1;
// The one layer the program keeps is the first row of a fresh file.
constexpr int kMusicLayerId = 1;
// A new layer: gain 300 and full background brightness (100).
constexpr int kNewLayerAmplitude = 300;
constexpr int kNewLayerBackBrightness = 100;

LightInfo ReadLight(const SQLiteStatement& s) {
    LightInfo row;
    row.light_id = s.ColumnInt(0);
    row.profile = s.ColumnInt(1);
    row.name = ReadText(s, 2);
    row.mode = s.ColumnInt(3);
    row.brightness = s.ColumnInt(4);
    row.speed = s.ColumnInt(5);
    row.direction = s.ColumnInt(6);
    row.colorful = s.ColumnInt(7);
    row.colorindex = s.ColumnInt(8);
    row.color_value = s.ColumnInt(9);
    row.config_func = s.ColumnInt(10);
    row.reserved = s.ColumnInt(11);
    row.status = s.ColumnInt(12);
    return row;
}

KeyLightInfo ReadKeyLight(const SQLiteStatement& s) {
    KeyLightInfo row;
    row.keylight_id = s.ColumnInt(0);
    row.profile = s.ColumnInt(1);
    row.light_id = s.ColumnInt(2);
    row.key_code = s.ColumnInt(3);
    row.key_rgb = s.ColumnInt(4);
    return row;
}

MusicLayerInfo ReadMusicLayer(const SQLiteStatement& s) {
    MusicLayerInfo row;
    row.layer_id = s.ColumnInt(0);
    row.profile = s.ColumnInt(1);
    row.name = ReadText(s, 2);
    row.deviceindex = s.ColumnInt(3);
    row.foremode = s.ColumnInt(4);
    row.fore_amplitude = s.ColumnInt(5);
    row.backmode = s.ColumnInt(6);
    row.backb_right = s.ColumnInt(7);
    row.sel = s.ColumnInt(8);
    return row;
}

} // namespace

// ---- light modes ----

int KeyboardDB::CountLights(int profile) {
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, "select count(*) FROM t_light_data WHERE profile = ?");
    s.BindInt(1, profile);
    return StepCount(s);
}

int KeyboardDB::AddLight(const LightInfo& light) {
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, "INSERT INTO t_light_data(profile, name, mode, brightness, speed, "
                          "direction, colorful, colorindex, color_value, config_func, reserved, "
                          "status) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?);");
    s.BindInt(1, light.profile);
    s.BindText(2, ToUtf8(light.name));
    s.BindInt(3, light.mode);
    s.BindInt(4, light.brightness);
    s.BindInt(5, light.speed);
    s.BindInt(6, light.direction);
    s.BindInt(7, light.colorful);
    s.BindInt(8, light.colorindex);
    s.BindInt(9, light.color_value);
    s.BindInt(10, light.config_func);
    s.BindInt(11, light.reserved);
    s.BindInt(12, light.status);
    return InsertRow(s);
}

bool KeyboardDB::UpdateLight(int profile, int mode, const LightInfo& light) {
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, "UPDATE t_light_data SET brightness = ?, speed = ?, direction = ?, "
                          "colorful = ?, colorindex = ?, color_value = ?, config_func = ?, "
                          "reserved = ? WHERE profile = ? AND mode = ?");
    s.BindInt(1, light.brightness);
    s.BindInt(2, light.speed);
    s.BindInt(3, light.direction);
    s.BindInt(4, light.colorful);
    s.BindInt(5, light.colorindex);
    s.BindInt(6, light.color_value);
    s.BindInt(7, light.config_func);
    s.BindInt(8, light.reserved);
    s.BindInt(9, profile);
    s.BindInt(10, mode);
    return IsWriteOk(s.Step());
}

bool KeyboardDB::SetActiveLight(int profile, int mode) {
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, "UPDATE t_light_data SET status = ?");
    s.BindInt(1, 0);
    s.Step();
    m_database.Prepare(s, "UPDATE t_light_data SET status = ? WHERE profile = ? and mode = ?");
    s.BindInt(1, 1);
    s.BindInt(2, profile);
    s.BindInt(3, mode);
    return IsWriteOk(s.Step());
}

int KeyboardDB::GetActiveLightMode(int profile) {
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, "SELECT mode FROM t_light_data WHERE profile = ? and status = ?");
    s.BindInt(1, profile);
    s.BindInt(2, 1);
    return s.Step() == kSQLiteRow ? s.ColumnInt(0) : 0;
}

bool KeyboardDB::GetLight(int profile, int mode, LightInfo& light) {
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, "SELECT * FROM t_light_data WHERE profile = ? AND mode = ?");
    s.BindInt(1, profile);
    s.BindInt(2, mode);
    if (s.Step() != kSQLiteRow) {
        return false;
    }
    light = ReadLight(s);
    return true;
}

int KeyboardDB::GetLights(int profile, std::vector<LightInfo>& list) {
    list.clear();
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, "SELECT * FROM t_light_data WHERE profile = ?");
    s.BindInt(1, profile);
    while (s.Step() == kSQLiteRow) {
        list.push_back(ReadLight(s));
    }
    return static_cast<int>(list.size());
}

// ---- per-key colours ----

int KeyboardDB::SaveKeyLights(const std::vector<KeyLightInfo>& list) {
    Lock lock(m_lock);
    SQLiteAutoTransaction transaction(m_database);
    SQLiteStatement s;
    for (const KeyLightInfo& row : list) {
        m_database.Prepare(s, "INSERT INTO t_key_light_data(profile, light_id, key_code, key_rgb) "
                              "VALUES (?, ?, ?, ?);");
        s.BindInt(1, row.profile);
        s.BindInt(2, row.light_id);
        s.BindInt(3, row.key_code);
        s.BindInt(4, row.key_rgb);
        s.Step();
    }
    return static_cast<int>(list.size());
}

bool KeyboardDB::DeleteKeyLights() {
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, "DELETE FROM t_key_light_data WHERE light_id = ?");
    s.BindInt(1, kCustomKeyLightMode);
    return IsWriteOk(s.Step());
}

int KeyboardDB::GetKeyLights(int lightMode, std::vector<KeyLightInfo>& list) {
    list.clear();
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, "SELECT * FROM t_key_light_data WHERE light_id = ?");
    s.BindInt(1, lightMode);
    while (s.Step() == kSQLiteRow) {
        list.push_back(ReadKeyLight(s));
    }
    return static_cast<int>(list.size());
}

// ---- music layers ----

int KeyboardDB::CountMusicLayers() {
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, "select count(*) FROM t_musiclayer_data WHERE profile = ?");
    s.BindInt(1, kMusicProfile);
    return StepCount(s);
}

int KeyboardDB::AddMusicLayer(const std::wstring& name, int foreMode) {
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, "INSERT INTO t_musiclayer_data(profile, name, deviceindex, foremode, "
                          "fore_amplitude, backmode, backb_right, sel) VALUES (?, ?, ?, ?, ?, ?, "
                          "?, ?);");
    s.BindInt(1, kMusicProfile);
    s.BindText(2, ToUtf8(name));
    s.BindInt(3, 0);
    s.BindInt(4, foreMode);
    s.BindInt(5, kNewLayerAmplitude);
    s.BindInt(6, 0);
    s.BindInt(7, kNewLayerBackBrightness);
    s.BindInt(8, 0);
    return InsertRow(s);
}

bool KeyboardDB::GetMusicLayer(int layerId, MusicLayerInfo& layer) {
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, "SELECT * FROM t_musiclayer_data WHERE layer_id = ?");
    s.BindInt(1, layerId);
    if (s.Step() != kSQLiteRow) {
        return false;
    }
    layer = ReadMusicLayer(s);
    return true;
}

bool KeyboardDB::UpdateMusicLayer(const MusicLayerInfo& layer) {
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, "UPDATE t_musiclayer_data SET deviceindex = ?, foremode = ?, "
                          "fore_amplitude = ?, backmode = ?, backb_right = ? WHERE layer_id = ?");
    s.BindInt(1, layer.deviceindex);
    s.BindInt(2, layer.foremode);
    s.BindInt(3, layer.fore_amplitude);
    s.BindInt(4, layer.backmode);
    s.BindInt(5, layer.backb_right);
    s.BindInt(6, kMusicLayerId);
    return IsWriteOk(s.Step());
}

bool KeyboardDB::SelectMusicLayer() {
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, "UPDATE t_musiclayer_data SET sel = ? WHERE profile = ?");
    s.BindInt(1, 0);
    s.BindInt(2, kMusicProfile);
    s.Step();
    m_database.Prepare(s,
                       "UPDATE t_musiclayer_data SET sel = ? WHERE profile = ? AND layer_id = ?");
    s.BindInt(1, 1);
    s.BindInt(2, kMusicProfile);
    s.BindInt(3, kMusicLayerId);
    return IsWriteOk(s.Step());
}

int KeyboardDB::GetSelectedMusicLayer() {
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, "SELECT layer_id FROM t_musiclayer_data WHERE profile = ? AND sel = ?");
    s.BindInt(1, kMusicProfile);
    s.BindInt(2, 1);
    return s.Step() == kSQLiteRow ? s.ColumnInt(0) : 0;
}

} // namespace Quillon
