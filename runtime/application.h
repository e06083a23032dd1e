#pragma once

#include "design.h"

#include <functional>
#include <span>
#include <string_view>

namespace runtime {

// What the runtime is told about the program it runs.
struct ProgramRecord {
    std::string_view title; // the name the runtime uses for its own messages
    std::string_view version;
    std::string_view icon = {}; // resource path of the windows' icon, a PNG
    std::string_view desktopId = {}; // name of the desktop entry, without .desktop
    std::span<const FontSubstitute> fonts = {};
};

// Starts the toolkit, shows the start screen and dispatches events one at a
// time until End() runs or no screen is loaded. The command line is not
// read. Returns the exit status.
int run(int argc, char** argv, const ProgramRecord& program, const std::function<void()>& showStartScreen);

// Sets up what every screen relies on (locale, fonts, icon) without an
// event loop; run() does it too. For tests that build screens themselves.
void prepareToolkit(const ProgramRecord& program);

// Ends the program at once: every loaded screen is destroyed, no procedure
// runs, the event loop ends with status 0.
void End();

// Ends the program with the given status, as End() does.
void endProgram(int status);

// The last loaded screen has been unloaded: the event loop ends with status
// 0, unless the program is already ending.
void lastScreenUnloaded();

} // namespace runtime
