// How the registry names things: key and value names compare without regard to
// the letter case of ASCII letters (whatever the locale), paths join levels with
// one backslash, and the predefined roots have their names. Header-only, so that
// the emulation can use it and still link nothing else.
#pragma once

#include "WinTypes.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// A name's length comes in UTF-16 units ("RegQueryInfoKeyA"); in the ANSI code
// page a unit takes up to two bytes in a double-byte code page and three in
// UTF-8 (a surrogate pair four), so a name buffer has three bytes for each.
constexpr DWORD WidestAnsiUnit = 3;
// The longest key name the registry holds, 255 characters ("Registry Element
// Size Limits"), in bytes of any ANSI code page, with the NUL.
constexpr DWORD LongestKeyName = 255 * WidestAnsiUnit + 1;
// The longest sub-path one ANSI call takes: it converts the path into a buffer
// of the thread's that holds 260 UTF-16 units (Wine answers ERROR_MORE_DATA
// past them, as measured). 255 bytes stay within it in every code page.
constexpr std::size_t LongestAnsiSubPath = 255;

// The registry view every key is opened, created and deleted in: the 64-bit
// one, whatever the program's own bitness. A 32-bit program on 64-bit Windows
// would otherwise keep HKEY_LOCAL_MACHINE\\Software\\Kavrex in WOW6432Node,
// where the 64-bit shell does not look ("Registry Keys Affected by WOW64",
// learn.microsoft.com/windows/win32/winprog64/shared-registry-keys; "Accessing
// an Alternate Registry View"). 32-bit Windows ignores the flag.
constexpr REGSAM RegistryView = KEY_WOW64_64KEY;
// The view flag for a call on that key: none on HKEY_CLASSES_ROOT, whose keys
// both views share, and where Wine answers a flag from its own root rather
// than from the one RegOverridePredefKey set.
inline REGSAM ViewFor(HKEY key) {
    return key == HKEY_CLASSES_ROOT ? 0 : RegistryView;
}

// The classes of a hive, below HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER.
constexpr const char* ClassesPath = "Software\\Classes";

inline char FoldName(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

inline std::string FoldedName(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(), FoldName);
    return name;
}

inline bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return FoldName(x) == FoldName(y);
           });
}

// The order of names as the registry sees them, for maps keyed by name.
struct NameLess {
    bool operator()(const std::string& a, const std::string& b) const {
        return std::lexicographical_compare(
            a.begin(), a.end(), b.begin(), b.end(),
            [](char x, char y) { return FoldName(x) < FoldName(y); });
    }
};

// The parent path and the child below it; the child alone below an empty path.
inline std::string JoinPath(const std::string& parent, const std::string& child) {
    if (parent.empty()) {
        return child;
    }
    return child.empty() ? parent : parent + "\\" + child;
}

// The path's levels, with empty levels passed over.
inline std::vector<std::string> PathLevels(const std::string& path) {
    std::vector<std::string> levels;
    for (std::size_t start = 0; start <= path.size();) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        if (end > start) {
            levels.push_back(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return levels;
}

// The path without its last level; empty for a path of one level.
inline std::string ParentPath(const std::string& path) {
    const auto last = path.rfind('\\');
    return last == std::string::npos ? std::string() : path.substr(0, last);
}

// A key of a hive's classes, from the hive's root: Software\\Classes\\key.
inline std::string ClassesKey(const std::string& key) {
    return JoinPath(ClassesPath, key);
}

// Whether path is the key top or lies below it.
inline bool IsWithinPath(const std::string& path, const std::string& top) {
    return top.empty() || (path.size() >= top.size() && SameName(path.substr(0, top.size()), top) &&
                           (path.size() == top.size() || path[top.size()] == '\\'));
}

// The predefined roots that the program names, with their names.
inline std::array<std::pair<HKEY, const char*>, 4> PredefinedRoots() {
    return {{
        {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},
        {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
        {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},
        {HKEY_USERS, "HKEY_USERS"},
    }};
}

// The name of a predefined root key, e.g. "HKEY_LOCAL_MACHINE"; "?" for another key.
inline const char* RootName(HKEY root) {
    for (const auto& [key, name] : PredefinedRoots()) {
        if (key == root) {
            return name;
        }
    }
    return "?";
}

} // namespace platform
