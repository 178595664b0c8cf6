// An in-memory registry that answers the registry seam as Windows does, for
// everything the wrapper can reach, and that can be told to fail.
#pragma once

#include "RegistryApi.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace platform {

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

class EmulatedRegistryApi final : public RegistryApi {
  public:
    EmulatedRegistryApi();
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
    LONG RegDeleteValueA(HKEY key, LPCSTR valueName) override;
    bool IsDoubleByteCodePage() override { return doubleByte_; }

    void SetDoubleByteCodePage(bool doubleByte) { doubleByte_ = doubleByte; }

    // The n-th call of that function from now on (1 = the next) returns error.
    void FailNthCall(RegistryCall call, int n, LONG error);
    // Every call of that function on the key at keyPath returns error. A path
    // starts with the root's name, e.g. "HKEY_CLASSES_ROOT\.rar".
    void FailCallOnKey(RegistryCall call, const std::string& keyPath, LONG error);
    // The subtree refuses creation, writing, deletion and opening for write
    // access with ERROR_ACCESS_DENIED, as for a user without that right.
    void MakeReadOnly(const std::string& keyPath);

    int CallCount(RegistryCall call) const;
    std::size_t OpenHandleCount() const { return handles_.size(); }

    struct Node;

  private:
    struct Fault {
        RegistryCall call;
        int occurrence;      // 0: every occurrence
        std::string keyPath; // upper case; empty: every key
        LONG error;
    };

    // What a call works on: the key its handle names, the levels of its
    // sub-path below that key, and the path of the key they lead to.
    struct Target {
        std::shared_ptr<Node> base;
        std::vector<std::string> levels;
        std::string path;
    };

    // The target of a call, or the error it answers, an injected one first.
    LONG Locate(RegistryCall call, HKEY key, LPCSTR subKey, Target& target);
    LONG Resolve(HKEY key, std::shared_ptr<Node>& node) const;
    LONG Injected(RegistryCall call, const std::string& keyPath);
    bool IsReadOnly(const std::string& keyPath) const;
    HKEY NewHandle(const std::shared_ptr<Node>& node);

    std::map<HKEY, std::shared_ptr<Node>> roots_;
    std::map<HKEY, std::shared_ptr<Node>> handles_;
    std::vector<Fault> faults_;
    std::vector<std::string> readOnly_;
    std::map<RegistryCall, int> calls_;
    ULONG_PTR nextHandle_ = 0x100;
    bool doubleByte_ = false;
};

} // namespace platform
