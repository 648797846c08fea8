#include "toolkit/core/RKTimer.h"

#include <algorithm>

namespace VellumUI {

RKTimer::~RKTimer() {
    KillMTimer();
}

unsigned RKTimer::SetMTimer(unsigned intervalMs, const std::string& name) {
    if (intervalMs == 0) {
        return 0;
    }
    std::lock_guard guard(m_lock);
    const unsigned id = m_nextId++;
    const std::chrono::milliseconds interval{intervalMs};
    m_entries.push_back({id, name, interval, std::chrono::steady_clock::now() + interval});
    if (!m_thread.joinable()) {
        m_stop = false;
        m_thread = std::thread([this] { Run(); });
    }
    m_changed.notify_all();
    return id;
}

bool RKTimer::KillMTimer(unsigned id) {
    std::lock_guard guard(m_lock);
    const auto before = m_entries.size();
    std::erase_if(m_entries, [id](const Entry& e) { return e.id == id; });
    m_changed.notify_all();
    return m_entries.size() != before;
}

void RKTimer::KillMTimer() {
    std::thread thread;
    {
        std::lock_guard guard(m_lock);
        m_entries.clear();
        m_stop = true;
        thread = std::move(m_thread);
    }
    m_changed.notify_all();
    if (thread.joinable() && thread.get_id() != std::this_thread::get_id()) {
        thread.join();
    } else if (thread.joinable()) {
        thread.detach();
    }
}

bool RKTimer::HasMTimer() const {
    std::lock_guard guard(m_lock);
    return !m_entries.empty();
}

void RKTimer::Run() {
    std::unique_lock guard(m_lock);
    while (!m_stop) {
        if (m_entries.empty()) {
            m_changed.wait(guard);
            continue;
        }
        auto next = std::min_element(m_entries.begin(), m_entries.end(),
                                     [](const Entry& a, const Entry& b) { return a.due < b.due; });
        const auto due = next->due;
        if (std::chrono::steady_clock::now() < due) {
            m_changed.wait_until(guard, due);
            continue;
        }
        const unsigned id = next->id;
        // Even steps: the next tick is due one interval after this one was,
        // unless we fell behind by more than an interval.
        next->due = std::max(due + next->interval, std::chrono::steady_clock::now());
        guard.unlock();
        OnMTimer(id);
        guard.lock();
    }
}

} // namespace VellumUI
