#include "app/device/DeviceConnection.h"

#include <algorithm>
#include <cwctype>

#include "app/device/DeviceMonitor.h"

namespace Quillon {

namespace {

// Bluetooth HID-over-GATT service: its notifications are not the keyboard's.
constexpr wchar_t kGattHidService[] = L"00001812-0000-1000-8000-00805F9B34FB";
constexpr wchar_t kDevicePicture[] = L"icon\\icon_keyboard.png";

// Device type ranges of the two families.
constexpr int kFamilyALast = 200;
constexpr int kFamilyBFirst = 201;
constexpr int kFamilyBLast = 299;

// Tab bar items and pages.
constexpr int kFirstDeviceTab = 1;
constexpr int kLastDeviceTab = 4;
constexpr int kHomePage = 0;
constexpr int kKeyPage = 1;

bool IsWireless(int mode) {
    return mode == 1 || mode == 2;
}

std::wstring UpperCase(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towupper(c)); });
    return text;
}

} // namespace

DeviceConnection::DeviceConnection(HidDeviceManager& manager, KeyboardDef& definition,
                                   ConnectionHost& host, TaskPoster& tasks)
    : m_manager(manager), m_definition(definition), m_host(host), m_tasks(tasks) {}

int DeviceConnection::GetPresent(std::size_t index) const {
    std::lock_guard lock(m_presentLock);
    return index < m_definition.mode_list.size() ? m_definition.mode_list[index].present : 0;
}

void DeviceConnection::ScanDevices() {
    m_modeMatched = false;
    {
        // One sequence, so that no transfer slips in between close and scan.
        auto sequence = m_manager.LockSequence();
        m_manager.CloseAll();
        m_manager.Scan();
        m_manager.SetOpen(true);
        m_manager.SetSelectedDeviceType(0);
    }
    std::vector<HidInterfaceSummary> interfaces;
    m_manager.CollectInterfaces(interfaces);
    m_deviceOpen = !interfaces.empty();

    // The marks are set under the lock, the window is told after it: the
    // window thread takes the same lock in OnDeviceChange.
    std::vector<int> matched_types;
    {
        std::lock_guard lock(m_presentLock);
        for (DeviceRecord& record : m_definition.mode_list) {
            if (m_manager.FindInterface(record.vid, record.pid, record.name, record.mode) < 0) {
                continue;
            }
            m_modeMatched = true;
            record.present = 1;
            matched_types.push_back(record.device_type);
        }
    }
    m_host.ResetAllDeviceStates();
    for (int device_type : matched_types) {
        m_host.SetDeviceState(device_type, 1);
    }
}

void DeviceConnection::UpdateConnectionState() {
    m_host.CloseDialogsAndPopups();
    if (!m_deviceOpen) {
        ShowDisconnected();
        return;
    }
    m_manager.SetSelectedDeviceType(kCommandDeviceType);
    const int mode = m_manager.BestMode();
    m_connectionMode = mode;
    const int device_type = m_definition.current_device_type;
    m_host.SetStatusText(kTextConnected);
    SetUpPages(device_type, mode);

    if (IsWireless(mode) && !m_modeMatched) {
        m_host.SetStatusText(kTextDisconnected);
        m_host.SelectPage(kHomePage);
        m_host.SetDeviceControlsVisible(false);
        m_host.SetDeviceName(0);
        m_host.SetDevicePicture(L"");
        return;
    }
    m_host.SetDeviceControlsVisible(true);
    m_host.SetDeviceName(kTextDeviceName);
    m_host.SetDevicePicture(kDevicePicture);
    if (device_type <= kFamilyBLast) {
        m_host.SelectPage(kKeyPage);
    }
    m_tasks.PostTask(kTaskFirmwareVersion);
    m_tasks.PostTask(kTaskRefreshPages);
}

void DeviceConnection::SetUpPages(int device_type, int connection_mode) {
    if (device_type > kFamilyBLast) {
        return;
    }
    const bool family_b = device_type >= kFamilyBFirst;
    if (family_b) {
        m_definition.page_flags = 0;
    }
    for (int item = kFirstDeviceTab; item <= kLastDeviceTab; ++item) {
        m_host.SetTabItemVisible(item, true);
    }
    if (!family_b) {
        m_host.SelectTabItem(1);
        return;
    }
    m_host.SelectTabItem(IsWireless(connection_mode) ? 0 : 1);
    m_definition.page_flags = kFamilyBPageFlags;
    m_host.ShowFactoryResetButton();
    static_assert(kFamilyALast < kFamilyBFirst);
}

void DeviceConnection::ShowDisconnected() {
    m_connectionMode = -1;
    m_host.SetStatusText(kTextDisconnected);
    m_host.SelectPage(kHomePage);
    m_host.SetDeviceControlsVisible(false);
    m_host.SetDeviceName(0);
    m_host.SetDevicePicture(L"");
}

void DeviceConnection::OnDeviceChange(int event, const std::wstring& path) {
    if (event != kDeviceArrival && event != kDeviceRemoveComplete) {
        return;
    }
    const std::wstring upper = UpperCase(path);
    if (upper.find(kGattHidService) != std::wstring::npos) {
        return;
    }
    std::lock_guard lock(m_presentLock);
    for (DeviceRecord& record : m_definition.mode_list) {
        if (upper.find(record.hid_interface) == std::wstring::npos) {
            continue;
        }
        if (event == kDeviceArrival) {
            m_tasks.PostTask(kTaskDeviceArrived);
            return;
        }
        if (record.present == 1) {
            record.present = 0;
            m_tasks.PostTask(kTaskDeviceRemoved);
            return;
        }
    }
}

} // namespace Quillon
