// The process and shell seam on Windows: kernel32, shell32 (with ole32)
// loaded when the shell is first told or asked something, and advapi32 for
// files' security and the process's account. A program that imported shell32 would
// load it, and everything it loads, at every start: that doubles a console program's start-up time,
// for a call made once, after the work is done.
#include "LateBinding.h"
#include "ProcessPaths.h"
#include "SystemApi.h"

#include <aclapi.h>
#include <objbase.h>
#include <sddl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstddef>
#include <memory>
#include <type_traits>
#include <vector>

namespace platform {
namespace {

class WinSystemApi final : public SystemApi {
  public:
    DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size) override {
        return ::GetModuleFileNameW(module, fileName, size);
    }
    DWORD GetShortPathNameW(LPCWSTR longPath, LPWSTR shortPath, DWORD size) override {
        return ::GetShortPathNameW(longPath, shortPath, size);
    }
    DWORD GetFileAttributesW(LPCWSTR path) override { return ::GetFileAttributesW(path); }
    DWORD GetFileAttributesA(LPCSTR path) override { return ::GetFileAttributesA(path); }
    bool GetFileSecurityText(LPCWSTR path, std::wstring& text) override;
    UINT GetDriveTypeW(LPCWSTR rootPath) override { return ::GetDriveTypeW(rootPath); }
    std::unique_ptr<WritableFile> OpenWritableFile(LPCWSTR path, FileOpening opening, bool atName,
                                                   bool& created, DWORD& error) override;
    bool GetFileFacts(LPCWSTR path, bool atName, FileFacts& facts) override;
    std::wstring GetFullPathNameW(LPCWSTR path) override;
    std::unique_ptr<HeldFolder> HoldFolder(LPCWSTR path, bool atName) override;
    DWORD ExpandEnvironmentStringsA(LPCSTR source, LPSTR expanded, DWORD size) override {
        return ::ExpandEnvironmentStringsA(source, expanded, size);
    }
    UINT GetACP() override { return ::GetACP(); }
    int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR narrow,
                            int narrowSize, LPCSTR defaultChar, LPBOOL usedDefault) override {
        return ::WideCharToMultiByte(codePage, flags, wide, wideLength, narrow, narrowSize,
                                     defaultChar, usedDefault);
    }
    int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR narrow, int narrowLength,
                            LPWSTR wide, int wideSize) override {
        return ::MultiByteToWideChar(codePage, flags, narrow, narrowLength, wide, wideSize);
    }
    bool SHChangeNotify(LONG eventId, UINT flags, LPCVOID item1, LPCVOID item2) override {
        if (!shell_.Bind(changeNotify_, "SHChangeNotify")) {
            return false;
        }
        changeNotify_(eventId, flags, item1, item2);
        return true;
    }
    // The shell may hand the link to a handler activated through COM, so COM
    // is initialised around the call, as the ShellExecute page asks.
    bool ShellExecuteA(LPCSTR verb, LPCSTR file, int showCommand) override {
        if (!shell_.Bind(execute_, "ShellExecuteA")) {
            return false;
        }
        const bool com =
            com_.Bind(initialize_, "CoInitializeEx") &&
            com_.Bind(uninitialize_, "CoUninitialize") &&
            SUCCEEDED(initialize_(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
        const auto result =
            reinterpret_cast<INT_PTR>(execute_(nullptr, verb, file, nullptr, nullptr, showCommand));
        if (com) {
            uninitialize_();
        }
        return result > 32;
    }

    std::string ProcessUserSid() override;
    std::string AccountName(const std::string& sid) override;
    std::string ComputerName() override;

    // What the open handle shows.
    bool HandleFacts(HANDLE handle, FileFacts& facts);

  private:
    bool SecurityText(PSECURITY_DESCRIPTOR descriptor, std::wstring& text);
    SystemLibrary shell_{L"shell32.dll"};
    SystemLibrary com_{L"ole32.dll"};
    SystemLibrary advapi_{L"advapi32.dll"};
    decltype(&::GetNamedSecurityInfoW) namedSecurity_ = nullptr;
    decltype(&::GetSecurityInfo) handleSecurity_ = nullptr;
    decltype(&::ConvertSecurityDescriptorToStringSecurityDescriptorW) toText_ = nullptr;
    decltype(&::OpenProcessToken) openToken_ = nullptr;
    decltype(&::GetTokenInformation) tokenInformation_ = nullptr;
    decltype(&::ConvertSidToStringSidA) sidToText_ = nullptr;
    decltype(&::ConvertStringSidToSidA) textToSid_ = nullptr;
    decltype(&::LookupAccountSidA) lookupAccount_ = nullptr;
    decltype(&::SHChangeNotify) changeNotify_ = nullptr;
    decltype(&::ShellExecuteA) execute_ = nullptr;
    decltype(&::CoInitializeEx) initialize_ = nullptr;
    decltype(&::CoUninitialize) uninitialize_ = nullptr;
};

struct LocalFreeDeleter {
    void operator()(void* memory) const { ::LocalFree(memory); }
};
template <typename T>
using LocalMemory = std::unique_ptr<std::remove_pointer_t<T>, LocalFreeDeleter>;

constexpr SECURITY_INFORMATION OwnerAndAccessList =
    OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;

bool WinSystemApi::SecurityText(PSECURITY_DESCRIPTOR read, std::wstring& text) {
    const LocalMemory<PSECURITY_DESCRIPTOR> descriptor(read);
    LPWSTR converted = nullptr;
    if (!advapi_.Bind(toText_, "ConvertSecurityDescriptorToStringSecurityDescriptorW") ||
        !toText_(descriptor.get(), SDDL_REVISION_1, OwnerAndAccessList, &converted, nullptr)) {
        return false;
    }
    const LocalMemory<LPWSTR> owned(converted);
    text = owned.get();
    return true;
}

bool WinSystemApi::GetFileSecurityText(LPCWSTR path, std::wstring& text) {
    PSECURITY_DESCRIPTOR read = nullptr;
    return advapi_.Bind(namedSecurity_, "GetNamedSecurityInfoW") &&
           namedSecurity_(path, SE_FILE_OBJECT, OwnerAndAccessList, nullptr, nullptr, nullptr,
                          nullptr, &read) == ERROR_SUCCESS &&
           SecurityText(read, text);
}

struct HandleCloser {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};

std::string WinSystemApi::ProcessUserSid() {
    HANDLE opened = nullptr;
    if (!advapi_.Bind(openToken_, "OpenProcessToken") ||
        !advapi_.Bind(tokenInformation_, "GetTokenInformation") ||
        !advapi_.Bind(sidToText_, "ConvertSidToStringSidA") ||
        !openToken_(::GetCurrentProcess(), TOKEN_QUERY, &opened)) {
        return {};
    }
    const std::unique_ptr<void, HandleCloser> token(opened);
    DWORD size = 0;
    tokenInformation_(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    LPSTR text = nullptr;
    if (size == 0 || !tokenInformation_(token.get(), TokenUser, user.data(), size, &size) ||
        !sidToText_(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &text)) {
        return {};
    }
    const LocalMemory<LPSTR> owned(text);
    return owned.get();
}

std::string WinSystemApi::AccountName(const std::string& sid) {
    PSID converted = nullptr;
    if (!advapi_.Bind(textToSid_, "ConvertStringSidToSidA") ||
        !advapi_.Bind(lookupAccount_, "LookupAccountSidA") ||
        !textToSid_(sid.c_str(), &converted)) {
        return {};
    }
    const LocalMemory<PSID> owned(converted);
    char name[256] = {};
    char domain[256] = {};
    DWORD nameSize = sizeof name;
    DWORD domainSize = sizeof domain;
    SID_NAME_USE use{};
    if (!lookupAccount_(nullptr, owned.get(), name, &nameSize, domain, &domainSize, &use)) {
        return {};
    }
    return domainSize ? std::string(domain) + "\\" + name : std::string(name);
}

std::string WinSystemApi::ComputerName() {
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    return ::GetComputerNameA(name, &size) ? std::string(name, size) : std::string();
}

using Handle = std::unique_ptr<void, HandleCloser>;

bool WinSystemApi::HandleFacts(HANDLE handle, FileFacts& facts) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(handle, &information)) {
        return false;
    }
    facts.attributes = information.dwFileAttributes;
    facts.links = information.nNumberOfLinks;
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetFinalPathNameByHandleW(
            handle, path.data(), static_cast<DWORD>(path.size()), VOLUME_NAME_DOS);
        if (length == 0) {
            return false;
        }
        if (length < path.size()) {
            facts.finalPath.assign(path.data(), length);
            break;
        }
        path.resize(length);
    }
    facts.finalPath = WithoutLongPathPrefix(facts.finalPath);
    PSECURITY_DESCRIPTOR read = nullptr;
    if (!advapi_.Bind(handleSecurity_, "GetSecurityInfo") ||
        handleSecurity_(handle, SE_FILE_OBJECT, OwnerAndAccessList, nullptr, nullptr, nullptr,
                        nullptr, &read) != ERROR_SUCCESS ||
        !SecurityText(read, facts.security)) {
        facts.security.clear();
    }
    return true;
}

class WinHeldFolder final : public HeldFolder {
  public:
    WinHeldFolder(WinSystemApi& system, HANDLE folder) : system_(system), folder_(folder) {}
    bool Facts(FileFacts& facts) override { return system_.HandleFacts(folder_.get(), facts); }
    HANDLE Get() const { return folder_.get(); }

  private:
    WinSystemApi& system_;
    Handle folder_;
};

class WinWritableFile final : public WritableFile {
  public:
    WinWritableFile(WinSystemApi& system, HANDLE file) : system_(system), file_(file) {}
    bool Facts(FileFacts& facts) override { return system_.HandleFacts(file_.get(), facts); }
    bool Write(const std::string& bytes) override {
        DWORD written = 0;
        return ::WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                           nullptr) &&
               written == bytes.size();
    }
    // Through this handle, which was opened with DELETE: never by name, which
    // another file may have taken meanwhile. (Opened again for DELETE, a handle
    // that does not share delete would refuse it: ERROR_SHARING_VIOLATION.)
    // The file goes when the handle closes ("FILE_DISPOSITION_INFO").
    bool Delete() override {
        FILE_DISPOSITION_INFO disposition{TRUE};
        return ::SetFileInformationByHandle(file_.get(), FileDispositionInfo, &disposition,
                                            sizeof disposition) != FALSE;
    }

    // Relative to the held folder's handle: no path is looked up again, so
    // nothing put in the folder's place meanwhile can receive it
    // ("FILE_RENAME_INFORMATION": RootDirectory and a file name alone). Wine
    // takes no RootDirectory (ERROR_INVALID_PARAMETER, as measured): there the
    // held folder's final path is named, which cannot change while it is held.
    bool RenameInto(HeldFolder& folder, const std::wstring& name) override {
        if (Rename(static_cast<WinHeldFolder&>(folder).Get(), name)) {
            return true;
        }
        FileFacts facts;
        if (::GetLastError() != ERROR_INVALID_PARAMETER || !folder.Facts(facts)) {
            return false;
        }
        const bool root = !facts.finalPath.empty() && facts.finalPath.back() == L'\\';
        return Rename(nullptr, L"\\\\?\\" + facts.finalPath + (root ? L"" : L"\\") + name);
    }

  private:
    bool Rename(HANDLE rootDirectory, const std::wstring& name) {
        const std::size_t nameBytes = name.size() * sizeof(wchar_t);
        std::vector<unsigned char> buffer(offsetof(FILE_RENAME_INFO, FileName) + nameBytes +
                                          sizeof(wchar_t));
        auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
        rename->ReplaceIfExists = TRUE;
        rename->RootDirectory = rootDirectory;
        rename->FileNameLength = static_cast<DWORD>(nameBytes);
        std::copy(name.begin(), name.end(), rename->FileName);
        return ::SetFileInformationByHandle(file_.get(), FileRenameInfo, rename,
                                            static_cast<DWORD>(buffer.size())) != FALSE;
    }

    WinSystemApi& system_;
    Handle file_;
};

// With FILE_APPEND_DATA alone every write goes to the file's end as it is
// then ("File Access Rights Constants"), so runs that log at once each add a
// whole line, never half of one; others may read and append meanwhile.
// CREATE_NEW refuses a name that is there in the same call that makes it.
std::unique_ptr<WritableFile> WinSystemApi::OpenWritableFile(LPCWSTR path, FileOpening opening,
                                                             bool atName, bool& created,
                                                             DWORD& error) {
    const bool append = opening == FileOpening::Append;
    const DWORD access =
        (append ? FILE_APPEND_DATA : GENERIC_WRITE) | FILE_READ_ATTRIBUTES | READ_CONTROL;
    const auto open = [&](DWORD rights) {
        return ::CreateFileW(path, rights, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             append ? OPEN_ALWAYS : CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL | (atName ? FILE_FLAG_OPEN_REPARSE_POINT : 0),
                             nullptr);
    };
    // With DELETE, so that a file this open made can go again by its handle.
    // A log that others made may grant appending alone: it is then opened so.
    HANDLE file = open(access | DELETE);
    error = ::GetLastError();
    if (file == INVALID_HANDLE_VALUE && append && error == ERROR_ACCESS_DENIED) {
        file = open(access);
        error = ::GetLastError();
    }
    if (file == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    created = !append || error != ERROR_ALREADY_EXISTS;
    return std::make_unique<WinWritableFile>(*this, file);
}

// Without FILE_SHARE_DELETE: renaming or deleting the folder, or one above
// it, is refused while it is held; files inside are made and renamed as usual.
std::unique_ptr<HeldFolder> WinSystemApi::HoldFolder(LPCWSTR path, bool atName) {
    const HANDLE folder = ::CreateFileW(
        path, FILE_READ_ATTRIBUTES | READ_CONTROL | FILE_TRAVERSE,
        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS | (atName ? FILE_FLAG_OPEN_REPARSE_POINT : 0), nullptr);
    if (folder == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    return std::make_unique<WinHeldFolder>(*this, folder);
}

bool WinSystemApi::GetFileFacts(LPCWSTR path, bool atName, FileFacts& facts) {
    const Handle opened(::CreateFileW(
        path, FILE_READ_ATTRIBUTES | READ_CONTROL,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS | (atName ? FILE_FLAG_OPEN_REPARSE_POINT : 0), nullptr));
    return opened.get() != INVALID_HANDLE_VALUE && HandleFacts(opened.get(), facts);
}

std::wstring WinSystemApi::GetFullPathNameW(LPCWSTR path) {
    std::vector<wchar_t> full(MAX_PATH);
    for (;;) {
        const DWORD length =
            ::GetFullPathNameW(path, static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length < full.size()) {
            return std::wstring(full.data(), length);
        }
        full.resize(length);
    }
}

WinSystemApi systemServices; // at namespace scope: no thread-safe guard

} // namespace

SystemApi& SystemServices() {
    return systemServices;
}

} // namespace platform
