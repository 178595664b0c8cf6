// The process and shell seam on Windows: kernel32, shell32 (with ole32)
// loaded when the shell is first told or asked something, and advapi32 for
// files' security and the process's account. A program that imported shell32 would
// load it, and everything it loads, at every start: that doubles a console program's start-up time,
// for a call made once, after the work is done.
#include "LateBinding.h"
#include "SystemApi.h"

#include <aclapi.h>
#include <objbase.h>
#include <sddl.h>
#include <shellapi.h>
#include <shlobj.h>

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
    DWORD ExpandEnvironmentStringsA(LPCSTR source, LPSTR expanded, DWORD size) override {
        return ::ExpandEnvironmentStringsA(source, expanded, size);
    }
    UINT GetACP() override { return ::GetACP(); }
    int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR narrow,
                            int narrowSize, LPCSTR defaultChar, LPBOOL usedDefault) override {
        return ::WideCharToMultiByte(codePage, flags, wide, wideLength, narrow, narrowSize,
                                     defaultChar, usedDefault);
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

  private:
    SystemLibrary shell_{L"shell32.dll"};
    SystemLibrary com_{L"ole32.dll"};
    SystemLibrary advapi_{L"advapi32.dll"};
    decltype(&::GetNamedSecurityInfoW) namedSecurity_ = nullptr;
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

bool WinSystemApi::GetFileSecurityText(LPCWSTR path, std::wstring& text) {
    constexpr SECURITY_INFORMATION parts = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    if (!advapi_.Bind(namedSecurity_, "GetNamedSecurityInfoW") ||
        !advapi_.Bind(toText_, "ConvertSecurityDescriptorToStringSecurityDescriptorW")) {
        return false;
    }
    PSECURITY_DESCRIPTOR read = nullptr;
    if (namedSecurity_(path, SE_FILE_OBJECT, parts, nullptr, nullptr, nullptr, nullptr, &read) !=
        ERROR_SUCCESS) {
        return false;
    }
    const LocalMemory<PSECURITY_DESCRIPTOR> descriptor(read);
    LPWSTR converted = nullptr;
    if (!toText_(descriptor.get(), SDDL_REVISION_1, parts, &converted, nullptr)) {
        return false;
    }
    const LocalMemory<LPWSTR> owned(converted);
    text = owned.get();
    return true;
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

WinSystemApi systemServices; // at namespace scope: no thread-safe guard

} // namespace

SystemApi& SystemServices() {
    return systemServices;
}

} // namespace platform
