// Hot-plug of the simulated keyboard from outside the running program: a
// named pipe (QUILLON_SIM_CONTROL=<path>) read on its own thread, one command
// per line:
//   attach wired|wireless|receiver|bluetooth
//   detach
//   firmware <version in hex, e.g. 0105>
// Unknown lines are ignored. The thread sleeps in poll() until a line or
// Stop() arrives.
//
// Ownership: DeviceServices owns it beside the simulated keyboard.
#pragma once

#include <memory>
#include <string>
#include <thread>

#include "sim/SimKeyboard.h"

namespace Quillon {

// Connection mode of a QUILLON_SIMULATE name; -1 for any other text.
int SimModeFromName(const std::string& name);

class SimControl {
public:
    explicit SimControl(std::shared_ptr<SimKeyboard> keyboard);
    ~SimControl();
    SimControl(const SimControl&) = delete;
    SimControl& operator=(const SimControl&) = delete;

    // Creates the named pipe when it does not exist and starts reading it.
    bool Start(const std::string& fifo_path);
    void Stop();

    // Carries out one command line; false when it is not understood.
    bool Execute(const std::string& line);

private:
    void Loop();

    std::shared_ptr<SimKeyboard> m_keyboard;
    std::string m_path;
    bool m_createdFifo = false;
    int m_fifo = -1;
    int m_wake = -1; // eventfd that ends the thread
    std::thread m_thread;
};

} // namespace Quillon
