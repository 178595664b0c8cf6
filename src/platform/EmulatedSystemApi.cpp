#include "EmulatedSystemApi.h"

#include <cstring>

namespace platform {

DWORD EmulatedSystemApi::GetModuleFileNameA(HMODULE, LPSTR fileName, DWORD size) {
    if (size == 0) {
        return 0;
    }
    // Like Windows: a name that does not fit is cut, terminated, and reported as size.
    const auto length = static_cast<DWORD>(modulePath_.size());
    const DWORD copied = length < size ? length : size - 1;
    std::memcpy(fileName, modulePath_.data(), copied);
    fileName[copied] = '\0';
    return length < size ? length : size;
}

DWORD EmulatedSystemApi::GetShortPathNameA(LPCSTR longPath, LPSTR shortPath, DWORD size) {
    const auto file = files_.find(longPath);
    if (file == files_.end()) {
        return 0;
    }
    const std::string& found = file->second;
    const auto length = static_cast<DWORD>(found.size());
    if (size <= length) {
        return length + 1; // the size needed, with the NUL
    }
    std::memcpy(shortPath, found.c_str(), found.size() + 1);
    return length;
}

void EmulatedSystemApi::SHChangeNotify(LONG eventId, UINT flags, LPCVOID item1, LPCVOID item2) {
    notifications_.push_back({eventId, flags, item1 != nullptr || item2 != nullptr});
}

void EmulatedSystemApi::AddFile(const std::string& longPath, const std::string& shortPath) {
    files_[longPath] = shortPath.empty() ? longPath : shortPath;
}

} // namespace platform
