// The program's file dialogs: titles, filters, default extensions and the
// rules of each. Every one starts at the name it is given.
#pragma once

#include <optional>
#include <string>

#include "core/notify.h"

FileDialogRequest DlgOpenParam(std::string startName);
FileDialogRequest DlgSaveParam(std::string startName);
FileDialogRequest DlgOpenDriver(std::string startName);
FileDialogRequest DlgSaveDriver(std::string startName);
FileDialogRequest DlgSaveOutput(std::string startName);
FileDialogRequest DlgOpenOutput(std::string startName);
// Observations to draw on the chart and to fit to (CSV or TSV).
FileDialogRequest DlgOpenObservations(std::string startName);
// Station or tower weather to import as a driver file (CSV or TSV).
FileDialogRequest DlgOpenWeather(std::string startName);
