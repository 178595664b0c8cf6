#include "EmulatedSystemApi.h"

#include "CodePages.h"

#include "platform/ProcessPaths.h"
#include "platform/RegistryNames.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <type_traits>

namespace emulation {

using namespace platform;
namespace {

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

// Like Windows' conversions: with no room, the size needed; nothing when the
// text does not fit; else the characters copied.
template <typename Text, typename Character>
int ToCallersBuffer(const Text& converted, Character* out, int size) {
    const auto length = static_cast<int>(converted.size());
    if (size == 0) {
        return length;
    }
    if (size < length) {
        return 0;
    }
    std::copy(converted.begin(), converted.end(), out);
    return length;
}

} // namespace

DWORD EmulatedSystemApi::GetModuleFileNameW(HMODULE, LPWSTR fileName, DWORD size) {
    return CopyCut(modulePath_, fileName, size);
}

DWORD EmulatedSystemApi::GetShortPathNameW(LPCWSTR longPath, LPWSTR shortPath, DWORD size) {
    lookedUp_.emplace_back(longPath);
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

// Links on the way are followed, as Windows follows them: where they lead is
// looked up too.
DWORD EmulatedSystemApi::GetFileAttributesW(LPCWSTR path) {
    lookedUp_.emplace_back(path);
    const std::wstring resolved = Resolved(path);
    if (resolved != path) {
        lookedUp_.push_back(resolved);
    }
    return files_.count(path) || files_.count(resolved) || names_.count(resolved)
               ? FILE_ATTRIBUTE_NORMAL
               : INVALID_FILE_ATTRIBUTES;
}

// What a folder made under Program Files by an installer holds, and what it
// gives its files: changed only by the system, TrustedInstaller and
// Administrators; read and run by Users and by app packages.
constexpr const wchar_t* ProgramFilesSecurity =
    L"O:BAD:AI(A;ID;FA;;;S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464)"
    L"(A;ID;FA;;;SY)(A;ID;FA;;;BA)(A;ID;0x1200a9;;;BU)(A;ID;0x1200a9;;;AC)";

bool EmulatedSystemApi::GetFileSecurityText(LPCWSTR path, std::wstring& text) {
    lookedUp_.emplace_back(path);
    const auto set = security_.find(path);
    if (set == security_.end()) {
        text = ProgramFilesSecurity;
        return true;
    }
    text = set->second.value_or(L"");
    return set->second.has_value();
}

UINT EmulatedSystemApi::GetDriveTypeW(LPCWSTR rootPath) {
    const auto set = driveTypes_.find(rootPath[0]);
    return set == driveTypes_.end() ? DRIVE_FIXED : set->second;
}

DWORD EmulatedSystemApi::GetFileAttributesA(LPCSTR path) {
    lookedUp_.emplace_back(path, path + std::char_traits<char>::length(path));
    const std::wstring resolved = Resolved(lookedUp_.back());
    if (resolved != lookedUp_.back()) {
        lookedUp_.push_back(resolved);
    }
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
    return ToCallersBuffer(converted, narrow, narrowSize);
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

int EmulatedSystemApi::MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR narrow,
                                           int narrowLength, LPWSTR wide, int wideSize) {
    const UINT used = codePage == CP_ACP ? codePage_ : codePage;
    const std::string bytes = narrowLength < 0
                                  ? std::string(narrow, std::strlen(narrow) + 1)
                                  : std::string(narrow, static_cast<size_t>(narrowLength));
    std::wstring converted;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::optional<wchar_t> c =
            used == CP_UTF8 ? FromUtf8(bytes, at)
                            : FromCodePage(used, static_cast<unsigned char>(bytes[at++]));
        if (!c && (flags & MB_ERR_INVALID_CHARS)) {
            return 0;
        }
        converted += c.value_or(L'?');
    }
    return ToCallersBuffer(converted, wide, wideSize);
}

namespace {

bool IsWithin(const std::wstring& path, const std::wstring& top) {
    return path == top || (path.size() > top.size() && path.compare(0, top.size(), top) == 0 &&
                           path[top.size()] == L'\\');
}

// A handle on a file the emulation keeps, or on a link itself.
// Opened without FILE_SHARE_DELETE, as the real side opens it: while it is
// open, no one deletes or renames the file by its name.
class EmulatedWritableFile final : public WritableFile {
  public:
    EmulatedWritableFile(EmulatedSystemApi& system, std::wstring name)
        : system_(system), name_(std::move(name)) {
        ++system_.OpenHandles()[name_];
    }
    ~EmulatedWritableFile() override { --system_.OpenHandles()[name_]; }
    EmulatedWritableFile(const EmulatedWritableFile&) = delete;
    EmulatedWritableFile& operator=(const EmulatedWritableFile&) = delete;
    bool Facts(FileFacts& facts) override {
        const bool link = system_.IsLink(name_);
        const std::wstring file = system_.Names()[name_];
        facts.attributes = link ? FILE_ATTRIBUTE_REPARSE_POINT : FILE_ATTRIBUTE_NORMAL;
        facts.links = static_cast<DWORD>(
            std::count_if(system_.Names().begin(), system_.Names().end(),
                          [&file](const auto& name) { return name.second == file; }));
        facts.finalPath = name_;
        facts.security = system_.SecurityOf(name_);
        return true;
    }
    bool Write(const std::string& bytes) override {
        system_.Contents()[system_.Names()[name_]] += bytes;
        system_.Wrote();
        return true;
    }
    // Through this handle, opened with DELETE: its sharing does not stand in the way.
    bool Delete() override { return system_.Names().erase(name_) != 0; }
    bool RenameInto(platform::HeldFolder& folder, const std::wstring& name) override;

  private:
    EmulatedSystemApi& system_;
    std::wstring name_;
};

// Holds the folder it resolved to when it was opened, wherever its name
// leads later.
class EmulatedHeldFolder final : public platform::HeldFolder {
  public:
    EmulatedHeldFolder(EmulatedSystemApi& system, std::wstring named, bool atName)
        : system_(system), named_(std::move(named)), atName_(atName),
          resolved_(system.Resolved(named_, atName)) {
        ++system_.OpenHandles()[named_];
    }
    ~EmulatedHeldFolder() override { --system_.OpenHandles()[named_]; }
    EmulatedHeldFolder(const EmulatedHeldFolder&) = delete;
    EmulatedHeldFolder& operator=(const EmulatedHeldFolder&) = delete;
    bool Facts(FileFacts& facts) override {
        return system_.GetFileFacts(named_.c_str(), atName_, facts);
    }
    [[nodiscard]] const std::wstring& Resolved() const { return resolved_; }

  private:
    EmulatedSystemApi& system_;
    std::wstring named_;
    bool atName_;
    std::wstring resolved_;
};

bool EmulatedWritableFile::RenameInto(platform::HeldFolder& folder, const std::wstring& name) {
    const std::wstring target = static_cast<EmulatedHeldFolder&>(folder).Resolved() + L"\\" + name;
    system_.Rename(name_, target);
    --system_.OpenHandles()[name_];
    name_ = target;
    ++system_.OpenHandles()[name_];
    return true;
}

} // namespace

std::unique_ptr<platform::HeldFolder> EmulatedSystemApi::HoldFolder(LPCWSTR path, bool atName) {
    lookedUp_.emplace_back(path);
    return std::make_unique<EmulatedHeldFolder>(*this, path, atName);
}

bool EmulatedSystemApi::SwapForLink(const std::wstring& folder, const std::wstring& target) {
    const bool held = std::any_of(openHandles_.begin(), openHandles_.end(), [&](const auto& open) {
        return open.second > 0 && IsWithin(open.first, folder);
    });
    if (!held) {
        links_[folder] = target;
    }
    return !held;
}

std::wstring EmulatedSystemApi::Resolved(const std::wstring& path, bool atName) const {
    if (atName) {
        const std::wstring folder = DirectoryPart(path);
        return folder.size() > 3
                   ? Resolved(folder.substr(0, folder.size() - 1)) + L"\\" + FileNamePart(path)
                   : path;
    }
    std::wstring resolved = path;
    for (int hop = 0; hop < 8; ++hop) { // links may lead to links
        const auto link = std::find_if(links_.begin(), links_.end(),
                                       [&](const auto& l) { return IsWithin(resolved, l.first); });
        if (link == links_.end()) {
            break;
        }
        resolved = link->second + resolved.substr(link->first.size());
    }
    return resolved;
}

std::wstring EmulatedSystemApi::SecurityOf(const std::wstring& path) {
    std::wstring text;
    return GetFileSecurityText(path.c_str(), text) ? text : std::wstring();
}

std::unique_ptr<WritableFile> EmulatedSystemApi::OpenWritableFile(LPCWSTR path, FileOpening opening,
                                                                  bool atName, bool& created,
                                                                  DWORD& error) {
    lookedUp_.emplace_back(path);
    if (std::wcspbrk(path, L"*?<>|\"")) { // names Windows refuses ("Naming Files")
        error = ERROR_INVALID_NAME;
        return nullptr;
    }
    const std::wstring name = Resolved(path, atName);
    const bool there = names_.count(name) != 0 || links_.count(name) != 0;
    created = !there;
    error = there ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS;
    if (there && opening == FileOpening::CreateNew) {
        error = ERROR_FILE_EXISTS;
        return nullptr;
    }
    if (!names_.count(name)) {
        names_[name] = L"file " + std::to_wstring(nextFile_++);
    }
    return std::make_unique<EmulatedWritableFile>(*this, name);
}

bool EmulatedSystemApi::GetFileFacts(LPCWSTR path, bool atName, FileFacts& facts) {
    lookedUp_.emplace_back(path);
    const std::wstring name = Resolved(path, atName);
    const bool file = names_.count(name) != 0 || files_.count(name) != 0;
    facts.attributes = (links_.count(name) ? FILE_ATTRIBUTE_REPARSE_POINT : 0) |
                       (file ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_DIRECTORY);
    facts.links = 1;
    facts.finalPath = name;
    facts.security = SecurityOf(name);
    return true;
}

std::wstring EmulatedSystemApi::GetFullPathNameW(LPCWSTR path) {
    const std::wstring given = path;
    const bool full = given.rfind(L"\\\\", 0) == 0 || (given.size() > 2 && given[1] == L':');
    return full ? given : L"C:\\Windows\\system32\\" + given; // a service's current folder
}

void EmulatedSystemApi::Rename(const std::wstring& source, const std::wstring& target) {
    lookedUp_.emplace_back(target);
    // The name is given to the file: the file it named, and whatever a link
    // there led to, keep their bytes.
    links_.erase(target);
    names_[target] = names_[source];
    names_.erase(source);
}

BOOL EmulatedSystemApi::DeleteFileW(LPCWSTR path) {
    // A handle opened without FILE_SHARE_DELETE refuses it ("CreateFileW":
    // ERROR_SHARING_VIOLATION).
    const std::wstring name = Resolved(path, true);
    if (openHandles_[name] > 0) {
        return FALSE;
    }
    // A file of the machine's (AddFile) goes as one the program wrote does.
    const bool written = names_.erase(name) != 0;
    return written || files_.erase(path) != 0 ? TRUE : FALSE;
}

void EmulatedSystemApi::AddHardLink(const std::wstring& name, const std::wstring& existing) {
    names_[name] = names_.at(Resolved(existing));
}

void EmulatedSystemApi::PutFile(const std::wstring& path, const std::string& bytes) {
    const std::wstring file = L"file " + std::to_wstring(nextFile_++);
    names_[Resolved(path)] = file;
    contents_[file] = bytes;
}

std::optional<std::string> EmulatedSystemApi::FileContents(const std::wstring& path) const {
    const auto name = names_.find(Resolved(path));
    if (name == names_.end()) {
        return std::nullopt;
    }
    const auto bytes = contents_.find(name->second);
    return bytes == contents_.end() ? std::string() : bytes->second;
}

std::string EmulatedSystemApi::AccountName(const std::string& sid) {
    const auto found = accounts_.find(sid);
    return found == accounts_.end() ? std::string() : found->second;
}

} // namespace emulation
