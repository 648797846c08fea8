#include "sim/SimControl.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <sstream>

namespace Quillon {

int SimModeFromName(const std::string& name) {
    if (name == "wired") {
        return 0;
    }
    if (name == "wireless" || name == "receiver") {
        return 1;
    }
    if (name == "bluetooth") {
        return 2;
    }
    return -1;
}

SimControl::SimControl(std::shared_ptr<SimKeyboard> keyboard) : m_keyboard(std::move(keyboard)) {}

SimControl::~SimControl() {
    Stop();
}

bool SimControl::Execute(const std::string& line) {
    std::istringstream words(line);
    std::string command;
    std::string argument;
    words >> command >> argument;
    if (command == "attach") {
        const int mode = SimModeFromName(argument);
        return mode >= 0 && m_keyboard->Attach(mode);
    }
    if (command == "detach" && argument.empty()) {
        m_keyboard->Detach();
        return true;
    }
    if (command == "firmware" && !argument.empty()) {
        char* end = nullptr;
        const unsigned long version = std::strtoul(argument.c_str(), &end, 16);
        if (*end != '\0' || version > 0xFFFF) {
            return false;
        }
        m_keyboard->SetFirmwareVersion(static_cast<std::uint16_t>(version));
        return true;
    }
    return false;
}

bool SimControl::Start(const std::string& fifo_path) {
    if (m_thread.joinable() || fifo_path.empty()) {
        return false;
    }
    if (::mkfifo(fifo_path.c_str(), 0600) == 0) {
        m_createdFifo = true;
    } else if (errno != EEXIST) {
        return false;
    }
    // Opened for reading and writing, so that the open does not wait for a
    // writer and the pipe never reports end of file between writers.
    m_fifo = ::open(fifo_path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    m_wake = ::eventfd(0, EFD_CLOEXEC);
    if (m_fifo < 0 || m_wake < 0) {
        Stop();
        return false;
    }
    m_path = fifo_path;
    m_thread = std::thread([this] { Loop(); });
    return true;
}

void SimControl::Loop() {
    std::string pending;
    pollfd fds[2] = {{m_fifo, POLLIN, 0}, {m_wake, POLLIN, 0}};
    for (;;) {
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (fds[1].revents != 0) {
            return;
        }
        char buffer[256];
        const ssize_t got = ::read(m_fifo, buffer, sizeof buffer);
        if (got <= 0) {
            continue;
        }
        pending.append(buffer, static_cast<std::size_t>(got));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
            Execute(pending.substr(0, end));
            pending.erase(0, end + 1);
        }
    }
}

void SimControl::Stop() {
    if (m_thread.joinable()) {
        const std::uint64_t one = 1;
        if (::write(m_wake, &one, sizeof one) == sizeof one) {
            m_thread.join();
        } else {
            m_thread.detach(); // cannot happen with an eventfd; never block here
        }
    }
    if (m_fifo >= 0) {
        ::close(m_fifo);
        m_fifo = -1;
    }
    if (m_wake >= 0) {
        ::close(m_wake);
        m_wake = -1;
    }
    if (m_createdFifo) {
        ::unlink(m_path.c_str());
        m_createdFifo = false;
    }
}

} // namespace Quillon
