#include "FatalError.h"

#include "Application.h"
#include "DialogTexts.h"
#include "Outcome.h"
#include "platform/WinTypes.h"

#include <exception>
#include <string>

namespace app {
namespace {

// The escaped error's text, when std::terminate runs for one.
std::string EscapedErrorText() {
    const std::exception_ptr error = std::current_exception();
    if (!error) {
        return {};
    }
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& escaped) {
        return escaped.what();
    } catch (...) {
        return {};
    }
}

} // namespace

[[noreturn]] void ShowFatalErrorAndExit() noexcept {
    ShowFatalErrorAndExit(EscapedErrorText().c_str());
}

[[noreturn]] void ShowFatalErrorAndExit(const char* message) noexcept {
    const std::string text = FatalErrorText(DialogText(IDS_FATAL_ERROR), message);
    UINT flags = MB_OK | MB_ICONERROR | MB_TASKMODAL;
    if (TextsReadRightToLeft()) {
        flags |= MB_RTLREADING | MB_RIGHT;
    }
    ::MessageBoxA(nullptr, text.c_str(), DialogText(IDS_TITLE).c_str(), flags);
    ::ExitProcess(FatalErrorExitCode);
}

void InstallFatalErrorHandler() {
    std::set_terminate(ShowFatalErrorAndExit);
}

} // namespace app

#ifdef __GLIBCXX__
// libstdc++'s default handler writes to a stderr that a GUI program does not
// have, and links in the C++ demangler. Defined here, it is this program's box,
// and neither is linked in.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    app::ShowFatalErrorAndExit();
}
} // namespace __gnu_cxx
#endif
