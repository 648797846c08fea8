// A short run of the device code against the simulated keyboard, for the
// command line: connect, read the firmware version, write a light setting
// and a music level, unplug and replug, reset. It uses exactly the back ends
// QUILLON_SIMULATE selects (and refuses to run without it, so it never
// touches real hardware); with QUILLON_SIM_LOG set the simulated keyboard
// logs every transfer.
#pragma once

#include <ostream>

namespace Quillon {

// Writes a summary to `out`; 0 on success, 2 when QUILLON_SIMULATE is unset,
// 1 when the simulated keyboard did not behave.
int RunSimDriver(std::ostream& out);

} // namespace Quillon
