// Record types, global tables, run globals, the run-time exception family
// and symbol lookup shared by every part of the workbench.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// Texts of catalogue entries are views of immutable static data, so copying a
// table copies numbers and flags only.
struct TModelDef {
    std::string_view Name;
    std::string_view Version;
    std::string_view TimeUnit;
    std::int32_t NumDrivers = 0;
    std::int32_t NumStates = 0;
    std::int32_t NumProcesses = 0;
    std::int32_t NumParams = 0;

    bool operator==(const TModelDef&) const = default;
};

// Used for parameters and drivers alike.
struct Tparamvariable {
    std::string_view Name;
    double Value = 0.0;
    std::string_view Units;
    std::string_view Symbol;

    bool operator==(const Tparamvariable&) const = default;
};

struct Tstatevariable {
    std::string_view Name;
    double Value = 0.0;
    std::string_view Units;
    std::string_view Symbol;
    bool HoldConstant = false;
    bool Reset = false;

    bool operator==(const Tstatevariable&) const = default;
};

struct Tprocessvariable {
    std::string_view Name;
    double Value = 0.0;
    std::string_view Units;
    std::string_view Symbol;
    std::int32_t ParamCount = 0;
    std::uint8_t TabCategory = 0;
    std::uint8_t Marked = 0;

    bool operator==(const Tprocessvariable&) const = default;
};

// A fixed-capacity table indexed from 1 to N.
template <class T, int N>
struct OneBased {
    static constexpr int Capacity = N;
    std::array<T, N> Items{};

    constexpr T& operator[](int i) noexcept { return Items[static_cast<std::size_t>(i - 1)]; }
    constexpr const T& operator[](int i) const noexcept { return Items[static_cast<std::size_t>(i - 1)]; }
    friend bool operator==(const OneBased&, const OneBased&) = default;
};

inline constexpr int MaxStates = 56;
inline constexpr int MaxDrivers = 20;
inline constexpr int MaxParams = 200;
inline constexpr int MaxProcesses = 200;

using statearray = OneBased<Tstatevariable, MaxStates>;
using driverarray = OneBased<Tparamvariable, MaxDrivers>;
using paramarray = OneBased<Tparamvariable, MaxParams>;
using processarray = OneBased<Tprocessvariable, MaxProcesses>;
// State and derivative vectors of the integrator.
using valuearray = OneBased<double, MaxStates>;

// ---- Shared globals: one each for the life of the program. ----
extern TModelDef ModelDef;
extern statearray States;
extern driverarray Drivers;
extern driverarray PrevDrivers;
extern driverarray NextDrivers;
extern paramarray Params;
extern processarray Processes;

extern double StartTime, StopTime, TimeStep;
extern double CurrentTime;
extern double CalcTime;
extern double PrevDriverTime, NextDriverTime;

extern std::string ParamFileName, DriverFileName, OutputFileName;
extern bool NewParamFile;
extern bool NewDriverFile;
extern double IntegratorAccuracy;
extern bool ParamsModified;
extern bool RunReady;
extern bool OutputAvailable;
extern bool CancelRequested;

// Index of the entry of one table whose Symbol equals `symbol` exactly; the
// last match wins. Kind 0 drivers, 1 states, 2 parameters, 3 processes
// (entries NumStates..NumProcesses). 0 when nothing matches or kind is bad.
std::int32_t FindSymbol(int kind, std::string_view symbol);

// ---- Run-time failures ----
class ERunTimeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
class EIntegratorError : public ERunTimeError {
public:
    using ERunTimeError::ERunTimeError;
};
class ETooManySteps : public EIntegratorError {
public:
    ETooManySteps() : EIntegratorError("Too many steps in routine ODEIntegrator") {}
};
class EStepTooSmall : public EIntegratorError {
public:
    using EIntegratorError::EIntegratorError;
};
class EUserCancel : public ERunTimeError {
public:
    EUserCancel() : ERunTimeError("") {}
};

class EStepError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
class EOutputStepTooSmall : public EStepError {
public:
    EOutputStepTooSmall()
        : EStepError("Output time step is less than simulation time step. Output time step increased to time step. ") {}
};
class EOutputStepTooLarge : public EStepError {
public:
    EOutputStepTooLarge()
        : EStepError("Output time step is greater than run length. Output time step decreased to run length. ") {}
};
class EOutputStepNotMultiple : public EStepError {
public:
    EOutputStepNotMultiple()
        : EStepError(
              "Output time step must be a multiple of simulation time step. Output time step changed to current time_step. ") {}
};

// ---- Failures of the run-time library: file access, conversion, arithmetic ----

// An input/output failure. `Code` is the system's error number, or one of the
// codes below for failures that have no system number.
class EInOutError : public std::runtime_error {
public:
    EInOutError(int code, const std::string& message) : std::runtime_error(message), Code(code) {}
    int Code;
};

// Codes of EInOutError that are not system error numbers.
inline constexpr int IoReadBeyondEnd = 100;
inline constexpr int IoInvalidNumeric = 106;

// The EInOutError for a system error number: "File not found", "Disk full",
// ... or "I/O error %d" for numbers without a message of their own.
EInOutError InOutErrorFromErrno(int err);
EInOutError InvalidNumericInput();
EInOutError ReadBeyondEndOfFile();

// A field text that is not a whole number or not a number.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
EConvertError NotAnInteger(std::string_view text);
EConvertError NotAFloat(std::string_view text);

class EMathError : public ERunTimeError {
public:
    using ERunTimeError::ERunTimeError;
};
class EZeroDivide : public EMathError {
public:
    EZeroDivide() : EMathError("Floating point division by zero") {}
};
class EInvalidOp : public EMathError {
public:
    EInvalidOp() : EMathError("Invalid floating point operation") {}
};
class EOverflow : public EMathError {
public:
    EOverflow() : EMathError("Floating point overflow") {}
};
