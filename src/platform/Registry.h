// TRegistry: one root key, at most one open current key, and backslash paths
// that are absolute from the root or relative to the current key. Opening and
// deleting report failure as false; reading and writing raise
// ERegistryException when the registry refuses. The ...Status forms never
// raise: they return the Windows code of the call that decided, so that a
// caller can tell a key that is not there from one it may not touch. Each
// raising form is its status form's one implementation, with the raise added.
#pragma once

#include "Exception.h"
#include "KeyHandle.h"
#include "RegistryApi.h"
#include "RegistryValue.h"

#include <cstdint>
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
    DWORD MaxSubKeyLength; // bytes the name may take, without the terminating NUL
    DWORD ValueCount;
    DWORD MaxValueNameLength;
    DWORD MaxValueSize; // bytes
    FILETIME LastWriteTime;
};

class TRegistry {
  public:
    // Every open and create asks for access; a reader that only reads asks
    // for KEY_READ, which an account may have where it may not write.
    explicit TRegistry(RegistryApi& api = SystemRegistry(), REGSAM access = KEY_ALL_ACCESS);
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    // A new root closes the current key; the same root keeps it.
    void SetRoot(HKEY root);
    // Opens the key and makes it current; true when it was. A refused open
    // leaves the current key as it was.
    bool OpenPath(const std::string& path, bool createAllowed);
    [[nodiscard]] LONG OpenPathStatus(const std::string& path, bool createAllowed);
    void CloseCurrent();
    // The text of a value of the current key; the empty text when it is not
    // there or has no data. Raises ERegistryException when the value is not
    // text or cannot be fetched; one that grew meanwhile is read again.
    std::string ReadText(const std::string& name);
    // The text of a value of the current key: ERROR_FILE_NOT_FOUND when it is
    // not there, ERROR_INVALID_DATATYPE when it is not text, or the refusal.
    // kind, when given, receives the kind of text it was.
    [[nodiscard]] LONG ReadTextStatus(const std::string& name, std::string& text,
                                      ValueKind* kind = nullptr);
    // A value of the current key as it is stored, of any type; ERROR_FILE_NOT_FOUND
    // when it is not there, or the refusal.
    [[nodiscard]] LONG ReadValueStatus(const std::string& name, RegistryValue& value);
    // Stores the value with its type and bytes. The ANSI call gives a string
    // that lacks its final NUL one ("RegSetValueExA").
    [[nodiscard]] LONG WriteValueStatus(const std::string& name, const RegistryValue& value);
    // Stores the text as REG_SZ with its NUL. Raises ERegistryException when
    // the write is refused or no key is current.
    void WriteText(const std::string& name, const std::string& text);
    // Deletes a value of the current key.
    [[nodiscard]] LONG DeleteValueStatus(const std::string& name);
    // Deletes the key with its whole subtree; true when the key is gone. Never
    // the base key itself (an empty sub-path).
    bool DeleteTree(const std::string& path);
    [[nodiscard]] LONG DeleteTreeStatus(const std::string& path);

    [[nodiscard]] HKEY RootHandle() const { return root_; }
    [[nodiscard]] HKEY CurrentHandle() const { return current_.Get(); }
    [[nodiscard]] const std::string& KeyPath() const { return keyPath_; }
    [[nodiscard]] DWORD AccessMask() const { return accessMask_; }

    // The building blocks of the operations above.
    KeyHandle OpenHandle(const std::string& path);
    bool QueryKeySummary(KeySummary& summary);
    // The data size in bytes, or -1 when the value cannot be queried.
    std::int64_t ValueSize(const std::string& name);
    DWORD FetchValue(const std::string& name, void* buffer, DWORD capacity, ValueKind& kind);
    void StoreValue(const std::string& name, const void* data, DWORD size, ValueKind kind);

  private:
    struct ResolvedPath {
        bool relative;
        std::string subPath;
        HKEY base;
    };
    class BorrowedCurrent;

    [[nodiscard]] ResolvedPath Resolve(const std::string& path) const;
    // Opens, or creates, the key below base; a sub-path longer than one call
    // takes is walked in parts.
    LONG OpenOrCreate(HKEY base, const std::string& subPath, bool create, HKEY& key);
    LONG QueryValue(const std::string& name, DWORD& type, void* buffer, DWORD& size);
    // The one reading of a value: its size, then its data, again while it
    // grows between the two calls. sized: the size was told.
    LONG ReadValue(const std::string& name, RegistryValue& value, bool& sized);
    void DeleteSubkeysOfCurrent();

    RegistryApi& api_;
    KeyHandle current_;
    HKEY root_ = HKEY_CURRENT_USER;
    std::string keyPath_;
    DWORD accessMask_;
};

} // namespace platform
