// The representative commands of the command-line driver, each sent through
// the keyboard protocol from the database and the loaded layout, and checked
// against the memory of the simulated keyboard. Each prints what it did and
// returns false when the keyboard did not end up as the database says.
#pragma once

#include <ostream>

#include "app/device/KeyboardDef.h"
#include "app/device/KeyboardProtocol.h"
#include "app/storage/KeyboardDB.h"
#include "sim/ConsoleWindow.h"
#include "sim/SimKeyboard.h"

namespace Quillon {

struct DriverContext {
    std::ostream& out;
    const KeyboardDef& definition;
    KeyboardDB& database;
    KeyboardProtocol& protocol;
    ConsoleWindow& window;
    const SimKeyboard& keyboard;
};

// The layout's light records (made on first use, as the light page does),
// the selected one written, then the single colour mode in orange.
bool RunLightCommands(DriverContext& context);
// A colour for every key of the layout, stored and written as per-key colours.
bool RunKeyColourCommand(DriverContext& context);
// Caps Lock remapped to Left Ctrl and written as the key assignments.
bool RunRemapCommand(DriverContext& context);

} // namespace Quillon
