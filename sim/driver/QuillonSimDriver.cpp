// quillon_sim_driver: runs the device code once against the simulated
// keyboard. Usage: QUILLON_SIMULATE=wired QUILLON_SIM_LOG=/tmp/q400.log quillon_sim_driver
#include <iostream>

#include "sim/SimDriver.h"

int main() {
    return Quillon::RunSimDriver(std::cout);
}
