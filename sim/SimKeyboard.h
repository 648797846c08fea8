// A firmware model of the Corvane Q400: it enumerates like the real keyboard
// in one connection mode at a time, takes the reports the program sends,
// keeps the keyboard state they produce, answers feature reads, and logs
// every transfer. It can be attached and detached at any time (hot-plug);
// interfaces opened before a detach stay dead afterwards, as on the real bus.
//
// Ownership: shared by the simulated HID back end, the devices it opened and
// the simulated device monitor. Threads: any thread may call it; one mutex
// guards the state, and hot-plug listeners are called outside it on the
// thread that attaches or detaches.
#pragma once

#include <array>
#include <cstdint>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "app/device/Clock.h"
#include "sim/SimKeyboardDesc.h"

namespace Quillon {

enum class SimTransferKind { SetFeature, GetFeature, Write };

// Faults the keyboard can be told to produce.
enum class SimFault {
    Error,          // the transfer fails (-1) and the keyboard sees nothing
    NothingWritten, // a write returns 0 bytes and the keyboard sees nothing
    ShortReply,     // a feature read returns only 3 bytes
    WrongReportId,  // a feature read answers with report id 0x05
};

// One transfer as the keyboard saw it.
struct SimTransfer {
    std::int64_t time_us = 0; // since the simulator started
    SimTransferKind kind = SimTransferKind::Write;
    SimRole role = SimRole::Main;
    std::vector<std::uint8_t> bytes; // sent, or returned for feature reads
    int result = 0;
};

struct SimRemapSlot {
    std::uint8_t key = 0;
    std::uint8_t target = 0;
};

// The keyboard's memory, as the received reports left it.
struct SimKeyboardState {
    static constexpr int kMacroSlots = 13;
    static constexpr int kRemapSlots = 10;
    static constexpr int kMacroImageBytes = 168;
    static constexpr int kSlotTableBytes = 28;
    static constexpr int kFamilyAKeyTableBytes = 360;
    static constexpr int kFamilyAColourBytes = 600;
    static constexpr int kFamilyAMacroBytes = 1200;

    // Byte 1..13: key of macro slot 1..13; bytes 14..23: key of remap slot 1..10.
    std::array<std::uint8_t, kSlotTableBytes> slot_table{};
    // Image of macro slot n at index n - 1.
    std::array<std::array<std::uint8_t, kMacroImageBytes>, kMacroSlots> macro_images{};
    std::array<SimRemapSlot, kRemapSlots> remap_slots{};
    // The light settings m c d s b o as last received, by feature report
    // (wired) or payload (wireless).
    std::array<std::uint8_t, 6> light{};
    int light_writes_wired = 0;
    int light_writes_wireless = 0;
    int factory_resets = 0;
    // Last music level report: effect, colour, level.
    int music_effect = 0;
    int music_colour = 0;
    int music_level = 0;
    int music_reports = 0;
    // Last custom colour set selection: m b s 00 o.
    std::array<std::uint8_t, 5> custom_colour_set{};

    // Family A memory.
    int a_light_mode = 0;
    std::array<std::uint8_t, 5> a_light_parameters{}; // f R G B brightness
    std::array<std::uint8_t, kFamilyAKeyTableBytes> a_key_table{};
    std::map<int, std::vector<std::uint8_t>> a_macros; // slot -> macro buffer
    std::array<std::uint8_t, kFamilyAColourBytes> a_custom_colours{};
    std::array<std::uint8_t, kFamilyAColourBytes> a_live_colours{};
    bool a_live_mode = false;
};

class SimKeyboard {
public:
    using HotplugListener = std::function<void(bool arrived, const std::string& path)>;

    // One enumerated interface of the attached keyboard.
    struct Interface {
        std::string path;
        std::uint16_t vid = 0;
        std::uint16_t pid = 0;
        SimInterfaceDesc desc;
    };

    explicit SimKeyboard(SimKeyboardDesc desc, Clock& clock = SystemClock());
    ~SimKeyboard();
    SimKeyboard(const SimKeyboard&) = delete;
    SimKeyboard& operator=(const SimKeyboard&) = delete;

    // Appends one line per transfer to `path`; an empty path stops logging.
    // False when the file cannot be opened.
    bool SetLogFile(const std::string& path);

    // Plugs the keyboard in, in the connection mode `mode` of its
    // description (replugging when it is attached in another mode). False
    // for a mode the description does not have.
    bool Attach(int mode);
    void Detach();
    bool IsAttached() const;
    int AttachedMode() const; // -1 when detached
    std::vector<Interface> Interfaces() const;

    // Hot-plug listeners get one call per interface; returns an id.
    int AddHotplugListener(HotplugListener listener);
    void RemoveHotplugListener(int id);

    void SetFirmwareVersion(std::uint16_t version);
    void InjectFault(SimTransferKind kind, SimFault fault, int skip = 0, int count = 1);

    SimKeyboardState State() const;
    std::vector<SimTransfer> Transfers() const;
    void ClearTransfers();

    // Transfers of the simulated HID devices. `generation` names the
    // attachment the device was opened on; a stale one fails.
    int Open(const std::string& path, int& generation, SimRole& role) const;
    int Write(int generation, SimRole role, std::span<const std::uint8_t> report);
    int SendFeature(int generation, SimRole role, std::span<const std::uint8_t> report);
    int GetFeature(int generation, SimRole role, std::span<std::uint8_t> report);
    int OutputReportLength() const;

private:
    struct PendingFault {
        SimTransferKind kind;
        SimFault fault;
        int skip;
        int count;
    };

    // The fault to apply to this transfer, if any (consumes it).
    bool TakeFault(SimTransferKind kind, SimFault& fault);
    void Record(SimTransferKind kind, SimRole role, std::span<const std::uint8_t> bytes,
                int result);
    void NotifyHotplug(bool arrived, const std::vector<Interface>& interfaces);

    // Firmware model (SimFirmware.cpp).
    void OnFeature(std::span<const std::uint8_t> report);
    void OnMacroPacket(std::span<const std::uint8_t> report);
    int AnswerFeature(std::span<std::uint8_t> report);
    void OnWrite(SimRole role, std::span<const std::uint8_t> report);
    void OnPayload(std::span<const std::uint8_t> payload);
    void OnFamilyAReport(std::span<const std::uint8_t> report);
    void OnAuxReport(std::span<const std::uint8_t> report);
    void FactoryReset();

    const SimKeyboardDesc m_desc;
    Clock& m_clock;
    const std::int64_t m_startUs;

    mutable std::mutex m_lock;
    int m_attachedMode = -1;
    int m_generation = 0;
    int m_nextHidSerial = 1;
    std::vector<Interface> m_interfaces;
    std::map<int, HotplugListener> m_listeners;
    int m_nextListenerId = 1;
    std::vector<PendingFault> m_faults;
    std::vector<SimTransfer> m_transfers;
    std::ofstream m_log;

    SimKeyboardState m_state;
    std::uint16_t m_firmwareVersion;
    // Feature read state: what the next get-feature answers.
    std::uint8_t m_lastCommand = 0;
    int m_nextBlock = 0;
    // Macro slot image being received, and its next packet number.
    std::array<std::uint8_t, SimKeyboardState::kMacroImageBytes> m_image{};
    int m_nextImagePacket = -1;
    bool m_wirelessResetArmed = false;
};

} // namespace Quillon
