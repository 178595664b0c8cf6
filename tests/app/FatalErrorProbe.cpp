// Test only: lets an error escape, or ends with std::terminate, under the
// program's terminate handler, so that the fatal-error box can be seen;
// "unguarded" throws before that handler is installed, so that the runtime's
// default one runs, which the program replaces.
//   fatal_error_probe throw|terminate|substr|unguarded
#include "app/FatalError.h"

#include <exception>
#include <stdexcept>
#include <string>

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "throw";
    if (mode != "unguarded") {
        app::InstallFatalErrorHandler();
    }
    if (mode == "terminate") {
        std::terminate();
    }
    if (mode == "substr") {
        return static_cast<int>(mode.substr(7).size()); // a container's own error
    }
    throw std::runtime_error("Disk full");
}
