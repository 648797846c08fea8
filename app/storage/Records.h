// In-memory rows of the keyboard database. Each record mirrors one table,
// field by field; integers are the stored 32-bit values and texts are held
// wide (stored as UTF-8 in the file). A fresh record is all zeros and empty
// texts. Plain values: any thread may own a copy.
#pragma once

#include <string>

namespace Quillon {

// t_profile_data
struct ProfileInfo {
    int profile = 0;   // profile id
    std::wstring name; // display name as stored
    int status = 0;    // 1 = the active profile
    std::wstring app;  // always written empty
    int type = 0;      // always written 0
};

// t_key_macro_data: one key assignment
struct KeyMacroInfo {
    int key_id = 0;  // row id
    int profile = 0; // key profile the assignment belongs to
    int fn_layer = 0;
    int key_code = 0;
    int layout_value = 0; // carried through unchanged
    std::wstring layout_desc;
    int macro_type = 0; // kind of assignment
    int macro_value = 0;
    int macro_value2 = 0;
    int macro_value3 = 0;
    std::wstring macro_desc; // description shown for the assignment
};

// t_key_otherdata: the extra texts of program, website, text and profile
// assignments; the row id is kept in the assignment's macro_value.
struct KeyOtherInfo {
    std::wstring macro_desc; // text entered by the user
    std::wstring param;      // program path, or a decimal number
    int type = 0;            // assignment kind the row belongs to
};

// t_macro_data
struct MacroInfo {
    int macro_id = 0;
    std::wstring name;
    int link_count = 0;
    int play_times = 0;
    int delay_type = 0; // 1, 2 or 3
    int delay_time = 0; // fixed delay, milliseconds
};

// t_macrorecord: one step of a macro
struct MacroRecordInfo {
    int record_id = 0;
    int macro_id = 0;
    int type = 0;         // step kind
    int record_index = 0; // position in the macro, from 0
    int value = 0;        // virtual-key code
    int delay_time = 0;   // delay after the step, milliseconds
    std::wstring desc;    // key name shown
};

// t_light_data: the settings of one light mode
struct LightInfo {
    int light_id = 0;
    int profile = 0;
    std::wstring name;
    int mode = 0;
    int brightness = 0;
    int speed = 0;
    int direction = 0;
    int colorful = 0;
    int colorindex = 0;
    int color_value = 0;
    int config_func = 0;
    int reserved = 0;
    int status = 0; // 1 = the active mode
};

// t_key_light_data: the colour of one key
struct KeyLightInfo {
    int keylight_id = 0;
    int profile = 0;
    int light_id = 0; // light mode the colour belongs to
    int key_code = 0;
    int key_rgb = 0;
};

// t_musiclayer_data: one music visualizer layer
struct MusicLayerInfo {
    int layer_id = 0;
    int profile = 0;
    std::wstring name;
    int deviceindex = 0;
    int foremode = 0;
    int fore_amplitude = 0;
    int backmode = 0;
    int backb_right = 0;
    int sel = 0; // 1 = the selected layer
};

} // namespace Quillon
