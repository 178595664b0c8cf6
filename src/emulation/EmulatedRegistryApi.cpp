#include "EmulatedRegistryApi.h"

#include "CodePages.h"
#include "RegistryRules.h"

#include "platform/RegistryNames.h"

namespace emulation {

using namespace platform;

namespace {

NameLength InCodePage(std::function<UINT()> codePage) {
    return [codePage = std::move(codePage)](const std::string& name) {
        return RegistryCharacters(codePage(), name);
    };
}

} // namespace

EmulatedRegistryApi::EmulatedRegistryApi() : length_(InCodePage([] { return 1252u; })) {
    for (const auto& [key, name] : PredefinedRoots()) {
        roots_[key] = NewRootKey(name);
    }
}

EmulatedRegistryApi::EmulatedRegistryApi(SystemApi& system) : EmulatedRegistryApi() {
    length_ = InCodePage([&system] { return system.GetACP(); });
}

EmulatedRegistryApi::~EmulatedRegistryApi() = default;

void EmulatedRegistryApi::SetEnumeratedName(const std::string& keyPath,
                                            const std::string& spelled) {
    std::vector<std::string> levels = Levels(StoredPath(keyPath));
    KeyRef node = roots_.at(HKEY_CURRENT_USER);
    for (const auto& [key, root] : roots_) {
        if (SameName(root->name, levels.front())) {
            node = root;
        }
    }
    levels.erase(levels.begin());
    FindLevels(node, levels)->enumerated = spelled;
}

LONG EmulatedRegistryApi::Resolve(HKEY key, Target& target) const {
    if (const auto root = roots_.find(key); root != roots_.end()) {
        // A predefined key is opened with what the account may do there.
        target.base = root->second;
        target.access = AllAccess & ~Denied(root->second->path);
        return ERROR_SUCCESS;
    }
    const auto handle = handles_.find(key);
    if (handle == handles_.end()) {
        return ERROR_INVALID_HANDLE;
    }
    target.base = handle->second.node;
    target.access = handle->second.access;
    return target.base->deleted ? ERROR_KEY_DELETED : ERROR_SUCCESS;
}

HKEY EmulatedRegistryApi::NewHandle(const KeyRef& node, REGSAM access) {
    nextHandle_ += 4;
    const auto handle = reinterpret_cast<HKEY>(nextHandle_);
    handles_[handle] = {node, access};
    return handle;
}

LONG EmulatedRegistryApi::Locate(RegistryCall call, HKEY key, REGSAM needed, Target& target) {
    if (const LONG status = Locate(call, key, nullptr, target)) {
        return status;
    }
    return (target.access & needed) == needed ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

LONG EmulatedRegistryApi::Locate(RegistryCall call, HKEY key, LPCSTR subKey, Target& target) {
    LONG status = Resolve(key, target);
    if (status == ERROR_SUCCESS) {
        status = SplitPath(subKey, target.levels);
    }
    if (status == ERROR_SUCCESS && target.base == roots_.at(HKEY_CLASSES_ROOT)) {
        MergeClassesView(target);
    }
    target.path = target.base ? ChildPath(target.base->path, target.levels) : std::string();
    const LONG injected = Injected(call, target.path);
    return injected != ERROR_SUCCESS ? injected : status;
}

LONG EmulatedRegistryApi::RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD,
                                          REGSAM access, void*, HKEY* result, DWORD* disposition) {
    if (const LONG gated = Gated(RegistryCall::CreateKey)) {
        return gated;
    }
    Target target;
    if (const LONG status = Locate(RegistryCall::CreateKey, key, subKey, target)) {
        return status;
    }
    ApplyView(target, access);
    if (access & Denied(target.path)) {
        return ERROR_ACCESS_DENIED;
    }
    if (const LONG status = CheckKeyNames(target.levels, length_)) {
        return status;
    }
    KeyRef node = target.base;
    DWORD how = REG_OPENED_EXISTING_KEY;
    for (const std::string& level : target.levels) {
        auto next = FindSubkey(*node, level);
        if (!next) {
            if (Denied(node->path) & CreateSubKey) {
                return ERROR_ACCESS_DENIED;
            }
            next = AddSubkey(node, level);
            how = REG_CREATED_NEW_KEY;
        }
        node = next;
    }
    Put(result, NewHandle(node, access));
    Put(disposition, how);
    return ERROR_SUCCESS;
}

LONG EmulatedRegistryApi::RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM access,
                                        HKEY* result) {
    if (const LONG gated = Gated(RegistryCall::OpenKey)) {
        return gated;
    }
    Target target;
    if (const LONG status = Locate(RegistryCall::OpenKey, key, subKey, target)) {
        return status;
    }
    ApplyView(target, access);
    if (target.levels.empty() && target.base->isRoot) {
        *result = key; // an empty sub-path below a root hands the root back
        return ERROR_SUCCESS;
    }
    const KeyRef node = FindLevels(target.base, target.levels);
    if (!node) {
        return ERROR_FILE_NOT_FOUND;
    }
    if (access & Denied(target.path)) {
        return ERROR_ACCESS_DENIED;
    }
    *result = NewHandle(node, access);
    return ERROR_SUCCESS;
}

LONG EmulatedRegistryApi::RegCloseKey(HKEY key) {
    if (const LONG gated = Gated(RegistryCall::CloseKey)) {
        return gated;
    }
    const auto handle = handles_.find(key);
    const std::string target = handle == handles_.end() ? std::string() : handle->second.node->path;
    if (const LONG injected = Injected(RegistryCall::CloseKey, target)) {
        return injected;
    }
    if (roots_.count(key)) {
        return ERROR_SUCCESS;
    }
    if (handle == handles_.end()) {
        return ERROR_INVALID_HANDLE;
    }
    handles_.erase(handle);
    return ERROR_SUCCESS;
}

LONG EmulatedRegistryApi::OnOwnKey(RegistryCall call, HKEY key, REGSAM needed, KeyRef& node) {
    if (const LONG gated = Gated(call)) {
        return gated;
    }
    Target target;
    const LONG status = Locate(call, key, needed, target);
    node = target.base;
    return status;
}

LONG EmulatedRegistryApi::RegQueryValueExA(HKEY key, LPCSTR valueName, DWORD*, DWORD* type,
                                           BYTE* data, DWORD* dataSize) {
    KeyRef node;
    if (const LONG status = OnOwnKey(RegistryCall::QueryValue, key, QueryValueRight, node)) {
        return status;
    }
    return QueryValue(*node, valueName, type, data, dataSize);
}

LONG EmulatedRegistryApi::RegSetValueExA(HKEY key, LPCSTR valueName, DWORD, DWORD type,
                                         const BYTE* data, DWORD dataSize) {
    KeyRef node;
    if (const LONG status = OnOwnKey(RegistryCall::SetValue, key, SetValueRight, node)) {
        return status;
    }
    return SetValue(*node, valueName, type, data, dataSize, length_);
}

LONG EmulatedRegistryApi::StoreValueAsIs(HKEY key, const std::string& name, DWORD type,
                                         const std::string& data) {
    KeyRef node;
    if (const LONG status = OnOwnKey(RegistryCall::SetValue, key, SetValueRight, node)) {
        return status;
    }
    return platform::StoreValueAsIs(*node, name, type, data, length_);
}

LONG EmulatedRegistryApi::RegQueryInfoKeyA(HKEY key, LPSTR, DWORD*, DWORD*, DWORD* subKeys,
                                           DWORD* maxSubKeyLength, DWORD* maxClassLength,
                                           DWORD* values, DWORD* maxValueNameLength,
                                           DWORD* maxValueLength, DWORD* securityDescriptorSize,
                                           FILETIME* lastWriteTime) {
    KeyRef node;
    if (const LONG status = OnOwnKey(RegistryCall::QueryInfoKey, key, QueryValueRight, node)) {
        return status;
    }
    QueryInfo(*node, length_, subKeys, maxSubKeyLength, maxClassLength, values, maxValueNameLength,
              maxValueLength, securityDescriptorSize, lastWriteTime);
    return ERROR_SUCCESS;
}

LONG EmulatedRegistryApi::RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, DWORD* nameLength,
                                        DWORD*, LPSTR, DWORD*, FILETIME*) {
    KeyRef node;
    if (const LONG status = OnOwnKey(RegistryCall::EnumKey, key, EnumerateSubKeys, node)) {
        return status;
    }
    return EnumKey(*node, index, name, nameLength);
}

LONG EmulatedRegistryApi::RegEnumValueA(HKEY key, DWORD index, LPSTR name, DWORD* nameLength,
                                        DWORD*, DWORD* type, BYTE* data, DWORD* dataSize) {
    KeyRef node;
    if (const LONG status = OnOwnKey(RegistryCall::EnumValue, key, QueryValueRight, node)) {
        return status;
    }
    return EnumValue(*node, index, name, nameLength, type, data, dataSize);
}

LONG EmulatedRegistryApi::RegDeleteKeyA(HKEY key, LPCSTR subKey) {
    return RegDeleteKeyExA(key, subKey, 0, 0);
}

// Without a view, in the process's own: "RegDeleteKeyA" cannot reach the
// other view, "RegDeleteKeyExA" with KEY_WOW64_64KEY or KEY_WOW64_32KEY can.
LONG EmulatedRegistryApi::RegDeleteKeyExA(HKEY key, LPCSTR subKey, REGSAM view, DWORD) {
    if (const LONG gated = Gated(RegistryCall::DeleteKey)) {
        return gated;
    }
    Target target;
    if (const LONG status = Locate(RegistryCall::DeleteKey, key, subKey, target)) {
        return status;
    }
    ApplyView(target, view);
    const KeyRef node = FindLevels(target.base, target.levels);
    if (!node) {
        return ERROR_FILE_NOT_FOUND;
    }
    if (Denied(node->path) & Delete) {
        return ERROR_ACCESS_DENIED;
    }
    return DeleteLeafKey(node);
}

LONG EmulatedRegistryApi::RegDeleteValueA(HKEY key, LPCSTR valueName) {
    KeyRef node;
    if (const LONG status = OnOwnKey(RegistryCall::DeleteValue, key, SetValueRight, node)) {
        return status;
    }
    return DeleteValue(*node, valueName);
}

} // namespace emulation
