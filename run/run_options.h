// The run settings in force, and the checks every editor of them shares (the
// options dialog of the window and the command line): the same corrections
// and the same texts wherever a setting is entered.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/stypes.h"

struct TRunOptions {
    bool NormalRun = true;           // the three special-run switches below are off
    bool RepeatDrivers = false;      // repeat the driver file ...
    std::int32_t RepeatDriveTime = 0;  // ... with this period
    bool ResetStates = false;        // reset the states flagged Reset ...
    std::int32_t ResetStateTime = 0;   // ... with this period
    bool RunToSS = false;            // stop at a steady state
    double SSCriteria = 0.0;         // largest relative change of a steady state (a fraction)
    std::int32_t SSTime = 0;         // steady-state check period
    double OutputTimeStep = 1.0;     // output interval
    double OutputOffset = 0.0;       // no interval output for steps that begin before this time
    bool OutputEndOfRunOnly = false; // write only the record at the end of the run
    bool AppendOutput = false;       // kept for the dialog's disabled check box; read by nothing

    bool operator==(const TRunOptions&) const = default;
};

// The settings in force; the run reads them when it starts.
extern TRunOptions RunOptions;

// The settings a session starts with: a normal run writing a record after
// every step of the time step now in force.
TRunOptions StartRunOptions();

// A normal run has no special-run option switched on.
void KeepNormalRunInvariant(TRunOptions& options);

// ---- Text of an entry field as a number ----
// Blanks around the text are ignored. Not a whole number in 32 bits:
// EConvertError "'<text>' is not a valid integer value"; not a number:
// EConvertError "'<text>' is not a valid floating point value".
std::int32_t TextToInt(std::string_view text);
double TextToFloat(std::string_view text);

// ---- Checks of the output interval and offset ----
class EOutputOffsetTooLarge : public std::runtime_error {
public:
    EOutputOffsetTooLarge() : std::runtime_error("Output offset is greater than simulation length. ") {}
};

// Checks an output interval against TimeStep, StartTime and StopTime, in this
// order: below the time step (EOutputStepTooSmall, step := TimeStep); longer
// than the run (EOutputStepTooLarge, step := StopTime - StartTime); not a
// whole multiple of the time step within 0.001 of it (EOutputStepNotMultiple,
// step := TimeStep). The corrected interval is left in `step` before the
// throw. With a time step of 0 the quotient fails as EZeroDivide, or
// EInvalidOp for an interval of 0.
void CheckOutputStep(double& step);

// An offset beyond StopTime itself (not the run length): EOutputOffsetTooLarge.
void CheckOutputOffset(double offset);

// ---- The entry fields of the options dialog ----
// Each takes the text of its field as the user leaves it, changes `options`
// as the dialog does and returns the warning to show, or "" when there is none.

// Periods: unless the text is exactly "0", the whole number becomes the period
// and switches its option on. A text that is not a whole number switches the
// whole run back to a normal run.
std::string EnterRepeatDriveTime(TRunOptions& options, std::string_view text);
std::string EnterResetStateTime(TRunOptions& options, std::string_view text);
std::string EnterSSTime(TRunOptions& options, std::string_view text);
// The steady-state criterion is entered in percent and kept as a fraction.
std::string EnterSSCriteria(TRunOptions& options, std::string_view text);

// An empty text changes nothing. A whole number passes CheckOutputStep; when
// it fails with one of the output-step errors the corrected interval is taken.
std::string EnterOutputTimeStep(TRunOptions& options, std::string_view text);
// An empty text changes nothing. On any failure the offset becomes TimeStep.
std::string EnterOutputOffset(TRunOptions& options, std::string_view text);
