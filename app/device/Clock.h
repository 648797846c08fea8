// Time for the device code: the fixed pauses of the keyboard protocol and the
// time stamps of the simulated keyboard's transfer log. The program uses the
// steady clock, whose pauses are real sleeps; tests hand the same code a
// VirtualClock, whose pauses only move its time on, so every pause can be
// checked without waiting for it. Both are safe to use from any thread.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

namespace Quillon {

class Clock {
public:
    virtual ~Clock() = default;
    // Pauses the calling thread for `ms` milliseconds (nothing for ms <= 0).
    virtual void SleepMs(int ms) = 0;
    // Microseconds on a monotonic scale with an arbitrary origin.
    virtual std::int64_t NowUs() const = 0;
};

// The monotonic system clock; pauses are real sleeps.
class SteadyClock final : public Clock {
public:
    void SleepMs(int ms) override;
    std::int64_t NowUs() const override;
};

// The process-wide steady clock.
Clock& SystemClock();

// A clock that only moves when someone pauses on it. Every pause is recorded
// in order, so tests can read back the exact protocol timing.
class VirtualClock final : public Clock {
public:
    void SleepMs(int ms) override;
    std::int64_t NowUs() const override;

    // Moves the time on without recording a pause.
    void AdvanceUs(std::int64_t us);
    // The pauses taken so far, in milliseconds, oldest first.
    std::vector<int> Pauses() const;
    void ClearPauses();

private:
    mutable std::mutex m_lock;
    std::int64_t m_nowUs = 0;
    std::vector<int> m_pauses;
};

} // namespace Quillon
