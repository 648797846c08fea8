// A periodic high-resolution tick for animations, on its own thread. Each
// window's paint manager owns one; OnMTimer runs on the tick thread. The
// thread sleeps on the steady clock until the next tick is due (no polling),
// or on its condition while no timer runs; it is started with the first
// timer and joined by KillMTimer() or when the object is destroyed.
//
// Threads: SetMTimer/KillMTimer from the owner's UI thread (or any thread
// other than the tick thread itself, which would wait for itself).
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace VellumUI {

class RKTimer {
public:
    RKTimer() = default;
    virtual ~RKTimer();
    RKTimer(const RKTimer&) = delete;
    RKTimer& operator=(const RKTimer&) = delete;

    // Starts a periodic timer; returns its id (never 0), 0 for interval 0.
    unsigned SetMTimer(unsigned intervalMs, const std::string& name = {});
    // Stops one timer; false when there is none with that id.
    bool KillMTimer(unsigned id);
    // Stops every timer and ends the thread.
    void KillMTimer();
    bool HasMTimer() const;

protected:
    // A tick of timer `id`, on the tick thread.
    virtual void OnMTimer(unsigned id) = 0;
    // Derived classes call this first in their destructor, so that no tick
    // reaches a half-destroyed object.
    void StopTicks() { KillMTimer(); }

private:
    struct Entry {
        unsigned id;
        std::string name;
        std::chrono::milliseconds interval;
        std::chrono::steady_clock::time_point due;
    };
    void Run();

    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<Entry> m_entries;
    std::thread m_thread;
    bool m_stop = false;
    unsigned m_nextId = 1;
};

} // namespace VellumUI
