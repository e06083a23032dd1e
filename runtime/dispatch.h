#pragma once

// How the runtime calls the program: every event procedure (a click, a timer
// tick, a screen's load) runs inside a guard of its own, so that nothing a
// procedure raises ever unwinds through the toolkit.

#include <exception>
#include <functional>

namespace runtime {

// An event procedure of the program: no arguments, no result.
using Procedure = std::function<void()>;

// Runs an event procedure. What it raises stops here. The first run-time
// error stops all further dispatching to the program, and the runtime
// reports it from a fresh turn of the event loop and then ends the program
// with kRuntimeErrorStatus.
void runProcedure(const Procedure& procedure) noexcept;

// Runs a screen's load from inside Show. A load that raises is reported like
// any procedure, and the procedure that called Show ends there too: Show
// throws LoadFailed, which only the runtime's own guards catch.
struct LoadFailed {
};
void runLoad(const Procedure& load);

// True once a run-time error has been raised; no procedure runs any more.
bool dispatchStopped();

// What happens with a run-time error once the procedure has been left: by
// default the Italian report and the end of the program. Tests may look at
// the error instead; resetting to nullptr restores the report and the
// dispatching.
void setErrorHandler(std::function<void(std::exception_ptr)> handler);

} // namespace runtime
