// KavrexAssoc.exe: shows the "Associate with" dialog and exits when it closes.
#include "Application.h"
#include "DialogTexts.h"
#include "FatalError.h"
#include "FormMain.h"
#include "platform/LateBinding.h"

#include <commctrl.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    platform::LoadLibrariesFromSystemOnly(); // before anything can load one
    platform::FollowOnlyAdministratorsJunctions();
    app::InstallFatalErrorHandler();
    // The themed look of the standard controls (the manifest asks for version 6).
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);

    app::TApplication application(app::DialogText(IDS_TITLE));
    app::TFormMain form(application);
    form.Show();
    application.Run();
    return 0;
}
