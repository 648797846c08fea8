#include "toolkit/core/Manager.h"

#include <mutex>

namespace VellumUI {

namespace {

std::mutex& StateLock() {
    static std::mutex lock;
    return lock;
}

std::wstring& DeviceName() {
    static std::wstring name;
    return name;
}

} // namespace

void Manager::SetDeviceName(const std::wstring& name) {
    std::lock_guard guard(StateLock());
    DeviceName() = name;
}

std::wstring Manager::GetDeviceName() {
    std::lock_guard guard(StateLock());
    return DeviceName();
}

} // namespace VellumUI
