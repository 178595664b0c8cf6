#include "EmulatedSystemApi.h"

#include "RegistryNames.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <iterator>
#include <type_traits>

namespace platform {
namespace {

// The characters a code page spells, by ranges of consecutive code points.
struct CodePageRange {
    UINT codePage;
    wchar_t first, last;
    unsigned char firstByte;
};
constexpr CodePageRange CodePageRanges[] = {
    {1252, 0x00, 0x7F, 0x00},   {1252, 0xA0, 0xFF, 0xA0},   {1251, 0x00, 0x7F, 0x00},
    {1251, 0x401, 0x401, 0xA8}, {1251, 0x410, 0x44F, 0xC0}, {1251, 0x451, 0x451, 0xB8},
    {932, 0x00, 0x7F, 0x00}, // its single bytes only: no path here needs more
};

// The character in the code page: one byte, or in UTF-8 up to four.
bool ToCodePage(UINT codePage, wchar_t c, std::string& bytes) {
    if (codePage == CP_UTF8) {
        const auto code = static_cast<std::uint32_t>(static_cast<std::make_unsigned_t<wchar_t>>(c));
        if (code < 0x80) {
            bytes += static_cast<char>(code);
        } else if (code < 0x800) {
            bytes += static_cast<char>(0xC0 | (code >> 6));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            bytes += static_cast<char>(0xE0 | (code >> 12));
            bytes += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        }
        return true;
    }
    const auto* range =
        std::find_if(std::begin(CodePageRanges), std::end(CodePageRanges), [&](const auto& r) {
            return r.codePage == codePage && c >= r.first && c <= r.last;
        });
    if (range == std::end(CodePageRanges)) {
        return false;
    }
    bytes += static_cast<char>(range->firstByte + (c - range->first));
    return true;
}

// Like Windows: a text that does not fit is cut, terminated, and reported as size.
DWORD CopyCut(const std::wstring& text, LPWSTR out, DWORD size) {
    if (size == 0) {
        return 0;
    }
    const auto length = static_cast<DWORD>(text.size());
    const DWORD copied = std::min(length, size - 1);
    std::copy_n(text.begin(), copied, out);
    out[copied] = L'\0';
    return length < size ? length : size;
}

} // namespace

DWORD EmulatedSystemApi::GetModuleFileNameW(HMODULE, LPWSTR fileName, DWORD size) {
    return CopyCut(modulePath_, fileName, size);
}

DWORD EmulatedSystemApi::GetShortPathNameW(LPCWSTR longPath, LPWSTR shortPath, DWORD size) {
    const auto file = files_.find(longPath);
    if (file == files_.end()) {
        return 0;
    }
    const std::wstring& found = file->second;
    const auto length = static_cast<DWORD>(found.size());
    if (size <= length) {
        return length + 1; // the size needed, with the NUL
    }
    std::copy_n(found.c_str(), found.size() + 1, shortPath);
    return length;
}

DWORD EmulatedSystemApi::GetFileAttributesW(LPCWSTR path) {
    return files_.count(path) ? FILE_ATTRIBUTE_NORMAL : INVALID_FILE_ATTRIBUTES;
}

// What a folder made under Program Files by an installer holds, and what it
// gives its files: changed only by the system, TrustedInstaller and
// Administrators; read and run by Users and by app packages.
constexpr const wchar_t* ProgramFilesSecurity =
    L"O:BAD:AI(A;ID;FA;;;S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464)"
    L"(A;ID;FA;;;SY)(A;ID;FA;;;BA)(A;ID;0x1200a9;;;BU)(A;ID;0x1200a9;;;AC)";

bool EmulatedSystemApi::GetFileSecurityText(LPCWSTR path, std::wstring& text) {
    const auto set = security_.find(path);
    if (set == security_.end()) {
        text = ProgramFilesSecurity;
        return true;
    }
    text = set->second.value_or(L"");
    return set->second.has_value();
}

UINT EmulatedSystemApi::GetDriveTypeW(LPCWSTR rootPath) {
    return remoteDrives_.find(rootPath[0]) == std::wstring::npos ? DRIVE_FIXED : DRIVE_REMOTE;
}

DWORD EmulatedSystemApi::GetFileAttributesA(LPCSTR path) {
    // A file is found by its long or its short path, as the code page spells them.
    const auto spells = [&](const std::wstring& wide) {
        std::string ansi;
        for (const wchar_t c : wide) {
            if (!ToCodePage(codePage_, c, ansi)) {
                return false;
            }
        }
        return SameName(ansi, path);
    };
    const bool found = std::any_of(files_.begin(), files_.end(), [&](const auto& file) {
        return spells(file.first) || spells(file.second);
    });
    return found ? FILE_ATTRIBUTE_NORMAL : INVALID_FILE_ATTRIBUTES;
}

void EmulatedSystemApi::SetEnvironmentVariable(const std::string& name, const std::string& value) {
    environment_[FoldedName(name)] = value;
}

// Like Windows: %name% of a variable that is set becomes its value; any other
// text, an unknown %name% included, stays as it is.
DWORD EmulatedSystemApi::ExpandEnvironmentStringsA(LPCSTR source, LPSTR expanded, DWORD size) {
    const std::string text = source;
    std::string result;
    std::size_t at = 0;
    while (at < text.size()) {
        const auto open = text.find('%', at);
        const auto close = open == std::string::npos ? open : text.find('%', open + 1);
        if (close == std::string::npos) {
            result += text.substr(at);
            break;
        }
        const auto variable =
            environment_.find(FoldedName(text.substr(open + 1, close - open - 1)));
        if (variable == environment_.end()) {
            result += text.substr(at, close - at); // the second % may open a name
            at = close;
            continue;
        }
        result += text.substr(at, open - at) + variable->second;
        at = close + 1;
    }
    const auto needed = static_cast<DWORD>(result.size() + 1);
    if (expanded && size >= needed) {
        std::copy_n(result.c_str(), needed, expanded);
    }
    return needed;
}

int EmulatedSystemApi::WideCharToMultiByte(UINT codePage, DWORD, LPCWSTR wide, int wideLength,
                                           LPSTR narrow, int narrowSize, LPCSTR defaultChar,
                                           LPBOOL usedDefault) {
    const UINT used = codePage == CP_ACP ? codePage_ : codePage;
    // Like Windows, UTF-8 takes no default character and reports none.
    const bool utf8 = used == CP_UTF8;
    if (used != codePage_ || !wide || (utf8 && (defaultChar || usedDefault))) {
        return 0;
    }
    // -1: up to and with the terminating NUL. No best fit is ever made.
    const std::wstring text = wideLength < 0 ? std::wstring(wide, std::wcslen(wide) + 1)
                                             : std::wstring(wide, static_cast<size_t>(wideLength));
    std::string converted;
    bool defaulted = false;
    for (wchar_t c : text) {
        if (!ToCodePage(used, c, converted)) {
            converted += defaultChar ? *defaultChar : '?';
            defaulted = true;
        }
    }
    if (usedDefault) {
        *usedDefault = defaulted;
    }
    const auto length = static_cast<int>(converted.size());
    if (narrowSize == 0) {
        return length;
    }
    if (narrowSize < length) {
        return 0;
    }
    std::copy(converted.begin(), converted.end(), narrow);
    return length;
}

bool EmulatedSystemApi::SHChangeNotify(LONG eventId, UINT flags, LPCVOID item1, LPCVOID item2) {
    notifications_.push_back({eventId, flags, item1 != nullptr || item2 != nullptr});
    return true;
}

bool EmulatedSystemApi::ShellExecuteA(LPCSTR verb, LPCSTR file, int) {
    const std::string link = std::string(verb ? verb : "") + " " + file;
    executed_.push_back(link);
    return std::find(answered_.begin(), answered_.end(), link) != answered_.end();
}

void EmulatedSystemApi::AddFile(const std::wstring& longPath, const std::wstring& shortPath) {
    files_[longPath] = shortPath.empty() ? longPath : shortPath;
}

std::string EmulatedSystemApi::AccountName(const std::string& sid) {
    const auto found = accounts_.find(sid);
    return found == accounts_.end() ? std::string() : found->second;
}

} // namespace platform
