// quillon_sim_driver: runs the device code once against the simulated
// keyboard, with the config.xml and layouts/ next to the executable.
// Usage: QUILLON_SIMULATE=wired QUILLON_SIM_LOG=/tmp/q400.log quillon_sim_driver [data folder]
// Without a data folder the keyboard's database lives in a temporary folder.
#include <iostream>

#include "app/core/AppPaths.h"
#include "sim/SimDriver.h"
#include "toolkit/platform/Utf.h"

int main(int argc, char** argv) {
    Quillon::SimDriverOptions options;
    options.program_folder = VellumUI::WideToUtf8(Quillon::GetProgramFolder());
    if (argc > 1) {
        options.data_folder = argv[1];
    }
    return Quillon::RunSimDriver(std::cout, options);
}
