#include "run/session.h"

#include <string>

#include "model/equations.h"
#include "run/run_options.h"

ProgramMode ModeFromProgramPath(std::string_view path) {
    const auto slash = path.find_last_of("/\\");
    std::string_view title = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const auto dot = title.find_last_of('.');
    if (dot != std::string_view::npos) title = title.substr(0, dot);
    std::string lower(title);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (lower == "modelbatch") return ProgramMode::Batch;
    if (lower == "sensitivity") return ProgramMode::Sensitivity;
    return ProgramMode::Windows;
}

void StartSession(double startTime, double stopTime, double timeStep) {
    IntegratorAccuracy = 1e-8;
    StartTime = startTime;
    StopTime = stopTime;
    TimeStep = timeStep;
    CalcTime = StartTime;
    DefineModel();
    NextDrivers = Drivers;
    PrevDrivers = Drivers;
    RunOptions = StartRunOptions();
}
