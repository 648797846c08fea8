// Resources compiled into the program or into the toolkit (images, fonts),
// found by numeric id and type ("PNG", "ttf"), as the toolkit's first system
// kept them inside its executables. The toolkit registers its own at first
// use; the program registers its own before creating windows.
//
// Threads: any; the table is under a lock and entries are never removed, so
// the bytes handed out stay valid for the process.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace VellumUI {

class Resources {
public:
    Resources() = delete;

    // Keeps a copy of `bytes`; a second registration of the same key
    // replaces nothing and returns false.
    static bool Register(bool program, unsigned id, const std::wstring& type,
                         std::span<const std::uint8_t> bytes);
    // Empty when absent. Type comparison ignores case ("PNG" = "png").
    static std::span<const std::uint8_t> Find(bool program, unsigned id, const std::wstring& type);
    // Registers the toolkit's embedded resources once.
    static void RegisterToolkitResources();
};

} // namespace VellumUI
