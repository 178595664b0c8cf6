// kavrex-assoc.exe: the command-line companion of KavrexAssoc.exe.
#include "Cli.h"
#include "WinConsole.h"

int main(int argc, char** argv) {
    cli::WinConsole console;
    cli::Environment environment{platform::SystemRegistry(), platform::SystemServices(), console};
    return cli::RunCommandLine(argc, argv, environment);
}
