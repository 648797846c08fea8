// Process-wide font registration for the toolkit's text drawing (Pango over
// fontconfig): private font files registered under a given family name, and
// font bytes from the toolkit's resources made available to the process.
//
// Threads: any; registration is serialised by a lock.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace VellumUI {

class Fonts {
public:
    Fonts() = delete;

    // Registers the faces of `path` under the family `face` for this
    // process; false when the file holds no font. The same file and face
    // twice register once.
    static bool AddFile(const std::wstring& face, const std::wstring& path);
    // Registers font bytes for this process under their own family name,
    // which is returned (empty on failure). The same bytes twice register
    // once.
    static std::wstring AddMemory(std::span<const std::uint8_t> bytes);
    // True when Pango knows a family of that name (case-insensitive).
    static bool HasFamily(const std::wstring& family);
};

} // namespace VellumUI
