#include "toolkit/core/Fonts.h"

#include "toolkit/platform/Utf.h"

#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <unistd.h>
#include <vector>

namespace VellumUI {

namespace {

std::mutex& FontLock() {
    static std::mutex lock;
    return lock;
}

// Pango caches what fontconfig knew when its font map was made.
void NotifyFontMap() {
    PangoFontMap* map = pango_cairo_font_map_get_default();
    if (PANGO_IS_FC_FONT_MAP(map)) {
        pango_fc_font_map_config_changed(PANGO_FC_FONT_MAP(map));
    }
}

// Adds every face of `path` to the process's application fonts, and again
// renamed to `family` when one is given. Returns the family of the first
// face as registered.
std::string AddFaces(const std::string& path, const std::string& family) {
    FcConfig* config = FcConfigGetCurrent();
    const auto* file = reinterpret_cast<const FcChar8*>(path.c_str());
    if (!FcConfigAppFontAddFile(config, file)) {
        return {};
    }
    int count = 0;
    std::string first;
    FcFontSet* appFonts = FcConfigGetFonts(config, FcSetApplication);
    for (int index = 0; index == 0 || index < count; ++index) {
        FcPattern* pattern = FcFreeTypeQuery(file, index, nullptr, &count);
        if (!pattern) {
            break;
        }
        if (!family.empty()) {
            FcPatternDel(pattern, FC_FAMILY);
            FcPatternAddString(pattern, FC_FAMILY,
                               reinterpret_cast<const FcChar8*>(family.c_str()));
        }
        FcChar8* name = nullptr;
        if (first.empty() && FcPatternGetString(pattern, FC_FAMILY, 0, &name) == FcResultMatch) {
            first = reinterpret_cast<const char*>(name);
        }
        if (family.empty() || !appFonts || !FcFontSetAdd(appFonts, pattern)) {
            FcPatternDestroy(pattern);
        }
    }
    NotifyFontMap();
    return first;
}

} // namespace

bool Fonts::AddFile(const std::wstring& face, const std::wstring& path) {
    std::lock_guard guard(FontLock());
    std::error_code error;
    if (!std::filesystem::is_regular_file(std::filesystem::path(WideToUtf8(path)), error)) {
        return false;
    }
    // Every window registers the font folder's face when it starts: add
    // the file once, not once more for each window and popup.
    static std::set<std::pair<std::wstring, std::wstring>> registered;
    if (registered.count({path, face})) {
        return true;
    }
    if (AddFaces(WideToUtf8(path), WideToUtf8(face)).empty()) {
        return false;
    }
    registered.insert({path, face});
    return true;
}

std::wstring Fonts::AddMemory(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) {
        return {};
    }
    std::lock_guard guard(FontLock());
    static std::map<const std::uint8_t*, std::wstring> registered;
    if (auto it = registered.find(bytes.data()); it != registered.end()) {
        return it->second;
    }
    // fontconfig reads faces from files only: the bytes go to a private
    // file that lives as long as the process may draw with it.
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string pattern =
        std::string(runtime && *runtime ? runtime : "/tmp") + "/vellumui-font-XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) {
        return {};
    }
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
        if (n <= 0) {
            break;
        }
        written += static_cast<size_t>(n);
    }
    close(fd);
    std::wstring family;
    if (written == bytes.size()) {
        family = Utf8ToWide(AddFaces(pattern, {}));
    }
    if (family.empty()) {
        unlink(pattern.c_str());
        return {};
    }
    // Removed at exit; fontconfig opens it lazily while drawing.
    static std::vector<std::string> files;
    if (files.empty()) {
        std::atexit([] {
            for (const auto& f : files) {
                unlink(f.c_str());
            }
        });
    }
    files.push_back(pattern);
    registered[bytes.data()] = family;
    return family;
}

bool Fonts::HasFamily(const std::wstring& family) {
    const std::string name = WideToUtf8(family);
    PangoFontMap* map = pango_cairo_font_map_get_default();
    PangoFontFamily** families = nullptr;
    int count = 0;
    pango_font_map_list_families(map, &families, &count);
    bool found = false;
    for (int i = 0; i < count && !found; ++i) {
        found = g_ascii_strcasecmp(pango_font_family_get_name(families[i]), name.c_str()) == 0;
    }
    g_free(families);
    return found;
}

} // namespace VellumUI
