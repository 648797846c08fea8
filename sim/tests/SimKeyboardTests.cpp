// The simulated Q400 itself: enumeration in each mode, hot-plug, the transfer
// log, the back-end choice from the environment, and the command-line driver.
#include <gtest/gtest.h>

#include <clocale>
#include <fstream>
#include <future>
#include <regex>
#include <sstream>

#include "app/device/HidapiBackend.h"
#include "sim/DeviceServices.h"
#include "sim/SimControl.h"
#include "sim/SimDriver.h"
#include "sim/SimHidBackend.h"
#include "tools/testing/TestEnvironment.h"

namespace Quillon {
namespace {

std::vector<std::string> ReadLines(const std::filesystem::path& path) {
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(SimKeyboard, EnumeratesEachModeLikeTheKernelNamesIt) {
    struct Case {
        int mode;
        const char* hid_id;
        std::size_t interfaces;
    };
    for (const Case& c : {Case{0, "0003:37F1:4A01", 5}, Case{1, "0003:37F1:4A02", 5},
                          Case{2, "0005:37F1:4A03", 3}}) {
        auto keyboard = std::make_shared<SimKeyboard>(Q400Description());
        ASSERT_TRUE(keyboard->Attach(c.mode));
        SimHidBackend backend(keyboard);
        const auto list = backend.Enumerate();
        ASSERT_EQ(list.size(), c.interfaces);
        int vendor = 0;
        for (const HidInterfaceInfo& info : list) {
            EXPECT_NE(info.path.find(c.hid_id), std::string::npos) << info.path;
            EXPECT_EQ(info.vid, 0x37F1);
            vendor += info.usage_page == 0xFF01 ? 1 : 0;
            EXPECT_NE(backend.Open(info.path), nullptr);
        }
        EXPECT_EQ(vendor, c.mode == 2 ? 1 : 2);
    }
    auto keyboard = std::make_shared<SimKeyboard>(Q400Description());
    EXPECT_FALSE(keyboard->Attach(7));
    EXPECT_TRUE(SimHidBackend(keyboard).Enumerate().empty());
}

TEST(SimKeyboard, ReplugGivesNewPathsAndKillsOldHandles) {
    auto keyboard = std::make_shared<SimKeyboard>(Q400Description());
    keyboard->Attach(0);
    SimHidBackend backend(keyboard);
    const std::string old_path = backend.Enumerate()[2].path;
    auto old_device = backend.Open(old_path);
    keyboard->Attach(0); // replug
    const std::uint8_t report[8] = {7, 0xF7};
    EXPECT_EQ(old_device->SendFeature(report), -1);
    EXPECT_EQ(backend.Open(old_path), nullptr);
    auto fresh = backend.Open(backend.Enumerate()[2].path);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->SendFeature(report), 8);
}

// Switches the numeric locale to one with a decimal comma, where the machine
// has one, the way a desktop program inherits it from its environment.
class CommaLocale {
public:
    CommaLocale() : m_old(std::setlocale(LC_NUMERIC, nullptr)) {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"}) {
            if (std::setlocale(LC_NUMERIC, name) != nullptr) {
                return;
            }
        }
    }
    ~CommaLocale() { std::setlocale(LC_NUMERIC, m_old.c_str()); }

private:
    std::string m_old;
};

TEST(SimKeyboard, LogsEveryTransferInTheDocumentedFormat) {
    CommaLocale locale;
    QuillonTesting::TempDir dir;
    const auto log = dir.Path() / "q400.log";
    VirtualClock clock;
    auto keyboard = std::make_shared<SimKeyboard>(Q400Description(), clock);
    ASSERT_TRUE(keyboard->SetLogFile(log.string()));
    keyboard->Attach(0);
    SimHidBackend backend(keyboard);
    const auto list = backend.Enumerate();
    auto main = backend.Open(list[2].path);
    auto aux = backend.Open(list[3].path);

    clock.AdvanceUs(1532118);
    const std::uint8_t light[8] = {0x07, 0xF7, 0x00, 0x00, 0x00, 0x02, 0x03, 0x00};
    main->SendFeature(light);
    clock.AdvanceUs(16000);
    const std::uint8_t version[8] = {0x07, 0xFD};
    main->SendFeature(version);
    std::uint8_t reply[8] = {0x07, 0xFD};
    main->GetFeature(reply);
    std::uint8_t chunk[65] = {0x00, 0xF1, 0x3C};
    aux->Write(chunk);

    const auto lines = ReadLines(log);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "1532.118 set_feature main 07 f7 00 00 00 02 03 00");
    EXPECT_EQ(lines[1], "1548.118 set_feature main 07 fd 00 00 00 00 00 00");
    EXPECT_EQ(lines[2], "1548.118 get_feature main 07 01 03 00 00 00 00 00");
    EXPECT_EQ(lines[3].substr(0, 35), "1548.118 write aux 00 f1 3c 00 00 0");
    EXPECT_EQ(lines[3].size(), std::string("1548.118 write aux").size() + 65 * 3);
}

TEST(DeviceServices, QuillonSimulateChoosesTheBackEnd) {
    struct Case {
        const char* value;
        int mode; // -2: real back ends
    };
    const Case cases[] = {{"wired", 0},     {"wireless", 1}, {"receiver", 1},
                          {"bluetooth", 2}, {"other", -1},   {"", -2}};
    for (const Case& c : cases) {
        QuillonTesting::ScopedEnv env;
        env.Set("QUILLON_SIMULATE", c.value);
        env.Unset("QUILLON_SIM_LOG");
        DeviceServices services = CreateDeviceServices();
        ASSERT_NE(services.backend, nullptr) << c.value;
        ASSERT_NE(services.monitor, nullptr) << c.value;
        if (c.mode == -2) {
            EXPECT_EQ(services.simulated, nullptr);
            EXPECT_NE(dynamic_cast<HidapiBackend*>(services.backend.get()), nullptr);
            continue; // never enumerate the machine's real devices here
        }
        ASSERT_NE(services.simulated, nullptr) << c.value;
        EXPECT_EQ(services.simulated->AttachedMode(), c.mode) << c.value;
        EXPECT_EQ(dynamic_cast<HidapiBackend*>(services.backend.get()), nullptr);
    }
}

TEST(SimControl, Commands) {
    auto keyboard = std::make_shared<SimKeyboard>(Q400Description());
    SimControl control(keyboard);
    struct Case {
        const char* line;
        bool understood;
        int mode_after;
    };
    const Case cases[] = {
        {"attach bluetooth", true, 2}, {"attach receiver", true, 1}, {"attach usb", false, 1},
        {"detach", true, -1},          {"attach wired", true, 0},    {"firmware 0105", true, 0},
        {"firmware 1x", false, 0},     {"firmware 10000", false, 0}, {"", false, 0},
        {"reboot", false, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(control.Execute(c.line), c.understood) << c.line;
        EXPECT_EQ(keyboard->AttachedMode(), c.mode_after) << c.line;
    }
    SimHidBackend backend(keyboard);
    auto device = backend.Open(backend.Enumerate()[2].path);
    const std::uint8_t request[8] = {7, 0xFD};
    device->SendFeature(request);
    std::uint8_t reply[8] = {7, 0xFD};
    device->GetFeature(reply);
    EXPECT_EQ(reply[1], 0x01);
    EXPECT_EQ(reply[2], 0x05);
}

TEST(SimControl, PlugsTheKeyboardFromANamedPipe) {
    QuillonTesting::TempDir dir;
    const auto fifo = dir.Path() / "control";
    QuillonTesting::ScopedEnv env;
    env.Set("QUILLON_SIMULATE", "wired");
    env.Set("QUILLON_SIM_CONTROL", fifo.string());
    DeviceServices services = CreateDeviceServices();
    ASSERT_NE(services.control, nullptr);

    std::promise<std::string> unplugged;
    auto first = unplugged.get_future();
    bool seen = false;
    services.simulated->AddHotplugListener([&](bool arrived, const std::string& path) {
        if (!arrived && !seen) {
            seen = true;
            unplugged.set_value(path);
        }
    });
    {
        std::ofstream pipe(fifo);
        pipe << "firmware 0207\n"
             << "detach\n";
    }
    ASSERT_EQ(first.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_NE(first.get().find("0003:37F1:4A01"), std::string::npos);
    EXPECT_EQ(services.simulated->AttachedMode(), -1);
    services.control->Stop();
    EXPECT_FALSE(std::filesystem::exists(fifo));
}

TEST(SimDriver, RunsEachModeAndLeavesALog) {
    const std::regex line_format(
        R"(^\d+\.\d{3} (set_feature|get_feature|write) (main|aux)( [0-9a-f]{2})*$)");
    for (const char* mode : {"wired", "wireless", "bluetooth"}) {
        QuillonTesting::TempDir dir;
        const auto log = dir.Path() / "sim.log";
        QuillonTesting::ScopedEnv env;
        env.Set("QUILLON_SIMULATE", mode);
        env.Set("QUILLON_SIM_LOG", log.string());
        std::ostringstream out;
        EXPECT_EQ(RunSimDriver(out, {QuillonTesting::RuntimeDir(), dir.Path()}), 0) << mode << "\n"
                                                                                    << out.str();
        for (const char* expected :
             {"match rule: mode 2, 37F1:4A03 (0005:37F1:4A03)", "layout: 105 keys",
              "firmware version 1.3", "per-key colours: 105 keys stored, 105 shown",
              "keyboard remap slot 1: 39 -> e0"}) {
            EXPECT_NE(out.str().find(expected), std::string::npos) << expected << "\n" << out.str();
        }
        EXPECT_TRUE(std::filesystem::exists(dir.Path() / "db" / "Q400-RGB PT_data_v2.db"));
        const auto lines = ReadLines(log);
        EXPECT_GE(lines.size(), 5u) << mode;
        for (const std::string& line : lines) {
            EXPECT_TRUE(std::regex_match(line, line_format)) << line;
        }
    }
}

TEST(SimDriver, RefusesToRunWithoutTheSimulation) {
    QuillonTesting::ScopedEnv env;
    env.Unset("QUILLON_SIMULATE");
    std::ostringstream out;
    EXPECT_EQ(RunSimDriver(out, {QuillonTesting::RuntimeDir(), {}}), 2);
}

TEST(SimDriver, SaysSoWhenTheProgramFolderHoldsNoKeyboardDefinition) {
    QuillonTesting::TempDir dir;
    QuillonTesting::ScopedEnv env;
    env.Set("QUILLON_SIMULATE", "wired");
    std::ostringstream out;
    EXPECT_EQ(RunSimDriver(out, {dir.Path(), dir.Path()}), 1);
    EXPECT_NE(out.str().find("did not load"), std::string::npos) << out.str();
}

} // namespace
} // namespace Quillon
