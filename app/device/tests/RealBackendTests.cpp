// The real back ends, as far as this machine allows without writing to any
// device: hidapi's enumeration (read-only) and opening a path that does not
// exist, and the udev monitor's start and stop. Missing kernel services make
// a test skip, never pass.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/device/HidapiBackend.h"
#include "app/device/UdevMonitor.h"

namespace Quillon {
namespace {

TEST(HidapiBackend, EnumeratesWithoutOpeningAndRejectsUnknownPaths) {
    HidapiBackend backend;
    for (const HidInterfaceInfo& info : backend.Enumerate()) {
        EXPECT_FALSE(info.path.empty());
    }
    EXPECT_EQ(backend.Open("/dev/quillon-no-such-hidraw"), nullptr);
}

TEST(UdevMonitor, StartsAndStopsItsThread) {
    struct Sink final : DeviceChangeSink {
        void PostDeviceChange(int, const std::wstring&) override {}
    } sink;
    if (!std::filesystem::exists("/sys/class")) {
        GTEST_SKIP() << "no sysfs on this machine";
    }
    UdevMonitor monitor;
    if (!monitor.Start(sink)) {
        GTEST_SKIP() << "udev's netlink socket is not available here";
    }
    EXPECT_TRUE(monitor.Start(sink)); // already running
    monitor.Stop();
    monitor.Stop(); // twice is harmless
}

} // namespace
} // namespace Quillon
