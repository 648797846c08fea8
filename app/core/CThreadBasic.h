// A worker thread that calls Run once, or over and over with a fixed pause
// after each pass, until it is stopped. The task runner derives from it and
// supplies the pass.
//
// Ownership: the derived object owns the thread; a derived class whose Run
// uses its own members calls StopAndJoin() in its destructor, so the thread
// never outlives them. Threads: Start and Stop from the owner's thread; Run on the
// worker.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace Quillon {

class CThreadBasic {
public:
    static constexpr int kDefaultPeriodMs = 16;
    // Longest wait of Stop() for the thread to leave its loop.
    static constexpr int kStopTimeoutMs = 1000;

    virtual ~CThreadBasic();
    CThreadBasic(const CThreadBasic&) = delete;
    CThreadBasic& operator=(const CThreadBasic&) = delete;

    // Starts the thread: 1 when started, 0 when it already runs.
    int Start();
    // Asks the loop to end and waits for it at most 1000 ms. A thread that
    // is still busy then is joined by the destructor.
    void Stop();
    bool IsRunning() const { return m_running != 0; }
    // Steady-clock milliseconds when the thread was started.
    std::int64_t GetStartTick() const { return m_startTick; }

protected:
    CThreadBasic() = default;
    // One pass of the worker.
    virtual void Run() = 0;
    // 0 = Run once; 1 = Run repeatedly (the default).
    void SetLooping(int looping) { m_looping = looping; }
    // Stops and waits for the thread however long its pass takes. A derived
    // class whose Run uses its own members calls it in its destructor, so
    // the thread never runs on a half-destroyed object.
    void StopAndJoin();

private:
    void Loop();

    std::atomic<int> m_running{0};
    int m_looping = 1;
    int m_period = kDefaultPeriodMs;
    std::int64_t m_startTick = 0;
    std::thread m_thread;
    // The done event: set when the thread leaves its loop.
    std::mutex m_doneLock;
    std::condition_variable m_doneSignal;
    bool m_done = false;
};

} // namespace Quillon
