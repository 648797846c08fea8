#include "app/device/Clock.h"

#include <chrono>
#include <thread>

namespace Quillon {

void SteadyClock::SleepMs(int ms) {
    if (ms > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
}

std::int64_t SteadyClock::NowUs() const {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

Clock& SystemClock() {
    static SteadyClock clock;
    return clock;
}

void VirtualClock::SleepMs(int ms) {
    std::lock_guard lock(m_lock);
    if (ms <= 0) {
        return;
    }
    m_pauses.push_back(ms);
    m_nowUs += static_cast<std::int64_t>(ms) * 1000;
}

std::int64_t VirtualClock::NowUs() const {
    std::lock_guard lock(m_lock);
    return m_nowUs;
}

void VirtualClock::AdvanceUs(std::int64_t us) {
    std::lock_guard lock(m_lock);
    m_nowUs += us;
}

std::vector<int> VirtualClock::Pauses() const {
    std::lock_guard lock(m_lock);
    return m_pauses;
}

void VirtualClock::ClearPauses() {
    std::lock_guard lock(m_lock);
    m_pauses.clear();
}

} // namespace Quillon
