// Test only: a library that a download could put beside a program. It is
// never to be loaded by a program that searches the system folder only.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
