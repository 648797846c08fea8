// The background task runner: one worker thread that takes one queued task
// per 16 ms pass, in order, and between tasks keeps the live key colours
// flowing and plays queued macros. Device tasks pass only through the
// connection gate (a device open and a mode matched); without a keyboard
// they are dropped silently.
//
// Ownership: the main window owns it for the whole run and stops it at
// shutdown. Threads: PostTask from the window thread (and the runner itself),
// PostMacro from the key filter's monitor thread; each queue has a mutex held
// only to append, read or remove its front, never while a task runs. Passes
// run on the worker thread; tests call RunPass directly.
#pragma once

#include <deque>
#include <mutex>
#include <vector>

#include "app/core/CThreadBasic.h"
#include "app/core/TaskRunnerHost.h"
#include "app/device/Clock.h"
#include "app/device/DeviceConnection.h"
#include "app/device/KeyboardDef.h"
#include "app/device/KeyboardProtocol.h"
#include "app/device/TaskPoster.h"

namespace Quillon {

class TaskRunner final : public CThreadBasic, public TaskPoster {
public:
    // Pause after a device write, before the window is enabled again.
    static constexpr int kAfterWriteDelayMs = 100;

    // `connection` and `protocol` are set later by the window (SetDevice),
    // since they need the runner as their task poster.
    TaskRunner(TaskRunnerHost& host, const KeyboardDef& definition, Clock& clock = SystemClock());
    ~TaskRunner() override;

    void SetDevice(DeviceConnection& connection, KeyboardProtocol& protocol);

    void PostTask(int code) override;
    // Queues a macro for playback through the virtual HID device.
    void PostMacro(int macro_id);
    std::vector<int> GetPendingTasks() const;

    // One pass of the worker.
    void RunPass();

protected:
    void Run() override { RunPass(); }

private:
    bool FrontTask(int& code) const;
    void PopTask();
    bool PopMacro(int& macro_id);
    // The part of a task that runs whether the gate is open or not.
    void RunFirstStep(int code);
    // The part that runs only through the gate, with the window disabled.
    void RunSecondStep(int code);
    void RefreshPages();
    void UpdateLiveColours();

    TaskRunnerHost& m_host;
    const KeyboardDef& m_definition;
    Clock& m_clock;
    DeviceConnection* m_connection = nullptr; // owned by the window
    KeyboardProtocol* m_protocol = nullptr;   // owned by the window

    mutable std::mutex m_taskLock;
    std::deque<int> m_tasks;
    std::mutex m_macroLock;
    std::deque<int> m_macros;
    bool m_firstConnectionDone = false; // worker thread only
};

} // namespace Quillon
