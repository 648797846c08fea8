// The HID device manager against the simulated Q400: discovery, the choice of
// the current interface, and every transfer with its retries and pauses.
#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "app/device/HidDeviceManager.h"
#include "sim/SimHidBackend.h"

namespace Quillon {
namespace {

constexpr int kQ400 = 201;
constexpr int kVid = 0x37F1;

void AddQ400Rules(HidDeviceManager& manager) {
    manager.AddRule(kVid, 0x4A01, L"", kQ400, 0, L"0003:37F1:4A01");
    manager.AddRule(kVid, 0x4A02, L"", kQ400, 1, L"0003:37F1:4A02");
    manager.AddRule(kVid, 0x4A03, L"", kQ400, 2, L"0005:37F1:4A03");
}

// Scan as the connection code does it: close, scan, open, select the Q400.
void Rescan(HidDeviceManager& manager, int selected = kQ400) {
    manager.CloseAll();
    manager.Scan();
    manager.SetOpen(true);
    manager.SetSelectedDeviceType(selected);
}

struct Rig {
    explicit Rig(SimKeyboardDesc desc = Q400Description())
        : keyboard(std::make_shared<SimKeyboard>(std::move(desc), clock)),
          manager(std::make_unique<SimHidBackend>(keyboard), clock) {
        AddQ400Rules(manager);
    }
    void Connect(int mode) {
        keyboard->Attach(mode);
        Rescan(manager);
        keyboard->ClearTransfers();
        clock.ClearPauses();
    }
    int CountTransfers(SimTransferKind kind) const {
        int count = 0;
        for (const SimTransfer& transfer : keyboard->Transfers()) {
            count += transfer.kind == kind ? 1 : 0;
        }
        return count;
    }

    VirtualClock clock;
    std::shared_ptr<SimKeyboard> keyboard;
    HidDeviceManager manager;
};

// Several simulated keyboards seen as one machine.
class MachineBackend final : public HidBackend {
public:
    void Add(std::shared_ptr<SimKeyboard> keyboard) {
        m_backends.push_back(std::make_unique<SimHidBackend>(std::move(keyboard)));
    }
    std::vector<HidInterfaceInfo> Enumerate() override {
        std::vector<HidInterfaceInfo> all;
        for (auto& backend : m_backends) {
            auto some = backend->Enumerate();
            all.insert(all.end(), some.begin(), some.end());
        }
        return all;
    }
    std::unique_ptr<HidDevice> Open(const std::string& path) override {
        for (auto& backend : m_backends) {
            if (auto device = backend->Open(path)) {
                return device;
            }
        }
        return nullptr;
    }

private:
    std::vector<std::unique_ptr<SimHidBackend>> m_backends;
};

TEST(HidDeviceManagerScan, KeepsTheVendorInterfaceAndTheAuxiliaryOneOfEachMode) {
    struct Case {
        int mode;
        bool has_aux;
    };
    for (const Case& c : {Case{0, true}, Case{1, true}, Case{2, false}}) {
        Rig rig;
        rig.Connect(c.mode);
        std::vector<HidInterfaceSummary> list;
        ASSERT_TRUE(rig.manager.CollectInterfaces(list)) << "mode " << c.mode;
        ASSERT_EQ(list.size(), 1u) << "mode " << c.mode;
        EXPECT_EQ(list[0].mode, c.mode);
        EXPECT_EQ(list[0].device_type, kQ400);
        EXPECT_EQ(rig.manager.HasAuxInterface(), c.has_aux);
        EXPECT_EQ(rig.manager.BestMode(), c.mode);
        // Commands reach the vendor interface, not the auxiliary one.
        EXPECT_TRUE(rig.manager.SendFeature({7, 0xF7}));
        ASSERT_EQ(rig.keyboard->Transfers().size(), 1u);
        EXPECT_EQ(rig.keyboard->Transfers()[0].role, SimRole::Main);
    }
}

TEST(HidDeviceManagerScan, RuleWithProductNameNeverMatches) {
    VirtualClock clock;
    auto keyboard = std::make_shared<SimKeyboard>(Q400Description(), clock);
    keyboard->Attach(0);
    HidDeviceManager manager(std::make_unique<SimHidBackend>(keyboard), clock);
    manager.AddRule(kVid, 0x4A01, L"Q400", kQ400, 0, L"0003:37F1:4A01");
    Rescan(manager);
    std::vector<HidInterfaceSummary> list;
    EXPECT_FALSE(manager.CollectInterfaces(list));
    EXPECT_FALSE(manager.HasAuxInterface());
    EXPECT_EQ(manager.BestMode(), -1);
}

TEST(HidDeviceManagerScan, NothingWithoutBackendOrKeyboard) {
    HidDeviceManager bare;
    AddQ400Rules(bare);
    Rescan(bare);
    std::vector<HidInterfaceSummary> list;
    EXPECT_FALSE(bare.CollectInterfaces(list));
    EXPECT_EQ(bare.CurrentInterface(), nullptr);

    Rig detached;
    Rescan(detached.manager);
    EXPECT_FALSE(detached.manager.CollectInterfaces(list));
}

TEST(HidDeviceManagerScan, CurrentInterfacePrefersReceiverWhileBestModeSaysBluetooth) {
    VirtualClock clock;
    auto receiver = std::make_shared<SimKeyboard>(Q400Description(), clock);
    auto bluetooth = std::make_shared<SimKeyboard>(Q400Description(), clock);
    bluetooth->Attach(2);
    receiver->Attach(1);
    auto machine = std::make_unique<MachineBackend>();
    machine->Add(bluetooth);
    machine->Add(receiver);
    HidDeviceManager manager(std::move(machine), clock);
    AddQ400Rules(manager);
    Rescan(manager);

    EXPECT_EQ(manager.BestMode(), 2);
    EXPECT_TRUE(manager.SendFeature({7, 0x23}));
    EXPECT_EQ(receiver->Transfers().size(), 1u);
    EXPECT_TRUE(bluetooth->Transfers().empty());
}

TEST(HidDeviceManagerScan, SelectionDecidesWhatIsCollected) {
    VirtualClock clock;
    auto q400 = std::make_shared<SimKeyboard>(Q400Description(), clock);
    SimKeyboardDesc other_desc = Q400Description();
    other_desc.modes[0].pid = 0x1234; // another model on cable
    auto other = std::make_shared<SimKeyboard>(other_desc, clock);
    q400->Attach(1);
    other->Attach(0);
    auto machine = std::make_unique<MachineBackend>();
    machine->Add(other);
    machine->Add(q400);
    HidDeviceManager manager(std::move(machine), clock);
    AddQ400Rules(manager);
    manager.AddRule(kVid, 0x1234, L"", 100, 0, L"0003:37F1:1234");

    Rescan(manager, 0);
    std::vector<HidInterfaceSummary> all;
    ASSERT_TRUE(manager.CollectInterfaces(all));
    EXPECT_EQ(all.size(), 2u);

    manager.SetSelectedDeviceType(kQ400);
    std::vector<HidInterfaceSummary> q400_only;
    ASSERT_TRUE(manager.CollectInterfaces(q400_only));
    ASSERT_EQ(q400_only.size(), 1u);
    EXPECT_EQ(q400_only[0].mode, 1);
    // Only the Q400's interfaces count, although the other model is on cable.
    EXPECT_EQ(manager.BestMode(), 1);
}

TEST(HidDeviceManagerScan, FindInterface) {
    Rig rig;
    rig.Connect(1);
    EXPECT_EQ(rig.manager.FindInterface(kVid, 0x4A02, L"", 1), 0);
    EXPECT_EQ(rig.manager.FindInterface(kVid, 0x4A02, L"Q400 receiver", 1), -1);
    EXPECT_EQ(rig.manager.FindInterface(kVid, 0x4A02, L"", 0), -1);
    EXPECT_EQ(rig.manager.FindInterface(kVid, 0x4A01, L"", 1), -1);
}

TEST(HidDeviceManagerTransfer, NothingMovesWhenClosedOrWithoutTarget) {
    Rig rig;
    rig.Connect(0);
    OutputReport report{};
    std::uint16_t version = 0;
    FeatureBlocks blocks{7, 0xFB, 1};

    rig.manager.SetSelectedDeviceType(55); // no interface of this type
    EXPECT_FALSE(rig.manager.WriteReport(report));
    EXPECT_FALSE(rig.manager.SendFeatureDelayed({7}));

    rig.manager.SetSelectedDeviceType(kQ400);
    rig.manager.CloseAll();
    EXPECT_FALSE(rig.manager.WriteReport(report));
    EXPECT_FALSE(rig.manager.WritePayload({}));
    EXPECT_FALSE(rig.manager.WriteAuxReport(report));
    EXPECT_FALSE(rig.manager.SendFeature({7}));
    EXPECT_FALSE(rig.manager.SendFeatureDelayed({7}));
    EXPECT_FALSE(rig.manager.QueryFeatureBlocks(blocks));
    EXPECT_FALSE(rig.manager.QueryFirmwareVersion(version));
    EXPECT_TRUE(rig.keyboard->Transfers().empty());
    EXPECT_TRUE(rig.clock.Pauses().empty());
}

TEST(HidDeviceManagerTransfer, RetriesAndPauses) {
    struct Case {
        const char* name;
        int failures; // writes that fail before one succeeds
        SimFault fault;
        int which; // 0 WritePayload, 1 WriteReport, 2 WriteAuxReport
        bool result;
        int writes;
        std::vector<int> pauses;
    };
    const Case cases[] = {
        {"payload first try", 0, SimFault::Error, 0, true, 1, {}},
        {"payload nothing written once", 1, SimFault::NothingWritten, 0, true, 2, {32}},
        {"payload fails twice", 2, SimFault::Error, 0, false, 2, {32}},
        {"report error once", 1, SimFault::Error, 1, true, 2, {10}},
        {"report fails twice", 2, SimFault::Error, 1, false, 2, {10}},
        {"aux fails twice", 2, SimFault::Error, 2, true, 2, {10}},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.Connect(0);
        if (c.failures > 0) {
            rig.keyboard->InjectFault(SimTransferKind::Write, c.fault, 0, c.failures);
        }
        OutputReport report{0x00, 0x88};
        bool result = false;
        switch (c.which) {
        case 0:
            result = rig.manager.WritePayload({0xBB, 0xAA, 0x99, 0x88});
            break;
        case 1:
            result = rig.manager.WriteReport(report);
            break;
        default:
            result = rig.manager.WriteAuxReport(report);
            break;
        }
        EXPECT_EQ(result, c.result) << c.name;
        EXPECT_EQ(rig.CountTransfers(SimTransferKind::Write), c.writes) << c.name;
        EXPECT_EQ(rig.clock.Pauses(), c.pauses) << c.name;
    }
}

TEST(HidDeviceManagerTransfer, PayloadGoesOutBehindReportIdZero) {
    Rig rig;
    rig.Connect(1);
    Payload payload{};
    payload[0] = 0xBB;
    payload[63] = 0x42;
    ASSERT_TRUE(rig.manager.WritePayload(payload));
    const auto bytes = rig.keyboard->Transfers().at(0).bytes;
    ASSERT_EQ(bytes.size(), 65u);
    EXPECT_EQ(bytes[0], 0x00);
    EXPECT_EQ(bytes[1], 0xBB);
    EXPECT_EQ(bytes[64], 0x42);
}

TEST(HidDeviceManagerTransfer, WritesArePaddedToALongerOutputReport) {
    SimKeyboardDesc desc = Q400Description();
    desc.output_report_length = 80;
    Rig rig(desc);
    rig.Connect(0);
    OutputReport report;
    report.fill(0x11);
    ASSERT_TRUE(rig.manager.WriteReport(report));
    const auto bytes = rig.keyboard->Transfers().at(0).bytes;
    ASSERT_EQ(bytes.size(), 80u);
    EXPECT_EQ(bytes[64], 0x11);
    EXPECT_EQ(bytes[65], 0x00);
    EXPECT_EQ(bytes[79], 0x00);
}

TEST(HidDeviceManagerTransfer, SendFeatureDelayedWaitsSixteenMilliseconds) {
    Rig rig;
    rig.Connect(0);
    EXPECT_TRUE(rig.manager.SendFeatureDelayed({7, 0xF7, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(rig.clock.Pauses(), std::vector<int>{16});
    EXPECT_EQ(rig.keyboard->Transfers().at(0).time_us, 16000);
    EXPECT_EQ(rig.keyboard->State().light, (std::array<std::uint8_t, 6>{1, 2, 3, 4, 5, 6}));
}

TEST(HidDeviceManagerTransfer, FeatureBlocksReadTheSlotTable) {
    Rig rig;
    rig.Connect(0);
    // Put keys into macro slot 1 and remap slot 10 (table bytes 1 and 23).
    ASSERT_TRUE(rig.manager.SendFeature({7, 0xFA, 1, 10, 0x2B, 1, 0x04, 1}));
    rig.keyboard->ClearTransfers();

    FeatureBlocks blocks{7, 0xFB, 1};
    ASSERT_TRUE(rig.manager.QueryFeatureBlocks(blocks));
    EXPECT_EQ(blocks[23], 0x2B);
    EXPECT_EQ(rig.clock.Pauses(), (std::vector<int>{16, 16, 16, 16}));
    EXPECT_EQ(rig.CountTransfers(SimTransferKind::GetFeature), 4);
}

TEST(HidDeviceManagerTransfer, FeatureBlocksKeepWhatAFailedOrShortReadDidNotBring) {
    Rig rig;
    rig.Connect(0);
    ASSERT_TRUE(rig.manager.SendFeature({7, 0xFA, 1, 1, 0x2B, 1, 0x04, 1})); // table byte 14
    ASSERT_TRUE(rig.manager.SendFeature({7, 0xFA, 1, 8, 0x2C, 1, 0x05, 1})); // table byte 21

    FeatureBlocks blocks;
    blocks.fill(0xEE);
    blocks[0] = 7;
    blocks[1] = 0xFB;
    blocks[2] = 1;
    // Second read fails; third comes back with only two of its seven bytes.
    rig.keyboard->InjectFault(SimTransferKind::GetFeature, SimFault::Error, 1, 1);
    rig.keyboard->InjectFault(SimTransferKind::GetFeature, SimFault::ShortReply, 2, 1);
    ASSERT_TRUE(rig.manager.QueryFeatureBlocks(blocks));
    for (int i = 7; i <= 13; ++i) {
        EXPECT_EQ(blocks[i], 0xEE) << "byte " << i;
    }
    EXPECT_EQ(blocks[14], 0x2B);
    EXPECT_EQ(blocks[15], 0x00);
    EXPECT_EQ(blocks[16], 0xEE) << "beyond the short reply";
    EXPECT_EQ(blocks[21], 0x2C);
}

TEST(HidDeviceManagerTransfer, FirmwareVersion) {
    struct Case {
        const char* name;
        SimTransferKind kind;
        SimFault fault;
        int count;
        bool ok;
        std::vector<int> pauses;
    };
    const Case cases[] = {
        {"clean", SimTransferKind::Write, SimFault::Error, 0, true, {16, 16}},
        {"wrong id once",
         SimTransferKind::GetFeature,
         SimFault::WrongReportId,
         1,
         true,
         {16, 16, 16}},
        {"wrong id twice",
         SimTransferKind::GetFeature,
         SimFault::WrongReportId,
         2,
         false,
         {16, 16, 16}},
        {"read fails", SimTransferKind::GetFeature, SimFault::Error, 1, false, {16, 16}},
        {"short reply", SimTransferKind::GetFeature, SimFault::ShortReply, 1, true, {16, 16}},
        {"request fails", SimTransferKind::SetFeature, SimFault::Error, 1, false, {16}},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.Connect(0);
        rig.keyboard->SetFirmwareVersion(0x0207);
        if (c.count > 0) {
            rig.keyboard->InjectFault(c.kind, c.fault, 0, c.count);
        }
        std::uint16_t version = 0;
        EXPECT_EQ(rig.manager.QueryFirmwareVersion(version), c.ok) << c.name;
        if (c.ok) {
            EXPECT_EQ(version, 0x0207) << c.name;
        }
        EXPECT_EQ(rig.clock.Pauses(), c.pauses) << c.name;
    }
}

TEST(HidDeviceManagerTransfer, UnpluggedKeyboardFailsQuietly) {
    Rig rig;
    rig.Connect(0);
    rig.keyboard->Detach();
    OutputReport report{};
    EXPECT_FALSE(rig.manager.WriteReport(report));
    EXPECT_FALSE(rig.manager.SendFeature({7}));
    std::uint16_t version = 0;
    EXPECT_FALSE(rig.manager.QueryFirmwareVersion(version));
    // Replugged: the old handles stay dead until the next scan.
    rig.keyboard->Attach(0);
    EXPECT_FALSE(rig.manager.SendFeature({7}));
    Rescan(rig.manager);
    EXPECT_TRUE(rig.manager.SendFeature({7}));
}

TEST(HidDeviceManagerTransfer, SequenceLockKeepsOtherSendersOut) {
    Rig rig;
    rig.Connect(0);
    std::future<bool> other;
    {
        auto sequence = rig.manager.LockSequence();
        other = std::async(std::launch::async, [&] { return rig.manager.SendFeature({7, 0x23}); });
        EXPECT_EQ(other.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
        EXPECT_TRUE(rig.manager.SendFeature({7, 0xF7}));
    }
    EXPECT_TRUE(other.get());
    const auto transfers = rig.keyboard->Transfers();
    ASSERT_EQ(transfers.size(), 2u);
    EXPECT_EQ(transfers[0].bytes[1], 0xF7);
    EXPECT_EQ(transfers[1].bytes[1], 0x23);
}

} // namespace
} // namespace Quillon
