// ostrel-drivers: driver files from station or tower weather, their checks,
// and driver files back to CSV.
#include <iostream>

#include "drivers/drivers_command.h"

int main(int argc, char** argv) { return drivers::RunDriversCommand(argc, argv, std::cout, std::cerr); }
