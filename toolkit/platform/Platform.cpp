#include "toolkit/platform/Platform.h"

#include <mutex>

namespace VellumUI {

namespace {

std::unique_ptr<Platform>& Slot() {
    static std::unique_ptr<Platform> platform;
    return platform;
}

} // namespace

Platform* Platform::Current() {
    return Slot().get();
}

void Platform::Install(std::unique_ptr<Platform> platform) {
    Slot() = std::move(platform);
}

} // namespace VellumUI
