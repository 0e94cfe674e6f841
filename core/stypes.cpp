#include "core/stypes.h"

#include <cerrno>
#include <string>

#include "core/fpfaults.h"

TModelDef ModelDef;
statearray States;
driverarray Drivers;
driverarray PrevDrivers;
driverarray NextDrivers;
paramarray Params;
processarray Processes;

double StartTime = 0, StopTime = 0, TimeStep = 0;
double CurrentTime = 0;
double CalcTime = 0;
double PrevDriverTime = 0, NextDriverTime = 0;

std::string ParamFileName, DriverFileName, OutputFileName;
bool NewParamFile = false;
bool NewDriverFile = false;
double IntegratorAccuracy = 1e-8;
bool ParamsModified = false;
bool RunReady = false;
bool OutputAvailable = false;
bool CancelRequested = false;

namespace {
template <class Table>
std::int32_t LastMatch(const Table& table, int first, int last, std::string_view symbol) {
    std::int32_t found = 0;
    for (int i = first; i <= last; ++i)
        if (table[i].Symbol == symbol) found = i;
    return found;
}
}  // namespace

std::int32_t FindSymbol(int kind, std::string_view symbol) {
    switch (kind) {
        case 0: return LastMatch(Drivers, 1, ModelDef.NumDrivers, symbol);
        case 1: return LastMatch(States, 1, ModelDef.NumStates, symbol);
        case 2: return LastMatch(Params, 1, ModelDef.NumParams, symbol);
        case 3: return LastMatch(Processes, ModelDef.NumStates < 1 ? 1 : ModelDef.NumStates, ModelDef.NumProcesses, symbol);
        default: return 0;
    }
}

EInOutError InOutErrorFromErrno(int err) {
    switch (err) {
        case ENOENT: return EInOutError(2, "File not found");
        case ENOTDIR: return EInOutError(3, "Invalid filename");
        case EMFILE:
        case ENFILE: return EInOutError(4, "Too many open files");
        case EACCES:
        case EPERM:
        case EISDIR:
        case EROFS: return EInOutError(5, "File access denied");
        case ENOSPC:
        case EDQUOT:
        case EFBIG: return EInOutError(101, "Disk full");
        default: return EInOutError(err, "I/O error " + std::to_string(err));
    }
}

EInOutError InvalidNumericInput() { return EInOutError(IoInvalidNumeric, "Invalid numeric input"); }
EInOutError ReadBeyondEndOfFile() { return EInOutError(IoReadBeyondEnd, "Read beyond end of file"); }

namespace {
std::string QuotedText(std::string_view text, std::string_view after) {
    std::string message;
    message.append("'").append(text).append("'").append(after);
    return message;
}
}  // namespace

EConvertError NotAnInteger(std::string_view text) { return EConvertError(QuotedText(text, " is not a valid integer value")); }
EConvertError NotAFloat(std::string_view text) {
    return EConvertError(QuotedText(text, " is not a valid floating point value"));
}

void RaiseFloatingPointFault(int flags) {
    ClearFloatingPointFaults();
    if (flags & FE_DIVBYZERO) throw EZeroDivide();
    if (flags & FE_INVALID) throw EInvalidOp();
    throw EOverflow();
}
