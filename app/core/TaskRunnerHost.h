// The main window's side of the task runner: the window operations a task
// needs (disable and enable the window, close the busy dialog, refresh the
// pages), the work of other subsystems the task table starts (version checks,
// updates, the music visualizer, macro playback) and the light page's state
// for the live key colours. The main window implements it.
//
// Threads: every call comes from the task runner's thread. Window work is
// handed to the window thread (EnableWindow, posting); the rest runs on the
// calling thread.
#pragma once

namespace Quillon {

class TaskRunnerHost {
public:
    // Light page feature bits that make the keys show live colours.
    static constexpr unsigned kMusicColours = 0x200;
    static constexpr unsigned kScreenColours = 0x400;

    virtual ~TaskRunnerHost() = default;

    // ---- window ----
    virtual void EnableMainWindow(bool enable) = 0;
    // Closes the busy dialog with DoOK when one is shown.
    virtual void CloseBusyDialog() = 0;
    virtual bool IsMainWindowVisible() const = 0;

    // ---- page refresh (task 5) ----
    virtual void RefreshMacroList() = 0;
    // The profile list and the key page, then the software key map.
    virtual void RefreshKeyPages() = 0;
    // The light page and the music layers.
    virtual void RefreshLightPage() = 0;

    // ---- live key colours ----
    virtual bool IsLightPageCurrent() const = 0;
    // Feature bits of the light page's current mode.
    virtual unsigned GetLightModeFlags() const = 0;
    // Sets every key of the light page's keyboard view from the screen
    // colour grid (`screen`) or the music colour table, and redraws it.
    virtual void UpdateLiveKeyColours(bool screen) = 0;

    // ---- other subsystems ----
    virtual void StartMusicVisualizer() = 0;   // once, after the first connection
    virtual void CheckSoftwareVersion() = 0;   // task 12
    virtual void CheckFirmwareVersion() = 0;   // task 13
    virtual void DownloadSoftwareUpdate() = 0; // task 14
    virtual void DownloadFirmwareUpdate() = 0; // task 15
    virtual void StartFirmwareTool() = 0;      // task 16
    // Plays a macro through the virtual HID device.
    virtual void PlayMacro(int macro_id) = 0;
};

} // namespace Quillon
