#include "app/device/HidapiBackend.h"

#include <hidapi/hidapi.h>

namespace Quillon {

namespace {

// hid_init once for the whole process. hid_exit is never called: devices
// may still be closed by the manager's own teardown at exit, and the process
// frees the library's few allocations anyway.
bool EnsureHidapi() {
    static const bool ready = hid_init() == 0;
    return ready;
}

// One open hidraw device; closed with the object.
class HidapiDevice final : public HidDevice {
public:
    explicit HidapiDevice(hid_device* handle) : m_handle(handle) {}
    ~HidapiDevice() override { hid_close(m_handle); }
    HidapiDevice(const HidapiDevice&) = delete;
    HidapiDevice& operator=(const HidapiDevice&) = delete;

    int Write(std::span<const std::uint8_t> report) override {
        return hid_write(m_handle, report.data(), report.size());
    }
    int SendFeature(std::span<const std::uint8_t> report) override {
        return hid_send_feature_report(m_handle, report.data(), report.size());
    }
    int GetFeature(std::span<std::uint8_t> report) override {
        return hid_get_feature_report(m_handle, report.data(), report.size());
    }
    int OutputReportLength() const override { return 0; }

private:
    hid_device* m_handle;
};

} // namespace

std::vector<HidInterfaceInfo> HidapiBackend::Enumerate() {
    std::vector<HidInterfaceInfo> list;
    if (!EnsureHidapi()) {
        return list;
    }
    hid_device_info* all = hid_enumerate(0, 0);
    for (const hid_device_info* info = all; info != nullptr; info = info->next) {
        HidInterfaceInfo entry;
        entry.path = info->path != nullptr ? info->path : "";
        entry.vid = info->vendor_id;
        entry.pid = info->product_id;
        entry.usage_page = info->usage_page;
        entry.usage = info->usage;
        entry.interface_number = info->interface_number;
        list.push_back(std::move(entry));
    }
    hid_free_enumeration(all);
    return list;
}

std::unique_ptr<HidDevice> HidapiBackend::Open(const std::string& path) {
    if (!EnsureHidapi()) {
        return nullptr;
    }
    hid_device* handle = hid_open_path(path.c_str());
    if (handle == nullptr) {
        return nullptr;
    }
    return std::make_unique<HidapiDevice>(handle);
}

} // namespace Quillon
