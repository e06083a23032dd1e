#pragma once

#include <QString>

#include <exception>

namespace runtime {

// The status the program ends with after a run-time error.
inline constexpr int kRuntimeErrorStatus = 1;

// The Italian words that name what went wrong, for the report.
QString describeRuntimeError(std::exception_ptr error);

// The report of a run-time error: a modal message box titled with the
// program's name; then every screen is unloaded and the program ends with
// kRuntimeErrorStatus. Runs from the event loop, never inside a procedure.
void reportRuntimeErrorAndEnd(std::exception_ptr error);

} // namespace runtime
