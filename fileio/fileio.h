// The model's three files: parameter file, driver file (with the time lookup
// of driver values) and output file. All are 8-bit text with CR LF line ends,
// written and read independently of the process locale. Failures of file
// access and number reading throw EInOutError with the system's messages.
#pragma once

#include <cstdint>
#include <string>

#include "core/stypes.h"

// ---- Parameter file ----
// Reads state and parameter values by position. False (after telling the user)
// when the file belongs to another model or version; nothing is changed then.
bool ReadParamFile(const std::string& fileName, std::int32_t numParams, paramarray& params, std::int32_t numStates,
                   statearray& states);
// Writes all state and parameter values. The file is replaced only once it is
// complete: a failed save leaves the previous file intact.
void WriteParamFile(const std::string& fileName, std::int32_t numParams, const paramarray& params,
                    std::int32_t numStates, const statearray& states);

// ---- Driver file ----
// One default driver file for reading and one for writing, for the parameter
// editor and the driver editor; opening one closes the previous one of its
// direction. A run reads its drivers through a fileio::DriverReader of its
// own (fileio/driver_file.h), and any number of those can be open at once.
// GetDrivers keeps its place in PrevDriverTime, NextDriverTime, PrevDrivers
// and NextDrivers: setting both times to 0 makes the next lookup read the
// file again from its first record.
void OpenDriverFile(const std::string& fileName, std::int32_t numDrivers, const driverarray& drivers, bool write);
bool ReadDriverRecord(double& time, std::int32_t numDrivers, driverarray& values);
bool WriteDriverRecord(double time, std::int32_t numDrivers, const driverarray& values);
void CloseDriverFile();
// Sets the Value fields of drv to the drivers in force at `time`: records at
// or before it hold until the next record, negative record times interpolate.
void GetDrivers(driverarray& drv, double time);

// ---- Output file ----
// One default output file for reading and one for writing; opening one
// closes the previous one of its direction, and CloseOutputFile closes both.
// A run writes through a fileio::OutputWriter of its own
// (fileio/output_file.h), and any number of those can be open at once.
void OpenOutputFile(const std::string& fileName, std::int32_t numStates, const statearray& states,
                    std::int32_t numProcesses, const processarray& processes, bool write);
bool WriteOutputRecord(std::int32_t numStates, const statearray& states, std::int32_t numProcesses,
                       const processarray& processes, double time);
bool ReadOutputRecord(double& time, std::int32_t numDrivers, driverarray& drivers, std::int32_t numStates,
                      statearray& states, std::int32_t numProcesses, processarray& processes);
void CloseOutputFile();
