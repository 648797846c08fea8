// The window operations the connection code drives: the device list's marks,
// the status line, the tab bar, the device name and picture, the pages. The
// main window implements it over its controls.
//
// Threads: called on the task runner's thread during scans and state
// updates; implementations hand the work to the window thread (posting, or
// the platform's thread-safe show/enable calls).
#pragma once

#include <string>

namespace Quillon {

class ConnectionHost {
public:
    virtual ~ConnectionHost() = default;

    // Device list control: clears every model's connected mark, or sets one.
    virtual void ResetAllDeviceStates() = 0;
    virtual void SetDeviceState(int device_type, int state) = 0;

    // Closes the program's open dialogs and hides its popup windows.
    virtual void CloseDialogsAndPopups() = 0;
    // Status line: UI text by id (section "KB.DIALOG").
    virtual void SetStatusText(int ui_text_id) = 0;
    // Tab bar items 1..4 and the selected item.
    virtual void SetTabItemVisible(int item, bool visible) = 0;
    virtual void SelectTabItem(int item) = 0;
    // The factory-reset button (249) of the configuration page.
    virtual void ShowFactoryResetButton() = 0;
    // The page tabs and the device controls together.
    virtual void SetDeviceControlsVisible(bool visible) = 0;
    // Device name by UI text id (0 clears it) and picture by skin path
    // (empty clears it).
    virtual void SetDeviceName(int ui_text_id) = 0;
    virtual void SetDevicePicture(const std::wstring& picture) = 0;
    virtual void SelectPage(int page) = 0;
};

} // namespace Quillon
