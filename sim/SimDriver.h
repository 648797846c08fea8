// A short run of the device code against the simulated keyboard, for the
// command line. It loads the shipped config.xml and keyboard layout the way
// the program does, opens the model's database, connects, reads the firmware
// version, writes the selected light setting, per-key colours for every key
// of the layout, a key remap and a music level, unplugs and replugs, and
// resets. It uses exactly the back ends QUILLON_SIMULATE selects (and refuses
// to run without it, so it never touches real hardware); with QUILLON_SIM_LOG
// set the simulated keyboard logs every transfer.
#pragma once

#include <filesystem>
#include <ostream>

namespace Quillon {

struct SimDriverOptions {
    // Holds config.xml and layouts/: the program folder.
    std::filesystem::path program_folder;
    // Where the model's database goes; empty for a temporary folder that is
    // removed afterwards.
    std::filesystem::path data_folder;
};

// Writes a summary to `out`; 0 on success, 2 when QUILLON_SIMULATE is unset,
// 1 when the keyboard definition did not load or the simulated keyboard did
// not behave.
int RunSimDriver(std::ostream& out, const SimDriverOptions& options);

} // namespace Quillon
