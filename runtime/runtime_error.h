#pragma once

#include <QString>

#include <exception>

namespace runtime {

// The status the program ends with after a run-time error.
inline constexpr int kRuntimeErrorStatus = 1;

// The Italian words that name what went wrong, for the report.
QString describeRuntimeError(std::exception_ptr error);

// Reports a run-time error raised by an event procedure: a modal message box
// titled with the program's name, then every screen is unloaded and the
// event loop ends with kRuntimeErrorStatus. An error raised while the report
// is open is not reported again.
void reportRuntimeError(std::exception_ptr error);

} // namespace runtime
