#include "sim/SimKeyboard.h"

#include <algorithm>
#include <cstdio>

namespace Quillon {

namespace {

const char* KindName(SimTransferKind kind) {
    switch (kind) {
    case SimTransferKind::SetFeature:
        return "set_feature";
    case SimTransferKind::GetFeature:
        return "get_feature";
    case SimTransferKind::Write:
        return "write";
    }
    return "write";
}

// A transfer is logged and answered only on the two vendor interfaces; the
// others are never written by the program.
const char* RoleName(SimRole role) {
    return role == SimRole::Aux ? "aux" : "main";
}

// "<ms> <kind> <interface> <hex bytes>" with three decimals of milliseconds.
// The stamp is built from integers: a floating-point format would follow the
// program's numeric locale and could write a decimal comma.
std::string LogLine(const SimTransfer& transfer) {
    const std::int64_t us = std::max<std::int64_t>(transfer.time_us, 0);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%lld.%03lld", static_cast<long long>(us / 1000),
                  static_cast<long long>(us % 1000));
    std::string line = stamp;
    line += ' ';
    line += KindName(transfer.kind);
    line += ' ';
    line += RoleName(transfer.role);
    for (std::uint8_t byte : transfer.bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02x", byte);
        line += hex;
    }
    return line;
}

} // namespace

SimKeyboard::SimKeyboard(SimKeyboardDesc desc, Clock& clock)
    : m_desc(std::move(desc)), m_clock(clock), m_startUs(clock.NowUs()),
      m_firmwareVersion(m_desc.firmware_version) {}

SimKeyboard::~SimKeyboard() = default;

bool SimKeyboard::SetLogFile(const std::string& path) {
    std::lock_guard lock(m_lock);
    if (m_log.is_open()) {
        m_log.close();
    }
    if (path.empty()) {
        return true;
    }
    m_log.open(path, std::ios::out | std::ios::app);
    return m_log.is_open();
}

bool SimKeyboard::Attach(int mode) {
    auto found = std::find_if(m_desc.modes.begin(), m_desc.modes.end(),
                              [&](const SimModeDesc& desc) { return desc.mode == mode; });
    if (found == m_desc.modes.end()) {
        return false;
    }
    if (IsAttached()) {
        Detach();
    }
    std::vector<Interface> arrived;
    {
        std::lock_guard lock(m_lock);
        m_attachedMode = mode;
        ++m_generation;
        m_interfaces.clear();
        const std::string hid_id = SimHidId(*found);
        for (const SimInterfaceDesc& desc : found->interfaces) {
            // Like the kernel: <parent>/<usb interface>/<bus:vid:pid.serial>/hidraw/hidrawN.
            char serial[8];
            std::snprintf(serial, sizeof serial, ".%04X", m_nextHidSerial & 0xFFFF);
            std::string path = found->parent_path;
            if (desc.interface_number >= 0) {
                path += "/" + found->parent_path.substr(found->parent_path.rfind('/') + 1) + ":1." +
                        std::to_string(desc.interface_number);
            }
            path += "/" + hid_id + serial + "/hidraw/hidraw" + std::to_string(m_nextHidSerial);
            ++m_nextHidSerial;
            m_interfaces.push_back({path, found->vid, found->pid, desc});
        }
        arrived = m_interfaces;
    }
    NotifyHotplug(true, arrived);
    return true;
}

void SimKeyboard::Detach() {
    std::vector<Interface> removed;
    {
        std::lock_guard lock(m_lock);
        if (m_attachedMode < 0) {
            return;
        }
        m_attachedMode = -1;
        ++m_generation;
        removed.swap(m_interfaces);
        // A half-received macro image is lost with the power.
        m_nextImagePacket = -1;
        m_wirelessResetArmed = false;
    }
    NotifyHotplug(false, removed);
}

bool SimKeyboard::IsAttached() const {
    std::lock_guard lock(m_lock);
    return m_attachedMode >= 0;
}

int SimKeyboard::AttachedMode() const {
    std::lock_guard lock(m_lock);
    return m_attachedMode;
}

std::vector<SimKeyboard::Interface> SimKeyboard::Interfaces() const {
    std::lock_guard lock(m_lock);
    return m_interfaces;
}

int SimKeyboard::AddHotplugListener(HotplugListener listener) {
    std::lock_guard lock(m_lock);
    const int id = m_nextListenerId++;
    m_listeners.emplace(id, std::move(listener));
    return id;
}

void SimKeyboard::RemoveHotplugListener(int id) {
    std::lock_guard lock(m_lock);
    m_listeners.erase(id);
}

void SimKeyboard::NotifyHotplug(bool arrived, const std::vector<Interface>& interfaces) {
    std::vector<HotplugListener> listeners;
    {
        std::lock_guard lock(m_lock);
        for (const auto& [id, listener] : m_listeners) {
            listeners.push_back(listener);
        }
    }
    for (const Interface& interface : interfaces) {
        for (const HotplugListener& listener : listeners) {
            listener(arrived, interface.path);
        }
    }
}

void SimKeyboard::SetFirmwareVersion(std::uint16_t version) {
    std::lock_guard lock(m_lock);
    m_firmwareVersion = version;
}

void SimKeyboard::InjectFault(SimTransferKind kind, SimFault fault, int skip, int count) {
    std::lock_guard lock(m_lock);
    m_faults.push_back({kind, fault, skip, count});
}

bool SimKeyboard::TakeFault(SimTransferKind kind, SimFault& fault) {
    // Every fault of this kind counts the transfer; the first one whose
    // skip count has run out applies to it.
    auto firing = m_faults.end();
    for (auto it = m_faults.begin(); it != m_faults.end(); ++it) {
        if (it->kind != kind) {
            continue;
        }
        if (it->skip > 0) {
            --it->skip;
        } else if (firing == m_faults.end()) {
            firing = it;
        }
    }
    if (firing == m_faults.end()) {
        return false;
    }
    fault = firing->fault;
    if (--firing->count <= 0) {
        m_faults.erase(firing);
    }
    return true;
}

SimKeyboardState SimKeyboard::State() const {
    std::lock_guard lock(m_lock);
    return m_state;
}

std::vector<SimTransfer> SimKeyboard::Transfers() const {
    std::lock_guard lock(m_lock);
    return m_transfers;
}

void SimKeyboard::ClearTransfers() {
    std::lock_guard lock(m_lock);
    m_transfers.clear();
}

void SimKeyboard::Record(SimTransferKind kind, SimRole role, std::span<const std::uint8_t> bytes,
                         int result) {
    SimTransfer transfer{m_clock.NowUs() - m_startUs, kind, role,
                         std::vector<std::uint8_t>(bytes.begin(), bytes.end()), result};
    if (m_log.is_open()) {
        m_log << LogLine(transfer) << '\n';
        m_log.flush();
    }
    m_transfers.push_back(std::move(transfer));
}

int SimKeyboard::Open(const std::string& path, int& generation, SimRole& role) const {
    std::lock_guard lock(m_lock);
    for (const Interface& interface : m_interfaces) {
        if (interface.path == path) {
            generation = m_generation;
            role = interface.desc.role;
            return 0;
        }
    }
    return -1;
}

int SimKeyboard::Write(int generation, SimRole role, std::span<const std::uint8_t> report) {
    std::lock_guard lock(m_lock);
    if (generation != m_generation || m_attachedMode < 0) {
        return -1; // the interface is gone
    }
    SimFault fault{};
    int result = static_cast<int>(report.size());
    if (TakeFault(SimTransferKind::Write, fault)) {
        result = fault == SimFault::NothingWritten ? 0 : -1;
    }
    Record(SimTransferKind::Write, role, report, result);
    if (result > 0) {
        OnWrite(role, report);
    }
    return result;
}

int SimKeyboard::SendFeature(int generation, SimRole role, std::span<const std::uint8_t> report) {
    std::lock_guard lock(m_lock);
    if (generation != m_generation || m_attachedMode < 0) {
        return -1;
    }
    SimFault fault{};
    int result = static_cast<int>(report.size());
    if (TakeFault(SimTransferKind::SetFeature, fault)) {
        result = fault == SimFault::NothingWritten ? 0 : -1;
    }
    Record(SimTransferKind::SetFeature, role, report, result);
    if (result > 0 && role == SimRole::Main) {
        OnFeature(report);
    }
    return result;
}

int SimKeyboard::GetFeature(int generation, SimRole role, std::span<std::uint8_t> report) {
    std::lock_guard lock(m_lock);
    if (generation != m_generation || m_attachedMode < 0 || report.empty()) {
        return -1;
    }
    SimFault fault{};
    const bool faulty = TakeFault(SimTransferKind::GetFeature, fault);
    std::vector<std::uint8_t> reply(report.size(), 0);
    reply[0] = report[0];
    int length = AnswerFeature(reply);
    if (faulty && (fault == SimFault::Error || fault == SimFault::NothingWritten)) {
        // The keyboard answered, but the reply was lost on the way.
        Record(SimTransferKind::GetFeature, role, {}, -1);
        return -1;
    }
    if (faulty && fault == SimFault::WrongReportId) {
        reply[0] = 0x05;
    }
    if (faulty && fault == SimFault::ShortReply) {
        length = std::min(length, 3);
    }
    std::copy_n(reply.begin(), length, report.begin());
    Record(SimTransferKind::GetFeature, role, std::span(reply).first(length), length);
    return length;
}

int SimKeyboard::OutputReportLength() const {
    return m_desc.output_report_length;
}

} // namespace Quillon
