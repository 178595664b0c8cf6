#include "Registry.h"

#include "KeyContents.h"
#include "RegistryNames.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace platform {
namespace {

constexpr const char* SetDataFailed = "Failed to set data for '%s'";
constexpr const char* GetDataFailed = "Failed to get data for '%s'";
constexpr const char* InvalidDataType = "Invalid data type for '%s'";

// Integer and binary data have crossed codes in the two numberings.
struct KindMapping {
    ValueKind kind;
    DWORD type;
};
constexpr KindMapping KindTable[] = {
    {ValueKind::Other, REG_NONE},
    {ValueKind::String, REG_SZ},
    {ValueKind::ExpandString, REG_EXPAND_SZ},
    {ValueKind::Integer, REG_DWORD},
    {ValueKind::Binary, REG_BINARY},
};

bool IsText(ValueKind kind) {
    return kind == ValueKind::String || kind == ValueKind::ExpandString;
}

} // namespace

DWORD PlatformType(ValueKind kind) {
    const auto* found = std::find_if(std::begin(KindTable), std::end(KindTable),
                                     [kind](const KindMapping& row) { return row.kind == kind; });
    return found == std::end(KindTable) ? REG_NONE : found->type;
}

ValueKind KindOfPlatformType(DWORD type) {
    const auto* found = std::find_if(std::begin(KindTable), std::end(KindTable),
                                     [type](const KindMapping& row) { return row.type == type; });
    return found == std::end(KindTable) ? ValueKind::Other : found->kind;
}

// Lends another handle the place of the current key for one scope, without
// closing the current key or touching KeyPath; gives the place back after.
class TRegistry::BorrowedCurrent {
  public:
    BorrowedCurrent(TRegistry& registry, KeyHandle& lent) : registry_(registry), lent_(lent) {
        registry_.current_.Swap(lent_);
    }
    ~BorrowedCurrent() { registry_.current_.Swap(lent_); }
    BorrowedCurrent(const BorrowedCurrent&) = delete;
    BorrowedCurrent& operator=(const BorrowedCurrent&) = delete;

  private:
    TRegistry& registry_;
    KeyHandle& lent_;
};

TRegistry::TRegistry(RegistryApi& api, REGSAM access) : api_(api), accessMask_(access) {}

TRegistry::~TRegistry() {
    CloseCurrent();
}

void TRegistry::SetRoot(HKEY root) {
    if (root == root_) {
        return;
    }
    root_ = root;
    CloseCurrent();
}

TRegistry::ResolvedPath TRegistry::Resolve(const std::string& path) const {
    const bool relative = path.empty() || path.front() != '\\';
    std::string subPath = relative ? path : path.substr(1);
    const HKEY base = relative && current_ ? current_.Get() : root_;
    return {relative, std::move(subPath), base};
}

bool TRegistry::OpenPath(const std::string& path, bool createAllowed) {
    return OpenPathStatus(path, createAllowed) == ERROR_SUCCESS;
}

LONG TRegistry::OpenOrCreate(HKEY base, const std::string& subPath, bool create, HKEY& key) {
    const REGSAM access = accessMask_ | ViewFor(base);
    // Level by level, each call's sub-path within what the call takes; a
    // single level goes as it is, for the registry to judge.
    const auto split = subPath.rfind('\\', LongestAnsiSubPath);
    if (subPath.size() > LongestAnsiSubPath && split != std::string::npos && split != 0) {
        HKEY upper = nullptr;
        if (const LONG status = OpenOrCreate(base, subPath.substr(0, split), create, upper)) {
            return status;
        }
        const KeyHandle owned(api_, upper);
        return OpenOrCreate(upper, subPath.substr(split + 1), create, key);
    }
    if (create && !subPath.empty()) {
        DWORD disposition = 0;
        return api_.RegCreateKeyExA(base, subPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                    access, nullptr, &key, &disposition);
    }
    return api_.RegOpenKeyExA(base, subPath.c_str(), 0, access, &key);
}

LONG TRegistry::OpenPathStatus(const std::string& path, bool createAllowed) {
    const ResolvedPath resolved = Resolve(path);
    HKEY key = nullptr;
    if (const LONG status = OpenOrCreate(resolved.base, resolved.subPath, createAllowed, key)) {
        return status;
    }
    KeyHandle opened(api_, key);
    std::string newPath =
        resolved.relative && current_ ? keyPath_ + "\\" + resolved.subPath : resolved.subPath;
    CloseCurrent();
    current_ = std::move(opened);
    keyPath_ = std::move(newPath);
    return ERROR_SUCCESS;
}

void TRegistry::CloseCurrent() {
    current_ = KeyHandle();
    keyPath_.clear();
}

KeyHandle TRegistry::OpenHandle(const std::string& path) {
    const ResolvedPath resolved = Resolve(path);
    HKEY key = nullptr;
    if (OpenOrCreate(resolved.base, resolved.subPath, false, key) != ERROR_SUCCESS) {
        return KeyHandle();
    }
    return KeyHandle(api_, key);
}

bool TRegistry::QueryKeySummary(KeySummary& summary) {
    summary = KeySummary{};
    const LONG status = api_.RegQueryInfoKeyA(
        current_.Get(), nullptr, nullptr, nullptr, &summary.SubKeyCount, &summary.MaxSubKeyLength,
        nullptr, &summary.ValueCount, &summary.MaxValueNameLength, &summary.MaxValueSize, nullptr,
        &summary.LastWriteTime);
    if (status != ERROR_SUCCESS) {
        return false;
    }
    // In bytes of whatever the ANSI code page is, which need not be asked.
    summary.MaxSubKeyLength *= WidestAnsiUnit;
    summary.MaxValueNameLength *= WidestAnsiUnit;
    return true;
}

LONG TRegistry::QueryValue(const std::string& name, DWORD& type, void* buffer, DWORD& size) {
    if (!current_) {
        return ERROR_INVALID_HANDLE;
    }
    return api_.RegQueryValueExA(current_.Get(), name.c_str(), nullptr, &type,
                                 static_cast<BYTE*>(buffer), &size);
}

std::int64_t TRegistry::ValueSize(const std::string& name) {
    DWORD type = 0;
    DWORD size = 0;
    return QueryValue(name, type, nullptr, size) == ERROR_SUCCESS ? std::int64_t{size} : -1;
}

DWORD TRegistry::FetchValue(const std::string& name, void* buffer, DWORD capacity,
                            ValueKind& kind) {
    DWORD type = 0;
    DWORD size = capacity;
    if (QueryValue(name, type, buffer, size) != ERROR_SUCCESS) {
        throw ERegistryException(FormatText(GetDataFailed, name));
    }
    kind = KindOfPlatformType(type);
    return size;
}

void TRegistry::StoreValue(const std::string& name, const void* data, DWORD size, ValueKind kind) {
    const RegistryValue value{PlatformType(kind),
                              std::string(static_cast<const char*>(data), size)};
    if (WriteValueStatus(name, value) != ERROR_SUCCESS) {
        throw ERegistryException(FormatText(SetDataFailed, name));
    }
}

// A value that is not there, cannot be sized or has no data reads as the
// empty text, whatever its type; a refused read and a type that is not text raise.
std::string TRegistry::ReadText(const std::string& name) {
    RegistryValue value;
    bool sized = false;
    const LONG status = ReadValue(name, value, sized);
    if (!sized || (status == ERROR_SUCCESS && value.data.empty())) {
        return {};
    }
    if (status != ERROR_SUCCESS) {
        throw ERegistryException(FormatText(GetDataFailed, name));
    }
    if (!IsText(KindOfPlatformType(value.type))) {
        throw ERegistryException(FormatText(InvalidDataType, name));
    }
    return value.data.substr(0, value.data.find('\0'));
}

LONG TRegistry::ReadValue(const std::string& name, RegistryValue& value, bool& sized) {
    value = {};
    sized = false;
    for (;;) {
        DWORD size = 0;
        if (const LONG status = QueryValue(name, value.type, nullptr, size)) {
            return status;
        }
        sized = true;
        value.data.assign(size, '\0');
        const LONG status = QueryValue(name, value.type, value.data.data(), size);
        if (status == ERROR_MORE_DATA) {
            continue; // it grew between the two calls
        }
        value.data.resize(status == ERROR_SUCCESS ? size : 0);
        return status;
    }
}

LONG TRegistry::ReadValueStatus(const std::string& name, RegistryValue& value) {
    bool sized = false;
    return ReadValue(name, value, sized);
}

LONG TRegistry::WriteValueStatus(const std::string& name, const RegistryValue& value) {
    if (!current_) {
        return ERROR_INVALID_HANDLE;
    }
    return api_.RegSetValueExA(current_.Get(), name.c_str(), 0, value.type,
                               reinterpret_cast<const BYTE*>(value.data.data()),
                               static_cast<DWORD>(value.data.size()));
}

LONG TRegistry::ReadTextStatus(const std::string& name, std::string& text, ValueKind* kind) {
    text.clear();
    RegistryValue value;
    if (const LONG status = ReadValueStatus(name, value)) {
        return status;
    }
    const std::optional<std::string> read = TextOf(value);
    if (!read) {
        return ERROR_INVALID_DATATYPE;
    }
    if (kind) {
        *kind = KindOfPlatformType(value.type);
    }
    text = *read;
    return ERROR_SUCCESS;
}

void TRegistry::WriteText(const std::string& name, const std::string& text) {
    StoreValue(name, text.c_str(), static_cast<DWORD>(text.size() + 1), ValueKind::String);
}

LONG TRegistry::DeleteValueStatus(const std::string& name) {
    return current_ ? api_.RegDeleteValueA(current_.Get(), name.c_str()) : ERROR_INVALID_HANDLE;
}

bool TRegistry::DeleteTree(const std::string& path) {
    return DeleteTreeStatus(path) == ERROR_SUCCESS;
}

LONG TRegistry::DeleteTreeStatus(const std::string& path) {
    const ResolvedPath resolved = Resolve(path);
    // An empty sub-path names the base key itself: never empty or delete a
    // root key or the current key that way.
    if (resolved.subPath.empty()) {
        return ERROR_INVALID_PARAMETER;
    }
    if (KeyHandle key = OpenHandle(path)) {
        BorrowedCurrent borrowed(*this, key);
        DeleteSubkeysOfCurrent();
    }
    const auto split = resolved.subPath.rfind('\\');
    if (resolved.subPath.size() <= LongestAnsiSubPath || split == std::string::npos) {
        return api_.RegDeleteKeyExA(resolved.base, resolved.subPath.c_str(), ViewFor(resolved.base),
                                    0);
    }
    HKEY parent = nullptr; // a long path: deleted from its parent
    if (const LONG status =
            OpenOrCreate(resolved.base, resolved.subPath.substr(0, split), false, parent)) {
        return status;
    }
    const KeyHandle owned(api_, parent);
    return api_.RegDeleteKeyExA(parent, resolved.subPath.substr(split + 1).c_str(),
                                ViewFor(resolved.base), 0);
}

// Depth first, from the highest enumeration index down, so that the indexes
// still to visit stay valid while keys disappear.
void TRegistry::DeleteSubkeysOfCurrent() {
    KeyContents contents(api_, current_.Get());
    if (contents.Status() != ERROR_SUCCESS) {
        return;
    }
    for (DWORD index = contents.SubkeyCount(); index-- > 0;) {
        std::string name;
        if (contents.SubkeyAt(index, name) == ERROR_SUCCESS) {
            DeleteTree(name);
        }
    }
}

} // namespace platform
