// Task codes of the background task runner, and the one operation device code
// needs from it: appending a code to the task queue. The task runner
// implements it; any thread may post.
#pragma once

namespace Quillon {

enum TaskCode : int {
    kTaskFirstConnection = 1,   // once per run: scan, state update, visualizer start
    kTaskDeviceArrived = 2,     // scan and state update
    kTaskDeviceRemoved = 3,     // scan and state update
    kTaskModelChanged = 4,      // nothing beyond the gate
    kTaskRefreshPages = 5,      // reload the pages after a connection
    kTaskWriteKeys = 6,         // key assignments to the keyboard
    kTaskWriteLighting = 7,     // light settings to the keyboard
    kTaskWriteKeyColours = 8,   // per-key colours to the keyboard
    kTaskFactoryReset = 10,     // factory reset of the keyboard
    kTaskSoftwareVersion = 12,  // software version check
    kTaskFirmwareVersion = 13,  // firmware version check
    kTaskSoftwareUpdate = 14,   // download and start the software update
    kTaskFirmwareDownload = 15, // download the firmware update
    kTaskFirmwareTool = 16,     // start the firmware update tool
};

class TaskPoster {
public:
    virtual ~TaskPoster() = default;
    virtual void PostTask(int code) = 0;
};

} // namespace Quillon
