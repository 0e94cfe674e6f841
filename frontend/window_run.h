// A run started from the main window: the progress window, the disabled
// windows, the completion in the window and the error window around the
// engine's run loop.
#pragma once

#include <QString>
#include <exception>
#include <string>

class TMainForm;
struct RunStatistics;

// The error window's text for the failure that ended a run: the failure's
// message, after the name of the file (and the line of a number it could not
// read) when a file failed.
QString RunFailureText(const RunStatistics& stats, const std::string& driverFile, const std::string& outputFile,
                       const std::exception& failure);

// Runs the model with the settings in force. Outside the quiet modes its
// failure is shown in the error window; in them it is thrown on.
void RunFromWindow(TMainForm& form);
