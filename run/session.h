// What the program does once when it starts, before any window or command
// line option acts: the settings every run relies on, and the quiet modes.
#pragma once

#include <string_view>

// Runs without windows: no progress is shown and the failures of a run go to
// its caller. The program's title (its executable's file name without the
// extension, in any letter case) selects the mode: "modelbatch" or
// "sensitivity"; any other title runs with windows.
enum class ProgramMode { Windows, Batch, Sensitivity };
ProgramMode ModeFromProgramPath(std::string_view path);

// Sets the integrator accuracy and the three times, puts the model's
// catalogue in place, gives the driver reader's two tables the catalogue's
// texts, and gives RunOptions its start values (an output interval of one
// time step). The window passes the numbers of its time fields.
void StartSession(double startTime, double stopTime, double timeStep);
