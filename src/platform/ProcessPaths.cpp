#include "ProcessPaths.h"

#include <vector>

namespace platform {

std::string RunningProgramPath(SystemApi& system) {
    // A path that fills the buffer may have been cut: try again with more room.
    for (DWORD size = 260;; size *= 2) {
        std::vector<char> buffer(size);
        const DWORD length = system.GetModuleFileNameA(nullptr, buffer.data(), size);
        if (length < size || size >= 32768) {
            return std::string(buffer.data(), length < size ? length : 0);
        }
    }
}

std::string DirectoryPart(const std::string& path) {
    const auto end = path.find_last_of("\\:");
    return end == std::string::npos ? std::string() : path.substr(0, end + 1);
}

std::string FileNamePart(const std::string& path) {
    return path.substr(DirectoryPart(path).size());
}

std::string ShortPath(SystemApi& system, const std::string& longPath) {
    char buffer[256];
    const DWORD length = system.GetShortPathNameA(longPath.c_str(), buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer) {
        return longPath;
    }
    return std::string(buffer, length);
}

} // namespace platform
