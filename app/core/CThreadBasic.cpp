#include "app/core/CThreadBasic.h"

namespace Quillon {

CThreadBasic::~CThreadBasic() {
    StopAndJoin();
}

void CThreadBasic::StopAndJoin() {
    Stop();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

int CThreadBasic::Start() {
    if (m_running != 0) {
        return 0;
    }
    if (m_thread.joinable()) {
        m_thread.join(); // the previous run has ended
    }
    m_period = kDefaultPeriodMs;
    m_startTick = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now().time_since_epoch())
                      .count();
    {
        std::lock_guard lock(m_doneLock);
        m_done = false;
    }
    m_running = 1;
    m_thread = std::thread([this] { Loop(); });
    return 1;
}

void CThreadBasic::Loop() {
    if (m_looping != 0) {
        while (m_running != 0) {
            Run();
            std::this_thread::sleep_for(std::chrono::milliseconds(m_period));
        }
    } else {
        Run();
    }
    std::lock_guard lock(m_doneLock);
    m_done = true;
    m_doneSignal.notify_all();
}

void CThreadBasic::Stop() {
    if (m_running == 0) {
        return;
    }
    m_running = 0;
    std::unique_lock lock(m_doneLock);
    const bool done = m_doneSignal.wait_for(lock, std::chrono::milliseconds(kStopTimeoutMs),
                                            [this] { return m_done; });
    lock.unlock();
    if (done && m_thread.joinable()) {
        m_thread.join();
    }
}

} // namespace Quillon
