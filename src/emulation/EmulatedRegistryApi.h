// An in-memory registry that answers the registry seam as Windows does, for
// everything the wrapper can reach, and that can be told to fail. Like Wine it
// grants every right until it is given a profile of Windows' default rights;
// like both it checks each handle's access against the call made with it.
#pragma once

#include "platform/KeyTree.h"
#include "platform/RegistryApi.h"
#include "platform/SystemApi.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace emulation {

using platform::RegistryApi;

enum class RegistryCall {
    CreateKey,
    OpenKey,
    CloseKey,
    QueryValue,
    SetValue,
    QueryInfoKey,
    EnumKey,
    EnumValue,
    DeleteKey,
    DeleteValue
};

// The rights a Windows account has by default, for the keys the program uses.
enum class RightsProfile {
    StandardUser,          // the machine's hive (and so its classes) read-only
    ElevatedAdministrator, // everything, but for the user's own choices
    LocalSystem            // an administrator's rights; HKEY_CURRENT_USER is HKEY_USERS\.DEFAULT
};

class EmulatedRegistryApi final : public RegistryApi {
  public:
    // Names are spelled in Windows' default ANSI code page, 1252.
    EmulatedRegistryApi();
    // Names are spelled in the code page that system's GetACP reports: one
    // code page for both, as EmulatedWindows keeps them.
    explicit EmulatedRegistryApi(platform::SystemApi& system);
    ~EmulatedRegistryApi() override;

    LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                         REGSAM access, void* security, HKEY* result, DWORD* disposition) override;
    LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access,
                       HKEY* result) override;
    LONG RegCloseKey(HKEY key) override;
    LONG RegQueryValueExA(HKEY key, LPCSTR valueName, DWORD* reserved, DWORD* type, BYTE* data,
                          DWORD* dataSize) override;
    LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                        DWORD dataSize) override;
    LONG RegQueryInfoKeyA(HKEY key, LPSTR keyClass, DWORD* classLength, DWORD* reserved,
                          DWORD* subKeys, DWORD* maxSubKeyLength, DWORD* maxClassLength,
                          DWORD* values, DWORD* maxValueNameLength, DWORD* maxValueLength,
                          DWORD* securityDescriptorSize, FILETIME* lastWriteTime) override;
    LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, DWORD* nameLength, DWORD* reserved,
                       LPSTR keyClass, DWORD* classLength, FILETIME* lastWriteTime) override;
    LONG RegEnumValueA(HKEY key, DWORD index, LPSTR name, DWORD* nameLength, DWORD* reserved,
                       DWORD* type, BYTE* data, DWORD* dataSize) override;
    LONG RegDeleteKeyA(HKEY key, LPCSTR subKey) override;
    LONG RegDeleteKeyExA(HKEY key, LPCSTR subKey, REGSAM view, DWORD reserved) override;
    LONG RegDeleteValueA(HKEY key, LPCSTR valueName) override;

    // Stores the bytes as they are, as a program's Unicode call may: a string
    // without its terminating NUL stays so, which RegSetValueExA would add.
    LONG StoreValueAsIs(HKEY key, const std::string& name, DWORD type, const std::string& data);

    // The n-th call of that function from now on (1 = the next) returns error.
    void FailNthCall(RegistryCall call, int n, LONG error);
    // Every call of that function on the key at keyPath returns error. A path
    // starts with the root's name, e.g. "HKEY_CLASSES_ROOT\.rar".
    void FailCallOnKey(RegistryCall call, const std::string& keyPath, LONG error);
    // Every call answers as it would without the faults told so far.
    void ClearFaults() { faults_.clear(); }
    // Asked by every call, with the call it is, before the call looks at
    // anything: ERROR_SUCCESS lets it go on, any other code is its answer.
    // Through it a test stops a run dead, or has two runs take turns.
    using CallGate = std::function<LONG(RegistryCall)>;
    void SetCallGate(CallGate gate) { gate_ = std::move(gate); }
    // The subtree refuses creation, writing, deletion and opening for write
    // access with ERROR_ACCESS_DENIED, as for a user without that right.
    void MakeReadOnly(const std::string& keyPath);
    // The key's name as the ANSI calls enumerate it: a name the code page
    // cannot spell comes back with "?" in its place, which opens nothing.
    void SetEnumeratedName(const std::string& keyPath, const std::string& spelled);
    // From now on the registry refuses what Windows refuses that account.
    void ApplyProfile(RightsProfile profile);
    // From now on it answers a 32-bit process on 64-bit Windows: the machine's
    // software is redirected to Wow6432Node, but for the keys that are shared.
    void SetWow64Process(bool wow64) { wow64_ = wow64; }

    [[nodiscard]] int CallCount(RegistryCall call) const;
    [[nodiscard]] std::size_t OpenHandleCount() const { return handles_.size(); }

  private:
    // The rights refused on the keys whose path matches: the key itself, or
    // its subtree too. A level "*" matches any name.
    struct AccessRule {
        std::vector<std::string> levels; // folded
        bool subtree;
        REGSAM denied;
    };
    struct Handle {
        platform::KeyRef node;
        REGSAM access;
    };

    struct Fault {
        RegistryCall call;
        int occurrence;      // 0: every occurrence
        std::string keyPath; // upper case; empty: every key
        LONG error;
    };

    // What a call works on: the key its handle names, the levels of its
    // sub-path below that key, and the path of the key they lead to.
    struct Target {
        platform::KeyRef base;
        REGSAM access; // of the handle the call came with
        std::vector<std::string> levels;
        std::string path;
    };

    // The target of a call, or the error it answers, an injected one first.
    LONG Locate(RegistryCall call, HKEY key, LPCSTR subKey, Target& target);
    // For calls on the handle's own key: ERROR_ACCESS_DENIED unless the
    // handle was opened with the needed right.
    LONG Locate(RegistryCall call, HKEY key, REGSAM needed, Target& target);
    LONG Resolve(HKEY key, Target& target) const;
    // For the calls on a handle's own key: gated, located, the right checked.
    LONG OnOwnKey(RegistryCall call, HKEY key, REGSAM needed, platform::KeyRef& node);
    // The Software\Classes key of a hive, made when asked to and not there.
    platform::KeyRef ClassesOf(HKEY hive, bool create);
    // A call on HKEY_CLASSES_ROOT lands in the user's or the machine's classes.
    void MergeClassesView(Target& target);
    // The key a call reaches in the registry view it asks for.
    void ApplyView(Target& target, REGSAM access);
    LONG Injected(RegistryCall call, const std::string& keyPath);
    [[nodiscard]] LONG Gated(RegistryCall call) const {
        return gate_ ? gate_(call) : ERROR_SUCCESS;
    }
    void AddRule(const std::string& keyPath, bool subtree, REGSAM denied);
    [[nodiscard]] REGSAM Denied(const std::string& keyPath) const;
    HKEY NewHandle(const platform::KeyRef& node, REGSAM access);

    std::map<HKEY, platform::KeyRef> roots_;
    std::map<HKEY, Handle> handles_;
    std::vector<Fault> faults_;
    CallGate gate_;
    std::vector<AccessRule> rules_;
    std::map<RegistryCall, int> calls_;
    ULONG_PTR nextHandle_ = 0x100;
    platform::NameLength length_;
    bool wow64_ = false;
};

} // namespace emulation
