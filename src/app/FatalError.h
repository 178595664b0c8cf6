// When an error escapes every handler, or std::terminate runs for any other
// reason: a GUI program has no console, so it says so in a message box and
// ends with a non-zero code.
#pragma once

namespace app {

constexpr int FatalErrorExitCode = 3;

// Makes the fatal-error box the terminate handler.
void InstallFatalErrorHandler();
// Shows the box with the escaped error's text, if any, and ends the process.
[[noreturn]] void ShowFatalErrorAndExit() noexcept;
// Shows the box with that text and ends the process.
[[noreturn]] void ShowFatalErrorAndExit(const char* message) noexcept;

} // namespace app
