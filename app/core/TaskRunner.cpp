#include "app/core/TaskRunner.h"

namespace Quillon {

namespace {

// Live key colours only exist on family A keyboards.
constexpr int kLiveColourDeviceTypeLimit = 200;

} // namespace

TaskRunner::TaskRunner(TaskRunnerHost& host, const KeyboardDef& definition, Clock& clock)
    : m_host(host), m_definition(definition), m_clock(clock) {}

TaskRunner::~TaskRunner() {
    // The passes use this object's members: the thread must end first.
    StopAndJoin();
}

void TaskRunner::SetDevice(DeviceConnection& connection, KeyboardProtocol& protocol) {
    m_connection = &connection;
    m_protocol = &protocol;
}

void TaskRunner::PostTask(int code) {
    std::lock_guard lock(m_taskLock);
    m_tasks.push_back(code);
}

void TaskRunner::PostMacro(int macro_id) {
    std::lock_guard lock(m_macroLock);
    m_macros.push_back(macro_id);
}

std::vector<int> TaskRunner::GetPendingTasks() const {
    std::lock_guard lock(m_taskLock);
    return {m_tasks.begin(), m_tasks.end()};
}

bool TaskRunner::FrontTask(int& code) const {
    std::lock_guard lock(m_taskLock);
    if (m_tasks.empty()) {
        return false;
    }
    code = m_tasks.front();
    return true;
}

void TaskRunner::PopTask() {
    std::lock_guard lock(m_taskLock);
    if (!m_tasks.empty()) {
        m_tasks.pop_front();
    }
}

bool TaskRunner::PopMacro(int& macro_id) {
    std::lock_guard lock(m_macroLock);
    if (m_macros.empty()) {
        return false;
    }
    macro_id = m_macros.front();
    m_macros.pop_front();
    return true;
}

void TaskRunner::RunPass() {
    // The steady clock's sleeps are already fine-grained on Linux: there is
    // no timer resolution to raise around a pass.
    if (m_connection == nullptr || m_protocol == nullptr) {
        return; // not wired to the device yet: tasks wait in the queue
    }
    int code = 0;
    if (FrontTask(code)) {
        // The task stays queued while it runs.
        RunFirstStep(code);
        if (!m_connection->IsGateOpen()) {
            PopTask();
            return;
        }
        m_host.EnableMainWindow(false);
        RunSecondStep(code);
        m_host.EnableMainWindow(true);
        PopTask();
    }
    // Also after a task that emptied the queue: the live colours keep
    // flowing in the same pass.
    if (!FrontTask(code)) {
        if (!m_connection->IsDeviceOpen()) {
            return;
        }
        UpdateLiveColours();
    }
    int macro_id = 0;
    if (PopMacro(macro_id)) {
        m_host.PlayMacro(macro_id);
    }
}

void TaskRunner::RunFirstStep(int code) {
    switch (code) {
    case kTaskFirstConnection:
        if (m_firstConnectionDone) {
            return;
        }
        m_firstConnectionDone = true;
        m_connection->ScanDevices();
        m_connection->UpdateConnectionState();
        m_host.StartMusicVisualizer();
        break;
    case kTaskDeviceArrived:
    case kTaskDeviceRemoved:
        m_connection->ScanDevices();
        m_connection->UpdateConnectionState();
        break;
    case kTaskSoftwareVersion:
        m_host.CheckSoftwareVersion();
        break;
    default:
        break;
    }
}

void TaskRunner::RunSecondStep(int code) {
    bool wrote = true;
    switch (code) {
    case kTaskRefreshPages:
        RefreshPages();
        return;
    case kTaskWriteKeys:
        m_protocol->WriteKeyAssignments();
        break;
    case kTaskWriteLighting:
        m_protocol->WriteLighting();
        break;
    case kTaskWriteKeyColours:
        m_protocol->WriteCustomKeyColours();
        break;
    case kTaskFactoryReset:
        m_protocol->FactoryReset();
        break;
    case kTaskFirmwareVersion:
        m_host.CheckFirmwareVersion();
        return;
    case kTaskSoftwareUpdate:
        m_host.DownloadSoftwareUpdate();
        return;
    case kTaskFirmwareDownload:
        m_host.DownloadFirmwareUpdate();
        return;
    case kTaskFirmwareTool:
        m_host.StartFirmwareTool();
        return;
    default:
        wrote = false; // the other codes only pass through the gate
        break;
    }
    if (wrote) {
        m_host.CloseBusyDialog();
        m_clock.SleepMs(kAfterWriteDelayMs);
    }
}

void TaskRunner::RefreshPages() {
    const unsigned flags = m_definition.page_flags;
    if ((flags & KeyboardDef::kPageMacro) != 0) {
        m_host.RefreshMacroList();
    }
    if ((flags & KeyboardDef::kPageKeys) != 0) {
        m_host.RefreshKeyPages();
    }
    if ((flags & KeyboardDef::kPageLight) != 0) {
        m_host.RefreshLightPage();
    }
}

void TaskRunner::UpdateLiveColours() {
    if (!m_host.IsMainWindowVisible() || !m_host.IsLightPageCurrent() ||
        m_definition.current_device_type >= kLiveColourDeviceTypeLimit) {
        return;
    }
    const unsigned flags = m_host.GetLightModeFlags();
    if ((flags & (TaskRunnerHost::kMusicColours | TaskRunnerHost::kScreenColours)) == 0) {
        return;
    }
    m_host.UpdateLiveKeyColours((flags & TaskRunnerHost::kScreenColours) != 0);
    // Sent only on cable and when some key is lit.
    m_protocol->StreamKeyColours();
}

} // namespace Quillon
