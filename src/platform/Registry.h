// TRegistry: one root key, at most one open current key, and backslash paths
// that are absolute from the root or relative to the current key. Opening and
// deleting report failure as false; reading and writing raise
// ERegistryException when the registry refuses.
#pragma once

#include "Exception.h"
#include "KeyHandle.h"
#include "RegistryApi.h"

#include <string>

namespace platform {

class ERegistryException : public Exception {
  public:
    using Exception::Exception;
};

// The wrapper's own classification of a value's stored type.
enum class ValueKind { Other = 0, String = 1, ExpandString = 2, Integer = 3, Binary = 4 };

DWORD PlatformType(ValueKind kind);
ValueKind KindOfPlatformType(DWORD type);

struct KeySummary {
    DWORD SubKeyCount;
    DWORD MaxSubKeyLength; // characters, without the terminating NUL
    DWORD ValueCount;
    DWORD MaxValueNameLength;
    DWORD MaxValueSize; // bytes
    FILETIME LastWriteTime;
};

class TRegistry {
  public:
    explicit TRegistry(RegistryApi& api = SystemRegistry());
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    void SetRoot(HKEY root);
    bool OpenPath(const std::string& path, bool createAllowed);
    void CloseCurrent();
    std::string ReadText(const std::string& name);
    void WriteText(const std::string& name, const std::string& text);
    bool DeleteTree(const std::string& path);
    // Whether the key is there, also when it may not be opened for writing.
    bool KeyExists(const std::string& path);

    HKEY RootHandle() const { return root_; }
    HKEY CurrentHandle() const { return current_.Get(); }
    const std::string& KeyPath() const { return keyPath_; }
    DWORD AccessMask() const { return accessMask_; }

    // The building blocks of the operations above.
    KeyHandle OpenHandle(const std::string& path);
    bool QueryKeySummary(KeySummary& summary);
    long ValueSize(const std::string& name);
    DWORD FetchValue(const std::string& name, void* buffer, DWORD capacity, ValueKind& kind);
    void StoreValue(const std::string& name, const void* data, DWORD size, ValueKind kind);

  private:
    struct ResolvedPath {
        bool relative;
        std::string subPath;
        HKEY base;
    };
    class BorrowedCurrent;

    ResolvedPath Resolve(const std::string& path) const;
    void DeleteSubkeysOfCurrent();

    RegistryApi& api_;
    KeyHandle current_;
    HKEY root_ = HKEY_CURRENT_USER;
    std::string keyPath_;
    DWORD accessMask_ = KEY_ALL_ACCESS;
};

} // namespace platform
