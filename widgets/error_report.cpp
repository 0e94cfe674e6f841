#include "widgets/error_report.h"

#include "core/notify.h"

void ReportFailure(const std::exception& failure) { Notify(MsgKind::Error, MsgButtons::Ok, failure.what()); }

void ReportUnknownFailure() { Notify(MsgKind::Error, MsgButtons::Ok, "Unknown failure"); }
