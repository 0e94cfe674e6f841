// Floating-point faults as exceptions. Division by zero, invalid operations
// and overflow are detected from the sticky <cfenv> flags and raised as
// EZeroDivide, EInvalidOp and EOverflow; underflow, denormals and inexact
// results are ignored.
#pragma once

#include <cfenv>

#include "core/stypes.h"

inline void ClearFloatingPointFaults() noexcept {
    std::feclearexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW);
}

[[noreturn]] void RaiseFloatingPointFault(int flags);

// Raises the first pending fault (division by zero before invalid operation
// before overflow) and clears the flags; does nothing when none is pending.
inline void CheckFloatingPointFaults() {
    const int flags = std::fetestexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW);
    if (flags != 0) RaiseFloatingPointFault(flags);
}
