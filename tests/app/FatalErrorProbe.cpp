// Test only: lets an error escape, or ends with std::terminate, under the
// program's terminate handler, so that the fatal-error box can be seen.
//   fatal_error_probe throw|terminate
#include "app/FatalError.h"

#include <exception>
#include <stdexcept>
#include <string>

int main(int argc, char** argv) {
    app::InstallFatalErrorHandler();
    if (argc > 1 && std::string(argv[1]) == "terminate") {
        std::terminate();
    }
    throw std::runtime_error("Disk full");
}
