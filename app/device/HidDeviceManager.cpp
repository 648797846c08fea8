#include "app/device/HidDeviceManager.h"

#include <algorithm>

namespace Quillon {

namespace {

// Report id of the keyboard's 8-byte feature reports.
constexpr std::uint8_t kFeatureReportId = 0x07;
// Feature request that pages through the 28-byte answer of a block query.
constexpr std::uint8_t kBlockReadCommand = 0xFB;
constexpr std::uint8_t kBlockReadSub = 0x01;
constexpr int kBlockCount = 4;
constexpr int kBlockBytes = 7;
// Firmware version request: 07 FD 00 00 00 00 00 00.
constexpr std::uint8_t kFirmwareVersionCommand = 0xFD;
// A version reply carries the report id and the two version bytes.
constexpr int kVersionReplyBytes = 3;

} // namespace

struct HidDeviceManager::Entry {
    std::uint16_t vid = 0;
    std::uint16_t pid = 0;
    std::string path;
    std::wstring product; // never read from the device, so always empty
    std::unique_ptr<HidDevice> device;
    int device_type = 0;
    int mode = 0;
};

HidDeviceManager& HidDeviceManager::Instance() {
    static HidDeviceManager manager;
    return manager;
}

HidDeviceManager::HidDeviceManager(std::unique_ptr<HidBackend> backend, Clock& clock)
    : m_backend(std::move(backend)), m_clock(&clock) {}

HidDeviceManager::~HidDeviceManager() {
    CloseAll();
}

void HidDeviceManager::SetBackend(std::unique_ptr<HidBackend> backend) {
    std::lock_guard lock(m_lock);
    CloseAll();
    m_current = nullptr;
    m_backend = std::move(backend);
}

void HidDeviceManager::SetClock(Clock& clock) {
    std::lock_guard lock(m_lock);
    m_clock = &clock;
}

Clock& HidDeviceManager::GetClock() const {
    std::lock_guard lock(m_lock);
    return *m_clock;
}

std::unique_lock<std::recursive_mutex> HidDeviceManager::LockSequence() const {
    return std::unique_lock(m_lock);
}

void HidDeviceManager::AddRule(int vid, int pid, const std::wstring& product_name, int device_type,
                               int mode, const std::wstring& interface_text) {
    std::lock_guard lock(m_lock);
    m_rules.push_back({vid, pid, product_name, device_type, mode, interface_text});
}

std::vector<HidMatchRule> HidDeviceManager::GetRules() const {
    std::lock_guard lock(m_lock);
    return m_rules;
}

const HidMatchRule* HidDeviceManager::FirstRuleFor(int vid, int pid) const {
    for (const HidMatchRule& rule : m_rules) {
        if (rule.vid == vid && rule.pid == pid) {
            return &rule;
        }
    }
    return nullptr;
}

bool HidDeviceManager::RuleMatches(const HidInterfaceInfo& info) const {
    // The enumeration reads no product string, so only rules without a
    // product name can match.
    const std::wstring product;
    return std::any_of(m_rules.begin(), m_rules.end(), [&](const HidMatchRule& rule) {
        return rule.vid == info.vid && rule.pid == info.pid &&
               (rule.product_name.empty() || rule.product_name == product);
    });
}

void HidDeviceManager::Scan() {
    std::lock_guard lock(m_lock);
    if (!m_backend) {
        return;
    }
    for (const HidInterfaceInfo& info : m_backend->Enumerate()) {
        if (!RuleMatches(info)) {
            continue;
        }
        std::unique_ptr<HidDevice> device = m_backend->Open(info.path);
        if (!device) {
            continue;
        }
        if (info.usage_page != kVendorUsagePage || info.usage != kVendorUsage) {
            continue; // not a vendor interface: closed again at once
        }
        if (info.interface_number == kAuxInterfaceNumber) {
            m_aux = std::move(device); // a later one replaces (and closes) an earlier one
            continue;
        }
        auto entry = std::make_unique<Entry>();
        entry->vid = info.vid;
        entry->pid = info.pid;
        entry->path = info.path.substr(0, kMaxPathBytes);
        entry->device = std::move(device);
        if (const HidMatchRule* rule = FirstRuleFor(info.vid, info.pid)) {
            entry->device_type = rule->device_type;
            entry->mode = rule->mode;
        }
        m_interfaces.push_back(std::move(entry));
    }
}

void HidDeviceManager::CloseAll() {
    std::lock_guard lock(m_lock);
    if (!m_open) {
        return;
    }
    m_open = false;
    // The cached current interface dies with the list; forget it now rather
    // than leave it dangling until the next scan.
    m_current = nullptr;
    m_interfaces.clear();
    m_aux.reset();
}

void HidDeviceManager::SetOpen(bool open) {
    std::lock_guard lock(m_lock);
    m_open = open;
}

bool HidDeviceManager::IsOpen() const {
    std::lock_guard lock(m_lock);
    return m_open;
}

void HidDeviceManager::SetSelectedDeviceType(int device_type) {
    std::lock_guard lock(m_lock);
    m_selectedDeviceType = device_type;
    m_current = nullptr;
}

int HidDeviceManager::GetSelectedDeviceType() const {
    std::lock_guard lock(m_lock);
    return m_selectedDeviceType;
}

void HidDeviceManager::ResetCurrentInterface() {
    std::lock_guard lock(m_lock);
    m_current = nullptr;
}

bool HidDeviceManager::CollectInterfaces(std::vector<HidInterfaceSummary>& list) const {
    std::lock_guard lock(m_lock);
    if (!m_open || m_interfaces.empty()) {
        return false;
    }
    for (const auto& entry : m_interfaces) {
        if (m_selectedDeviceType == 0 || entry->device_type == m_selectedDeviceType) {
            list.push_back({entry->vid, entry->pid, entry->path, entry->device_type, entry->mode});
        }
    }
    return true;
}

int HidDeviceManager::BestMode() const {
    std::lock_guard lock(m_lock);
    auto has_mode = [&](int mode) {
        return std::any_of(m_interfaces.begin(), m_interfaces.end(), [&](const auto& entry) {
            return entry->device_type == m_selectedDeviceType && entry->mode == mode;
        });
    };
    // Cable first, then Bluetooth, then the receiver.
    for (int mode : {0, 2, 1}) {
        if (has_mode(mode)) {
            return mode;
        }
    }
    return -1;
}

int HidDeviceManager::FindInterface(int vid, int pid, const std::wstring& product_name,
                                    int mode) const {
    std::lock_guard lock(m_lock);
    for (std::size_t i = 0; i < m_interfaces.size(); ++i) {
        const Entry& entry = *m_interfaces[i];
        if (entry.vid != vid || entry.pid != pid || entry.mode != mode) {
            continue;
        }
        if (product_name.empty() || entry.product == product_name) {
            return static_cast<int>(i);
        }
        return -1; // the first interface of the mode decides
    }
    return -1;
}

HidDevice* HidDeviceManager::CurrentInterface() {
    std::lock_guard lock(m_lock);
    if (m_current) {
        return m_current;
    }
    for (int mode : {0, 1, 2}) {
        for (const auto& entry : m_interfaces) {
            if (entry->device_type == m_selectedDeviceType && entry->mode == mode) {
                m_current = entry->device.get();
                return m_current;
            }
        }
    }
    return nullptr;
}

bool HidDeviceManager::HasAuxInterface() const {
    std::lock_guard lock(m_lock);
    return m_aux != nullptr;
}

bool HidDeviceManager::CanTransfer() {
    return m_open && CurrentInterface() != nullptr;
}

bool HidDeviceManager::SendFeatureDelayed(const FeatureReport& report) {
    std::lock_guard lock(m_lock);
    if (!CanTransfer()) {
        return false;
    }
    m_clock->SleepMs(kFeatureDelayMs);
    return m_current->SendFeature(report) > 0;
}

bool HidDeviceManager::SendFeature(const FeatureReport& report) {
    std::lock_guard lock(m_lock);
    if (!CanTransfer()) {
        return false;
    }
    return m_current->SendFeature(report) > 0;
}

bool HidDeviceManager::QueryFeatureBlocks(FeatureBlocks& buffer) {
    std::lock_guard lock(m_lock);
    if (!CanTransfer()) {
        return false;
    }
    FeatureReport request{};
    std::copy_n(buffer.begin(), request.size(), request.begin());
    // A failed request is not fatal: the reads below still run.
    m_current->SendFeature(request);

    FeatureReport reply = request;
    for (int block = 0; block < kBlockCount; ++block) {
        reply[0] = kFeatureReportId;
        reply[1] = kBlockReadCommand;
        reply[2] = kBlockReadSub;
        m_clock->SleepMs(kFeatureDelayMs);
        const int got = m_current->GetFeature(reply);
        if (got <= 0) {
            continue; // this block of the buffer stays as it was
        }
        // Only the bytes the keyboard actually returned are taken; a short
        // reply must not smuggle the previous block's bytes into this one.
        const int received = std::min(got, static_cast<int>(reply.size())) - 1;
        std::copy_n(reply.begin() + 1, std::min(received, kBlockBytes),
                    buffer.begin() + block * kBlockBytes);
    }
    return true;
}

int HidDeviceManager::WriteOnce(HidDevice& device, const OutputReport& report) {
    const int length = std::max(static_cast<int>(report.size()), device.OutputReportLength());
    if (length == static_cast<int>(report.size())) {
        return device.Write(report);
    }
    std::vector<std::uint8_t> padded(static_cast<std::size_t>(length), 0);
    std::copy(report.begin(), report.end(), padded.begin());
    return device.Write(padded);
}

bool HidDeviceManager::WriteWithRetry(HidDevice& device, const OutputReport& report,
                                      int retry_delay_ms) {
    if (WriteOnce(device, report) > 0) {
        return true;
    }
    m_clock->SleepMs(retry_delay_ms);
    return WriteOnce(device, report) > 0;
}

bool HidDeviceManager::WritePayload(const Payload& payload) {
    std::lock_guard lock(m_lock);
    if (!CanTransfer()) {
        return false;
    }
    OutputReport report{}; // report id 0
    std::copy(payload.begin(), payload.end(), report.begin() + 1);
    return WriteWithRetry(*m_current, report, kPayloadRetryDelayMs);
}

bool HidDeviceManager::WriteReport(const OutputReport& report) {
    std::lock_guard lock(m_lock);
    if (!CanTransfer()) {
        return false;
    }
    return WriteWithRetry(*m_current, report, kReportRetryDelayMs);
}

bool HidDeviceManager::WriteAuxReport(const OutputReport& report) {
    std::lock_guard lock(m_lock);
    if (!m_open || !m_aux) {
        return false;
    }
    WriteWithRetry(*m_aux, report, kReportRetryDelayMs);
    return true;
}

bool HidDeviceManager::QueryFirmwareVersion(std::uint16_t& version) {
    std::lock_guard lock(m_lock);
    if (!CanTransfer()) {
        return false;
    }
    FeatureReport reply{kFeatureReportId, kFirmwareVersionCommand};
    m_clock->SleepMs(kFeatureDelayMs);
    if (m_current->SendFeature(reply) <= 0) {
        return false;
    }
    m_clock->SleepMs(kFeatureDelayMs);
    int got = m_current->GetFeature(reply);
    if (reply[0] != kFeatureReportId) {
        m_clock->SleepMs(kFeatureDelayMs);
        got = m_current->GetFeature(reply);
    }
    // A failed, short or foreign reply would leave the request bytes (or
    // garbage) in the buffer; it is not taken as a version.
    if (got < kVersionReplyBytes || reply[0] != kFeatureReportId) {
        return false;
    }
    version = static_cast<std::uint16_t>(reply[1] * 256 + reply[2]);
    return true;
}

} // namespace Quillon
