#include "app/device/UdevMonitor.h"

#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <thread>

#include "toolkit/platform/Utf.h"

namespace Quillon {

namespace {

struct UdevDeleter {
    void operator()(udev* handle) const noexcept { udev_unref(handle); }
    void operator()(udev_monitor* handle) const noexcept { udev_monitor_unref(handle); }
    void operator()(udev_device* handle) const noexcept { udev_device_unref(handle); }
};

using UdevPtr = std::unique_ptr<udev, UdevDeleter>;
using MonitorPtr = std::unique_ptr<udev_monitor, UdevDeleter>;
using DevicePtr = std::unique_ptr<udev_device, UdevDeleter>;

// A file descriptor closed with its owner.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    FileDescriptor(FileDescriptor&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        std::swap(m_fd, other.m_fd);
        return *this;
    }
    int Get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

struct UdevMonitor::Impl {
    UdevPtr context;
    MonitorPtr monitor;
    FileDescriptor wake; // eventfd that tells the thread to leave
    std::thread thread;

    void Loop(DeviceChangeSink& sink) {
        pollfd fds[2] = {{udev_monitor_get_fd(monitor.get()), POLLIN, 0}, {wake.Get(), POLLIN, 0}};
        for (;;) {
            if (::poll(fds, 2, -1) < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return;
            }
            if (fds[1].revents != 0 || (fds[0].revents & (POLLHUP | POLLNVAL)) != 0) {
                return;
            }
            if (fds[0].revents == 0) {
                continue;
            }
            // POLLERR (a receive buffer overrun) without POLLIN is cleared by
            // the receive below, which then returns nothing; skipping it
            // would wake poll() again at once, forever.
            DevicePtr device(udev_monitor_receive_device(monitor.get()));
            if (!device) {
                continue;
            }
            const char* action = udev_device_get_action(device.get());
            const char* path = udev_device_get_syspath(device.get());
            if (action == nullptr || path == nullptr) {
                continue;
            }
            if (std::strcmp(action, "add") == 0) {
                sink.PostDeviceChange(kDeviceArrival, VellumUI::Utf8ToWide(path));
            } else if (std::strcmp(action, "remove") == 0) {
                sink.PostDeviceChange(kDeviceRemoveComplete, VellumUI::Utf8ToWide(path));
            }
        }
    }
};

UdevMonitor::UdevMonitor() = default;

UdevMonitor::~UdevMonitor() {
    Stop();
}

bool UdevMonitor::Start(DeviceChangeSink& sink) {
    if (m_impl) {
        return true;
    }
    auto impl = std::make_unique<Impl>();
    impl->context.reset(udev_new());
    if (!impl->context) {
        return false;
    }
    impl->monitor.reset(udev_monitor_new_from_netlink(impl->context.get(), "udev"));
    if (!impl->monitor ||
        udev_monitor_filter_add_match_subsystem_devtype(impl->monitor.get(), "hidraw", nullptr) <
            0 ||
        udev_monitor_enable_receiving(impl->monitor.get()) < 0) {
        return false;
    }
    impl->wake = FileDescriptor(::eventfd(0, EFD_CLOEXEC));
    if (impl->wake.Get() < 0) {
        return false;
    }
    Impl* raw = impl.get();
    impl->thread = std::thread([raw, &sink] { raw->Loop(sink); });
    m_impl = std::move(impl);
    return true;
}

void UdevMonitor::Stop() {
    if (!m_impl) {
        return;
    }
    const std::uint64_t one = 1;
    if (::write(m_impl->wake.Get(), &one, sizeof one) < 0) {
        // The eventfd cannot fail to take one increment; nothing else to do.
    }
    if (m_impl->thread.joinable()) {
        m_impl->thread.join();
    }
    m_impl.reset();
}

} // namespace Quillon
