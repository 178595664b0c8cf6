// kavrex-assoc.exe: the command-line companion of KavrexAssoc.exe.
#include "Cli.h"
#include "WinConsole.h"
#include "platform/LateBinding.h"

// The wide entry point: the ANSI one would hand over best-fit conversions.
int wmain(int argc, wchar_t** argv) {
    platform::LoadLibrariesFromSystemOnly(); // before anything can load one
    platform::FollowOnlyAdministratorsJunctions();
    cli::WinConsole console;
    cli::Environment environment{platform::SystemRegistry(), platform::SystemServices(), console};
    return cli::RunWideCommandLine(argc, argv, environment);
}
