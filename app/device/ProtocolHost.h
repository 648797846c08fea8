// What the keyboard protocol needs from the main window: the window's
// current choices (profile, light mode, options, connection mode), the light
// page's keyboard view, and the page reloads after a factory reset. The main
// window implements it; tests implement it with a plain record.
//
// Threads: the getters are called from the task runner, the window thread
// (custom colour set) and the audio capture thread (music level); they read
// single values the window keeps. The keyboard view guards its colours with
// its own lock and repaints by invalidation. RefreshAfterFactoryReset is
// called on the task runner and hands its work to the window thread.
#pragma once

#include <cstdint>
#include <vector>

namespace Quillon {

// One key of a keyboard view and its colour (0x00BBGGRR).
struct KeyColour {
    int key_code = 0;
    std::uint32_t colour = 0;
};

class ProtocolHost {
public:
    virtual ~ProtocolHost() = default;

    // The key profile and layer the key assignments are read from.
    virtual int GetCurrentProfile() const = 0;
    virtual int GetCurrentLayer() const = 0;
    // The light profile (always 1) and the light page's current mode.
    virtual int GetLightProfile() const = 0;
    virtual int GetCurrentLightMode() const = 0;
    // The selected entry of the light page's option list.
    virtual int GetLightOption() const = 0;
    // 0 cable, 1 or 2 wireless, -1 none.
    virtual int GetConnectionMode() const = 0;
    // True while the light page is shown with music mode on: only then do
    // music levels go to the keyboard.
    virtual bool IsMusicLevelShown() const = 0;

    // The light page's keyboard view.
    virtual std::vector<KeyColour> GetLightViewColours() const = 0;
    virtual void SetLightViewColours(const std::vector<KeyColour>& colours) = 0;
    virtual void SetLightViewAllKeys(std::uint32_t colour) = 0;

    // Reloads the macro list, the profile list and the light page from the
    // database after the keyboard was reset.
    virtual void RefreshAfterFactoryReset() = 0;
};

} // namespace Quillon
