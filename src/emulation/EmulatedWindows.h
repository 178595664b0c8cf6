// The emulated Windows: its registry and its system together, spelling names
// in one ANSI code page. A test that needs both takes this.
#pragma once

#include "EmulatedRegistryApi.h"
#include "EmulatedSystemApi.h"

namespace emulation {

struct EmulatedWindows {
    EmulatedSystemApi system;
    EmulatedRegistryApi registry{system};

    // 1252 (Western, the default), 1251 (Cyrillic), 932 or UTF-8, for both.
    void SetAnsiCodePage(UINT codePage) { system.SetAnsiCodePage(codePage); }
};

} // namespace emulation
