// The one object that finds the keyboard's vendor-defined HID interfaces
// (usage page 0xFF01, usage 1), keeps them open, decides which one commands go
// to, and moves the keyboard's two kinds of report: 8-byte feature reports
// and 65-byte output reports.
//
// Ownership: one per process through Instance(), created on first use and
// closed at exit; tests make their own. The manager owns its back end, the
// opened interfaces and the auxiliary interface.
//
// Threads: the task runner, the window thread and the audio capture thread
// all call it. One recursive mutex is held for the whole of every operation,
// pauses included, so no transfer runs while a scan closes the devices. A
// caller that sends several packets which must not be interleaved with other
// senders holds LockSequence() for the whole sequence.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/device/Clock.h"
#include "app/device/HidBackend.h"

namespace Quillon {

// One mode element of config.xml, as a match rule.
struct HidMatchRule {
    int vid = 0;
    int pid = 0;
    std::wstring product_name; // must equal the product string when not empty
    int device_type = 0;
    int mode = 0;
    std::wstring interface_text; // hid_interface; kept, not used for matching
};

// What CollectInterfaces reports about one opened vendor interface.
struct HidInterfaceSummary {
    std::uint16_t vid = 0;
    std::uint16_t pid = 0;
    std::string path;
    int device_type = 0;
    int mode = 0;
};

using FeatureReport = std::array<std::uint8_t, 8>;
using OutputReport = std::array<std::uint8_t, 65>;
using Payload = std::array<std::uint8_t, 64>;
using FeatureBlocks = std::array<std::uint8_t, 28>;

class HidDeviceManager {
public:
    // The vendor-defined interfaces the keyboard is reached through.
    static constexpr std::uint16_t kVendorUsagePage = 0xFF01;
    static constexpr std::uint16_t kVendorUsage = 0x0001;
    // The vendor interface with this number carries the live colour stream.
    static constexpr int kAuxInterfaceNumber = 3;
    // Longest platform path kept for an interface, in bytes.
    static constexpr std::size_t kMaxPathBytes = 1023;

    // Pauses of the transport, in milliseconds.
    static constexpr int kFeatureDelayMs = 16;      // before delayed sends and every feature read
    static constexpr int kPayloadRetryDelayMs = 32; // before the second try of a payload write
    static constexpr int kReportRetryDelayMs = 10;  // before the second try of a report write

    // The process-wide manager. It starts without a back end (enumeration
    // finds nothing) until the program's start-up installs one.
    static HidDeviceManager& Instance();

    explicit HidDeviceManager(std::unique_ptr<HidBackend> backend = nullptr,
                              Clock& clock = SystemClock());
    ~HidDeviceManager();
    HidDeviceManager(const HidDeviceManager&) = delete;
    HidDeviceManager& operator=(const HidDeviceManager&) = delete;

    // Replaces the back end; every open interface is closed first.
    void SetBackend(std::unique_ptr<HidBackend> backend);
    // The clock that times every pause; it must outlive the manager.
    void SetClock(Clock& clock);
    Clock& GetClock() const;

    // Holds the manager for a multi-packet sequence; the operations called
    // meanwhile from the same thread take the lock again.
    std::unique_lock<std::recursive_mutex> LockSequence() const;

    // ---- match table ----
    void AddRule(int vid, int pid, const std::wstring& product_name, int device_type, int mode,
                 const std::wstring& interface_text);
    std::vector<HidMatchRule> GetRules() const;

    // ---- discovery and state ----

    // Enumerates every HID interface and opens the vendor interfaces of the
    // rules' keyboards. The caller closes everything first and marks the
    // manager open afterwards.
    void Scan();
    // Closes every interface and the auxiliary interface; nothing when closed.
    void CloseAll();
    void SetOpen(bool open);
    bool IsOpen() const;
    // The device type commands go to; 0 = none chosen. Also forgets the
    // cached current interface.
    void SetSelectedDeviceType(int device_type);
    int GetSelectedDeviceType() const;
    void ResetCurrentInterface();

    // False when no interface is open; otherwise appends the interfaces of
    // the selected device type (all of them when none is selected).
    bool CollectInterfaces(std::vector<HidInterfaceSummary>& list) const;
    // 0, 2 or 1 when an interface of the selected type has that mode, in
    // that order of preference; -1 when none.
    int BestMode() const;
    // Index of the first interface with this vid, pid and mode whose product
    // string equals a non-empty product name; -1 when there is none.
    int FindInterface(int vid, int pid, const std::wstring& product_name, int mode) const;
    // The interface commands go to: the first of the selected type in mode
    // 0, then 1, then 2. Cached until the list or the selection changes.
    HidDevice* CurrentInterface();
    bool HasAuxInterface() const;

    // ---- transfers ----
    // Each fails without touching any device when the manager is closed or
    // its target interface is missing.

    // Waits 16 ms, then sends the feature report to the current interface.
    bool SendFeatureDelayed(const FeatureReport& report);
    bool SendFeature(const FeatureReport& report);
    // Sends the request in the first 8 bytes, then reads four 7-byte blocks
    // into the buffer.
    bool QueryFeatureBlocks(FeatureBlocks& buffer);
    // Writes report id 0 and the 64 bytes; one retry after 32 ms.
    bool WritePayload(const Payload& payload);
    // Writes the report (byte 0 = report id); one retry after 10 ms.
    bool WriteReport(const OutputReport& report);
    // As WriteReport on the auxiliary interface; true whenever it exists.
    bool WriteAuxReport(const OutputReport& report);
    // Reads the keyboard's firmware version.
    bool QueryFirmwareVersion(std::uint16_t& version);

private:
    struct Entry;

    const HidMatchRule* FirstRuleFor(int vid, int pid) const;
    bool RuleMatches(const HidInterfaceInfo& info) const;
    bool CanTransfer();
    // One write of a whole report, padded to the interface's report length.
    static int WriteOnce(HidDevice& device, const OutputReport& report);
    bool WriteWithRetry(HidDevice& device, const OutputReport& report, int retry_delay_ms);

    mutable std::recursive_mutex m_lock;
    std::unique_ptr<HidBackend> m_backend;
    Clock* m_clock;
    bool m_open = false;
    std::vector<std::unique_ptr<Entry>> m_interfaces;
    std::vector<HidMatchRule> m_rules;
    int m_selectedDeviceType = 0;
    HidDevice* m_current = nullptr; // points into m_interfaces
    std::unique_ptr<HidDevice> m_aux;
};

} // namespace Quillon
