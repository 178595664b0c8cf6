// What the emulated registry's files share: the rights a key can grant, and
// how a rule, a fault or the view tells the key a path names.
#pragma once

#include "platform/WinTypes.h"

#include <string>
#include <vector>

namespace emulation {

// The rights of a key, as "Registry Key Security and Access Rights" lists them
// (learn.microsoft.com/windows/win32/sysinfo/registry-key-security-and-access-rights).
constexpr REGSAM QueryValueRight = 0x0001, SetValueRight = 0x0002, CreateSubKey = 0x0004,
                 EnumerateSubKeys = 0x0008, CreateLink = 0x0020, Delete = 0x00010000,
                 WriteDac = 0x00040000, WriteOwner = 0x00080000;
constexpr REGSAM WriteAccess =
    SetValueRight | CreateSubKey | CreateLink | Delete | WriteDac | WriteOwner;
constexpr REGSAM AllAccess = 0x000F003F;

// A path's levels, folded.
std::vector<std::string> Levels(const std::string& path);
// A path below HKEY_CLASSES_ROOT names the machine's classes, where the view
// puts new keys: rules and faults are told by the keys they land in.
std::string StoredPath(const std::string& keyPath);

} // namespace emulation
