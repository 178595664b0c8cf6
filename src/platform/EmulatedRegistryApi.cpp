#include "EmulatedRegistryApi.h"

#include "RegistryNames.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace platform {

struct EmulatedRegistryApi::Node {
    struct Value {
        std::string name;
        DWORD type;
        std::vector<BYTE> data;
    };

    std::string name;
    std::string enumerated; // the name as RegEnumKeyExA gives it, when it differs
    std::string path;       // upper case, from the root's name
    bool isRoot = false;
    bool deleted = false;
    std::weak_ptr<Node> parent;
    std::vector<std::shared_ptr<Node>> subkeys; // in enumeration order
    std::vector<Value> values;
};

namespace {

using Node = EmulatedRegistryApi::Node;

// The rights of a key, as "Registry Key Security and Access Rights" lists them
// (learn.microsoft.com/windows/win32/sysinfo/registry-key-security-and-access-rights).
constexpr REGSAM QueryValue = 0x0001, SetValue = 0x0002, CreateSubKey = 0x0004,
                 EnumerateSubKeys = 0x0008, CreateLink = 0x0020, Delete = 0x00010000,
                 WriteDac = 0x00040000, WriteOwner = 0x00080000;
constexpr REGSAM WriteAccess =
    SetValue | CreateSubKey | CreateLink | Delete | WriteDac | WriteOwner;
constexpr REGSAM AllAccess = 0x000F003F;

// "Registry Element Size Limits" (learn.microsoft.com/windows/win32/sysinfo/
// registry-element-size-limits), in characters.
constexpr std::size_t MaxKeyName = 255;
constexpr std::size_t MaxValueName = 16383;

// How many UTF-16 units the ANSI name is: the registry keeps names in
// UTF-16, and RegQueryInfoKeyA and the limits count those ("RegQueryInfoKeyA":
// the lengths "in Unicode characters"). In a double-byte code page such as
// 932 a lead byte and its trail byte are one character; in UTF-8 a sequence
// is one, or two (a surrogate pair) when it takes four bytes.
std::size_t Characters(UINT codePage, const std::string& name) {
    std::size_t units = 0;
    for (std::size_t at = 0; at < name.size(); ++units) {
        const auto lead = static_cast<unsigned char>(name[at]);
        if (codePage == CP_UTF8) {
            const std::size_t bytes = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
            units += bytes == 4 ? 1 : 0;
            at += bytes;
        } else if (codePage == 932 && ((lead >= 0x81 && lead <= 0x9F) || lead >= 0xE0)) {
            at += 2;
        } else {
            ++at;
        }
    }
    return units;
}

std::vector<std::string> Levels(const std::string& path) {
    std::vector<std::string> levels = PathLevels(path);
    std::transform(levels.begin(), levels.end(), levels.begin(), FoldedName);
    return levels;
}

// A path below HKEY_CLASSES_ROOT names the machine's classes, where the view
// puts new keys: rules and faults are told by the keys they land in.
std::string StoredPath(const std::string& keyPath) {
    const std::string view = "HKEY_CLASSES_ROOT";
    if (IsWithinPath(keyPath, view)) {
        return JoinPath("HKEY_LOCAL_MACHINE\\Software\\Classes",
                        keyPath.substr(view.size() + (keyPath.size() > view.size() ? 1 : 0)));
    }
    return keyPath;
}

// "Registry Keys Affected by WOW64" (learn.microsoft.com/windows/win32/
// winprog64/shared-registry-keys), the column for Windows 7 and later: a key
// takes the state of the longest row it lies within, and a key no row names is
// shared. A 32-bit process's call on a redirected key lands below the row's
// Wow6432Node: HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node for the machine's
// software, Software\Classes\Wow6432Node for the COM keys of the classes.
struct Wow64Row {
    const char* key;
    bool redirected;
    std::size_t after = 0; // redirected: Wow6432Node goes after this many levels below the root
};
// clang-format off
constexpr Wow64Row Wow64Rows[] = {
    {"HKEY_LOCAL_MACHINE\\SOFTWARE", true, 1},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Appid", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID", true, 2},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\DirectShow", true, 2},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\HCP", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Interface", true, 2},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Media Type", true, 2},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\MediaFoundation", true, 2},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Clients", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\COM3", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Cryptography\\Calais\\Current", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Cryptography\\Calais\\Readers", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Cryptography\\Services", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\CTF\\SystemShared", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\CTF\\TIP", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\DFS", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Driver Signing", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\EnterpriseCertificates", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\EventSystem", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\MSMQ", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Non-Driver Signing", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Notepad\\DefaultFonts", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\OLE", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\RAS", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\RPC", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\SOFTWARE\\Microsoft\\Shared Tools\\MSInfo", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\SystemCertificates", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\TermServLicensing", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\TransactionServer", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Control Panel\\Cursors\\Schemes", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\KindMap", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Group Policy", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\PreviewHandlers", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Telephony\\Locations", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Console", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\FontDpi", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\FontLink", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\FontMapper", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Gre_Initialize", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Language Pack", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Perflib", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Print", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Policies", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\RegisteredApplications", false},
    {"HKEY_CURRENT_USER\\SOFTWARE\\Classes\\CLSID", true, 2},
    {"HKEY_CURRENT_USER\\SOFTWARE\\Classes\\DirectShow", true, 2},
    {"HKEY_CURRENT_USER\\SOFTWARE\\Classes\\Interface", true, 2},
    {"HKEY_CURRENT_USER\\SOFTWARE\\Classes\\Media Type", true, 2},
    {"HKEY_CURRENT_USER\\SOFTWARE\\Classes\\MediaFoundation", true, 2},
};
// clang-format on
constexpr const char* Wow64Node = "Wow6432Node";

// The row a key takes its state from; null when none names it (shared).
const Wow64Row* Wow64RowOf(const std::string& keyPath) {
    const Wow64Row* found = nullptr;
    for (const Wow64Row& row : Wow64Rows) {
        if (IsWithinPath(keyPath, row.key) &&
            (!found || std::string_view(row.key).size() > std::string_view(found->key).size())) {
            found = &row;
        }
    }
    return found;
}

std::string Text(LPCSTR text) {
    return text ? text : "";
}

// Splits a sub-path into its levels. A leading backslash is refused as Windows
// refuses it; empty levels elsewhere are passed over, as Windows does.
LONG SplitPath(LPCSTR subKey, std::vector<std::string>& levels) {
    const std::string path = Text(subKey);
    if (!path.empty() && path.front() == '\\') {
        return ERROR_BAD_PATHNAME;
    }
    levels = PathLevels(path);
    return ERROR_SUCCESS;
}

std::string ChildPath(const std::string& parentPath, const std::vector<std::string>& levels) {
    std::string path = parentPath;
    for (const std::string& level : levels) {
        path = JoinPath(path, FoldedName(level));
    }
    return path;
}

std::shared_ptr<Node> FindSubkey(const Node& node, const std::string& name) {
    for (const auto& subkey : node.subkeys) {
        if (SameName(subkey->name, name)) {
            return subkey;
        }
    }
    return nullptr;
}

std::shared_ptr<Node> AddSubkey(const std::shared_ptr<Node>& parent, const std::string& name) {
    auto node = std::make_shared<Node>();
    node->name = name;
    node->path = JoinPath(parent->path, FoldedName(name));
    node->parent = parent;
    auto place = std::find_if(parent->subkeys.begin(), parent->subkeys.end(),
                              [&](const auto& other) { return NameLess()(name, other->name); });
    parent->subkeys.insert(place, node);
    return node;
}

// The existing key the levels lead to, or null.
std::shared_ptr<Node> FindLevels(const std::shared_ptr<Node>& base,
                                 const std::vector<std::string>& levels) {
    std::shared_ptr<Node> node = base;
    for (const std::string& level : levels) {
        node = FindSubkey(*node, level);
        if (!node) {
            break;
        }
    }
    return node;
}

std::vector<Node::Value>::iterator FindValue(Node& node, LPCSTR name) {
    const std::string wanted = Text(name);
    return std::find_if(node.values.begin(), node.values.end(),
                        [&](const Node::Value& value) { return SameName(value.name, wanted); });
}

template <typename T> void Put(T* out, T value) {
    if (out) {
        *out = value;
    }
}

} // namespace

EmulatedRegistryApi::EmulatedRegistryApi() {
    for (const auto& [key, name] : PredefinedRoots()) {
        auto root = std::make_shared<Node>();
        root->name = name;
        root->path = name;
        root->isRoot = true;
        roots_[key] = root;
    }
}

EmulatedRegistryApi::~EmulatedRegistryApi() = default;

void EmulatedRegistryApi::FailNthCall(RegistryCall call, int n, LONG error) {
    faults_.push_back({call, calls_[call] + n, {}, error});
}

void EmulatedRegistryApi::FailCallOnKey(RegistryCall call, const std::string& keyPath, LONG error) {
    faults_.push_back({call, 0, FoldedName(StoredPath(keyPath)), error});
}

void EmulatedRegistryApi::AddRule(const std::string& keyPath, bool subtree, REGSAM denied) {
    rules_.push_back({Levels(StoredPath(keyPath)), subtree, denied});
}

void EmulatedRegistryApi::SetEnumeratedName(const std::string& keyPath,
                                            const std::string& spelled) {
    std::vector<std::string> levels = Levels(StoredPath(keyPath));
    std::shared_ptr<Node> node = roots_.at(HKEY_CURRENT_USER);
    for (const auto& [key, root] : roots_) {
        if (SameName(root->name, levels.front())) {
            node = root;
        }
    }
    levels.erase(levels.begin());
    FindLevels(node, levels)->enumerated = spelled;
}

void EmulatedRegistryApi::MakeReadOnly(const std::string& keyPath) {
    AddRule(keyPath, true, WriteAccess);
}

void EmulatedRegistryApi::ApplyProfile(RightsProfile profile) {
    // Users may read the machine's hive and its classes, and only
    // Administrators may change them: "HKEY_CLASSES_ROOT Key" sends per-user
    // changes to HKEY_CURRENT_USER\Software\Classes for that reason
    // (learn.microsoft.com/windows/win32/sysinfo/hkey-classes-root-key). The
    // classes root is a view of both: each key keeps its own tree's rights.
    if (profile == RightsProfile::StandardUser) {
        MakeReadOnly("HKEY_LOCAL_MACHINE");
    }
    // "LocalSystem Account" (learn.microsoft.com/windows/win32/services/
    // localsystem-account): its HKEY_CURRENT_USER is the default user's, not a
    // person's, and its token holds the Administrators group.
    if (profile == RightsProfile::LocalSystem) {
        const std::shared_ptr<Node>& users = roots_.at(HKEY_USERS);
        std::shared_ptr<Node> defaultUser = FindSubkey(*users, ".DEFAULT");
        roots_[HKEY_CURRENT_USER] = defaultUser ? defaultUser : AddSubkey(users, ".DEFAULT");
    }
    // Since Windows 8 a program may not set the user's choice: "Default
    // Programs" (learn.microsoft.com/windows/win32/shell/default-programs).
    // The key carries an entry that denies setting its values to the user
    // himself, elevated or not, so an open that asks for that right fails.
    AddRule("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\*"
            "\\UserChoice",
            false, SetValue);
}

int EmulatedRegistryApi::CallCount(RegistryCall call) const {
    const auto found = calls_.find(call);
    return found == calls_.end() ? 0 : found->second;
}

LONG EmulatedRegistryApi::Injected(RegistryCall call, const std::string& keyPath) {
    const int occurrence = ++calls_[call];
    for (const Fault& fault : faults_) {
        const bool callMatches = fault.call == call;
        const bool whenMatches = fault.occurrence == 0 || fault.occurrence == occurrence;
        const bool keyMatches = fault.keyPath.empty() || fault.keyPath == keyPath;
        if (callMatches && whenMatches && keyMatches) {
            return fault.error;
        }
    }
    return ERROR_SUCCESS;
}

REGSAM EmulatedRegistryApi::Denied(const std::string& keyPath) const {
    if (rules_.empty()) {
        return 0; // every right, as Wine grants
    }
    const std::vector<std::string> key = Levels(keyPath);
    REGSAM denied = 0;
    for (const AccessRule& rule : rules_) {
        const bool deepEnough =
            rule.subtree ? key.size() >= rule.levels.size() : key.size() == rule.levels.size();
        if (deepEnough && std::equal(rule.levels.begin(), rule.levels.end(), key.begin(),
                                     [](const std::string& pattern, const std::string& level) {
                                         return pattern == "*" || pattern == level;
                                     })) {
            denied |= rule.denied;
        }
    }
    return denied;
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

HKEY EmulatedRegistryApi::NewHandle(const std::shared_ptr<Node>& node, REGSAM access) {
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

// HKEY_CLASSES_ROOT is a view of two trees ("HKEY_CLASSES_ROOT Key" and
// "Merged View of HKEY_CLASSES_ROOT", learn.microsoft.com/windows/win32/
// sysinfo/hkey-classes-root-key and .../merged-view-of-hkey-classes-root):
// it lists every subkey of HKEY_CURRENT_USER\Software\Classes and those of
// HKEY_LOCAL_MACHINE\Software\Classes that the user's do not duplicate, and
// of a key in both it shows the user's alone, none of the machine's contents.
// Writing follows the same key: values of a key the user's classes hold are
// stored there, and new keys go to the machine's classes.
std::shared_ptr<Node> EmulatedRegistryApi::ClassesOf(HKEY hive, bool create) {
    std::shared_ptr<Node> node = roots_.at(hive);
    for (const char* level : {"Software", "Classes"}) {
        auto next = FindSubkey(*node, level);
        if (!next && create) {
            next = AddSubkey(node, level);
        }
        if (!next) {
            return nullptr;
        }
        node = next;
    }
    return node;
}

void EmulatedRegistryApi::MergeClassesView(Target& target) {
    const std::shared_ptr<Node> user = ClassesOf(HKEY_CURRENT_USER, false);
    if (!target.levels.empty()) {
        const bool users = user && FindSubkey(*user, target.levels.front());
        target.base = users ? user : ClassesOf(HKEY_LOCAL_MACHINE, true);
        return;
    }
    // The view's own subkeys, for listing them: the root is never written.
    std::vector<std::shared_ptr<Node>> merged = user ? user->subkeys : decltype(merged){};
    if (const auto machine = ClassesOf(HKEY_LOCAL_MACHINE, false)) {
        for (const auto& subkey : machine->subkeys) {
            if (!user || !FindSubkey(*user, subkey->name)) {
                merged.push_back(subkey);
            }
        }
    }
    std::stable_sort(merged.begin(), merged.end(),
                     [](const auto& a, const auto& b) { return NameLess()(a->name, b->name); });
    target.base->subkeys = std::move(merged);
}

// A 32-bit process's call (or one that asks for KEY_WOW64_32KEY) on a
// redirected key reaches it below Wow6432Node; KEY_WOW64_64KEY reaches the
// 64-bit view ("Accessing an Alternate Registry View"). A handle already in
// Wow6432Node stands for its logical key, which is mapped anew.
void EmulatedRegistryApi::ApplyView(Target& target, REGSAM access) {
    const bool view32 = (access & KEY_WOW64_32KEY) || (wow64_ && !(access & KEY_WOW64_64KEY));
    if (!view32) {
        return;
    }
    std::vector<std::string> names = target.levels;
    std::shared_ptr<Node> root = target.base;
    for (; !root->isRoot; root = root->parent.lock()) {
        if (!SameName(root->name, Wow64Node)) {
            names.insert(names.begin(), root->name);
        }
    }
    std::string logical = root->path;
    for (const std::string& name : names) {
        logical = JoinPath(logical, name);
    }
    const Wow64Row* row = Wow64RowOf(logical);
    if (row && row->redirected) {
        names.insert(names.begin() + static_cast<std::ptrdiff_t>(row->after), Wow64Node);
    }
    target.base = root;
    target.levels = std::move(names);
    target.path = ChildPath(root->path, target.levels);
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
    if (std::any_of(target.levels.begin(), target.levels.end(), [this](const std::string& level) {
            return Characters(codePage_, level) > MaxKeyName;
        })) {
        return ERROR_INVALID_PARAMETER;
    }
    std::shared_ptr<Node> node = target.base;
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
    const std::shared_ptr<Node> node = FindLevels(target.base, target.levels);
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

LONG EmulatedRegistryApi::RegQueryValueExA(HKEY key, LPCSTR valueName, DWORD*, DWORD* type,
                                           BYTE* data, DWORD* dataSize) {
    if (const LONG gated = Gated(RegistryCall::QueryValue)) {
        return gated;
    }
    Target target;
    if (const LONG status = Locate(RegistryCall::QueryValue, key, QueryValue, target)) {
        return status;
    }
    Node& node = *target.base;
    if (data && !dataSize) {
        return ERROR_INVALID_PARAMETER;
    }
    const auto value = FindValue(node, valueName);
    if (value == node.values.end()) {
        return ERROR_FILE_NOT_FOUND;
    }
    Put(type, value->type);
    const auto size = static_cast<DWORD>(value->data.size());
    if (data && *dataSize < size) {
        *dataSize = size;
        return ERROR_MORE_DATA;
    }
    if (data) {
        std::copy(value->data.begin(), value->data.end(), data);
    }
    Put(dataSize, size);
    return ERROR_SUCCESS;
}

LONG EmulatedRegistryApi::RegSetValueExA(HKEY key, LPCSTR valueName, DWORD, DWORD type,
                                         const BYTE* data, DWORD dataSize) {
    if (const LONG gated = Gated(RegistryCall::SetValue)) {
        return gated;
    }
    Target target;
    if (const LONG status = Locate(RegistryCall::SetValue, key, SetValue, target)) {
        return status;
    }
    Node& node = *target.base;
    if (dataSize && !data) {
        return ERROR_NOACCESS;
    }
    if (Characters(codePage_, Text(valueName)) > MaxValueName) {
        return ERROR_INVALID_PARAMETER;
    }
    std::vector<BYTE> bytes(data, data + dataSize);
    // String data is stored terminated, whether or not the caller counted the NUL.
    const bool isString = type == REG_SZ || type == REG_EXPAND_SZ;
    if (isString && !bytes.empty() && bytes.back() != 0) {
        bytes.push_back(0);
    }
    if (const auto value = FindValue(node, valueName); value != node.values.end()) {
        value->type = type;
        value->data = std::move(bytes);
    } else {
        node.values.push_back({Text(valueName), type, std::move(bytes)});
    }
    return ERROR_SUCCESS;
}

LONG EmulatedRegistryApi::StoreValueAsIs(HKEY key, const std::string& name, DWORD type,
                                         const std::string& data) {
    const auto* bytes = reinterpret_cast<const BYTE*>(data.data());
    if (const LONG status =
            RegSetValueExA(key, name.c_str(), 0, type, bytes, static_cast<DWORD>(data.size()))) {
        return status;
    }
    Node& node = *handles_.at(key).node;
    FindValue(node, name.c_str())->data.assign(bytes, bytes + data.size());
    return ERROR_SUCCESS;
}

LONG EmulatedRegistryApi::RegQueryInfoKeyA(HKEY key, LPSTR, DWORD*, DWORD*, DWORD* subKeys,
                                           DWORD* maxSubKeyLength, DWORD* maxClassLength,
                                           DWORD* values, DWORD* maxValueNameLength,
                                           DWORD* maxValueLength, DWORD* securityDescriptorSize,
                                           FILETIME* lastWriteTime) {
    if (const LONG gated = Gated(RegistryCall::QueryInfoKey)) {
        return gated;
    }
    Target target;
    if (const LONG status = Locate(RegistryCall::QueryInfoKey, key, QueryValue, target)) {
        return status;
    }
    Node& node = *target.base;
    DWORD longestSubkey = 0;
    for (const auto& subkey : node.subkeys) {
        longestSubkey =
            std::max(longestSubkey, static_cast<DWORD>(Characters(codePage_, subkey->name)));
    }
    DWORD longestName = 0;
    DWORD largestData = 0;
    for (const auto& value : node.values) {
        longestName = std::max(longestName, static_cast<DWORD>(Characters(codePage_, value.name)));
        largestData = std::max(largestData, static_cast<DWORD>(value.data.size()));
    }
    Put(subKeys, static_cast<DWORD>(node.subkeys.size()));
    Put(maxSubKeyLength, longestSubkey);
    Put(maxClassLength, DWORD{0});
    Put(values, static_cast<DWORD>(node.values.size()));
    Put(maxValueNameLength, longestName);
    Put(maxValueLength, largestData);
    Put(securityDescriptorSize, DWORD{0});
    Put(lastWriteTime, FILETIME{0, 0});
    return ERROR_SUCCESS;
}

LONG EmulatedRegistryApi::RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, DWORD* nameLength,
                                        DWORD*, LPSTR, DWORD*, FILETIME*) {
    if (const LONG gated = Gated(RegistryCall::EnumKey)) {
        return gated;
    }
    Target target;
    if (const LONG status = Locate(RegistryCall::EnumKey, key, EnumerateSubKeys, target)) {
        return status;
    }
    Node& node = *target.base;
    if (index >= node.subkeys.size()) {
        return ERROR_NO_MORE_ITEMS;
    }
    const Node& subkey = *node.subkeys[index];
    const std::string& found = subkey.enumerated.empty() ? subkey.name : subkey.enumerated;
    if (*nameLength <= found.size()) {
        return ERROR_MORE_DATA;
    }
    std::memcpy(name, found.c_str(), found.size() + 1);
    *nameLength = static_cast<DWORD>(found.size());
    return ERROR_SUCCESS;
}

LONG EmulatedRegistryApi::RegEnumValueA(HKEY key, DWORD index, LPSTR name, DWORD* nameLength,
                                        DWORD*, DWORD* type, BYTE* data, DWORD* dataSize) {
    if (const LONG gated = Gated(RegistryCall::EnumValue)) {
        return gated;
    }
    Target target;
    if (const LONG status = Locate(RegistryCall::EnumValue, key, QueryValue, target)) {
        return status;
    }
    const Node& node = *target.base;
    if (index >= node.values.size()) {
        return ERROR_NO_MORE_ITEMS;
    }
    const Node::Value& value = node.values[index];
    const auto size = static_cast<DWORD>(value.data.size());
    if (*nameLength <= value.name.size() || (data && dataSize && *dataSize < size)) {
        return ERROR_MORE_DATA;
    }
    std::memcpy(name, value.name.c_str(), value.name.size() + 1);
    *nameLength = static_cast<DWORD>(value.name.size());
    Put(type, value.type);
    if (data) {
        std::copy(value.data.begin(), value.data.end(), data);
    }
    Put(dataSize, size);
    return ERROR_SUCCESS;
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
    const std::shared_ptr<Node> node = FindLevels(target.base, target.levels);
    if (!node) {
        return ERROR_FILE_NOT_FOUND;
    }
    if (node->isRoot || !node->subkeys.empty() || (Denied(node->path) & Delete)) {
        return ERROR_ACCESS_DENIED;
    }
    auto& siblings = node->parent.lock()->subkeys;
    siblings.erase(std::find(siblings.begin(), siblings.end(), node));
    node->deleted = true;
    return ERROR_SUCCESS;
}

LONG EmulatedRegistryApi::RegDeleteValueA(HKEY key, LPCSTR valueName) {
    if (const LONG gated = Gated(RegistryCall::DeleteValue)) {
        return gated;
    }
    Target target;
    if (const LONG status = Locate(RegistryCall::DeleteValue, key, SetValue, target)) {
        return status;
    }
    Node& node = *target.base;
    const auto value = FindValue(node, valueName);
    if (value == node.values.end()) {
        return ERROR_FILE_NOT_FOUND;
    }
    node.values.erase(value);
    return ERROR_SUCCESS;
}

} // namespace platform
