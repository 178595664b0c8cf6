#include "ForwardingSystemApi.h"

#include "ProcessPaths.h"

namespace platform {

DWORD LinkFreeLookups::GetFileAttributesW(LPCWSTR path) {
    const std::wstring whole = path;
    // Each level below the drive's root at its own name, the file's last: the
    // levels above each one have already been found to be no links.
    const std::size_t root = whole.rfind(L"\\\\?\\", 0) == 0 ? 7 : 3;
    for (std::size_t at = whole.find(L'\\', root);; at = whole.find(L'\\', at + 1)) {
        const std::wstring level = whole.substr(0, at);
        FileFacts facts;
        if (!Inner().GetFileFacts(level.c_str(), true, facts)) {
            return INVALID_FILE_ATTRIBUTES;
        }
        if (facts.attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            return FILE_ATTRIBUTE_REPARSE_POINT;
        }
        if (at == std::wstring::npos) {
            return Inner().GetFileAttributesW(path);
        }
    }
}

DWORD LinkFreeLookups::GetFileAttributesA(LPCSTR path) {
    const std::wstring wide = FromAnsi(Inner(), path);
    return wide.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(wide.c_str());
}

} // namespace platform
