#include "ProcessPaths.h"

#include <algorithm>
#include <vector>

namespace platform {

std::wstring RunningProgramPath(SystemApi& system) {
    // A path that fills the buffer may have been cut: try again with more room.
    for (DWORD size = 260;; size *= 2) {
        std::vector<wchar_t> buffer(size);
        const DWORD length = system.GetModuleFileNameW(nullptr, buffer.data(), size);
        if (length < size || size >= 32768) {
            return std::wstring(buffer.data(), length < size ? length : 0);
        }
    }
}

std::wstring DirectoryPart(const std::wstring& path) {
    const auto end = path.find_last_of(L"\\:");
    return end == std::wstring::npos ? std::wstring() : path.substr(0, end + 1);
}

std::wstring FileNamePart(const std::wstring& path) {
    return path.substr(DirectoryPart(path).size());
}

std::wstring ShortPath(SystemApi& system, const std::wstring& longPath) {
    wchar_t buffer[256];
    const DWORD length = system.GetShortPathNameW(longPath.c_str(), buffer, 256);
    if (length == 0 || length >= 256) {
        return longPath;
    }
    return std::wstring(buffer, length);
}

std::optional<std::string> ToAnsi(SystemApi& system, const std::wstring& text) {
    if (text.empty()) {
        return std::string();
    }
    // A UTF-8 code page spells everything, but refuses the used-default flag:
    // there, only a broken surrogate makes the conversion fail.
    const bool utf8 = system.GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* const defaulted = utf8 ? nullptr : &usedDefault;
    const auto length = static_cast<int>(text.size());
    const int size = system.WideCharToMultiByte(CP_ACP, flags, text.data(), length, nullptr, 0,
                                                nullptr, defaulted);
    if (size <= 0 || usedDefault) {
        return std::nullopt;
    }
    std::string converted(static_cast<std::size_t>(size), '\0');
    if (system.WideCharToMultiByte(CP_ACP, flags, text.data(), length, converted.data(), size,
                                   nullptr, defaulted) != size ||
        usedDefault) {
        return std::nullopt;
    }
    return converted;
}

std::wstring FromAnsi(SystemApi& system, const std::string& text) {
    const auto length = static_cast<int>(text.size());
    const int size = text.empty() ? 0
                                  : system.MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS,
                                                               text.data(), length, nullptr, 0);
    std::wstring converted(static_cast<std::size_t>(std::max(size, 0)), L'\0');
    if (size > 0 && system.MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), length,
                                               converted.data(), size) != size) {
        converted.clear();
    }
    return converted;
}

std::wstring WithoutLongPathPrefix(const std::wstring& path) {
    const std::wstring prefix = L"\\\\?\\";
    if (path.compare(0, prefix.size(), prefix) != 0) {
        return path;
    }
    const std::wstring share = L"UNC\\";
    return path.compare(prefix.size(), share.size(), share) == 0
               ? L"\\\\" + path.substr(prefix.size() + share.size())
               : path.substr(prefix.size());
}

} // namespace platform
