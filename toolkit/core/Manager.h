// Process-wide toolkit state: the installation's device name, the program
// folder, the skin folder and the font the toolkit draws with. Reached
// through static accessors; the values are set once at start-up on the UI
// thread and read afterwards from any thread (each accessor takes a short
// lock, so a late change is never torn).
#pragma once

#include <string>

namespace VellumUI {

class Manager {
public:
    Manager() = delete;

    // The installation's identity ("name" of config.xml's software element).
    static void SetDeviceName(const std::wstring& name);
    static std::wstring GetDeviceName();
};

} // namespace VellumUI
