// A file's or folder's owner and access list, read from the text that
// ConvertSecurityDescriptorToStringSecurityDescriptor writes ("Security
// Descriptor String Format"), and what that list grants a token's groups.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// File rights ("File Security and Access Rights", "Standard Access Rights").
enum FileRight : std::uint32_t {
    WriteData = 0x2,    // a folder: add a file
    AppendData = 0x4,   // a folder: add a subfolder
    DeleteChild = 0x40, // a folder: delete or rename what it holds
    DeleteItself = 0x10000,
    WriteAccessList = 0x40000, // WRITE_DAC
    WriteOwner = 0x80000,
};

struct AccessEntry {
    bool allows;          // an allow entry; otherwise a deny entry
    std::uint32_t rights; // generic rights already mapped to file rights
    std::string sid;      // "S-1-…", or an alias this reader does not know
};

struct FileSecurity {
    std::string owner;
    // None: no access list at all ("NO_ACCESS_CONTROL"), which grants
    // everyone everything.
    std::optional<std::vector<AccessEntry>> accessList;
};

// None when the text is not one this reader understands. Entries that only
// pass to children (inherit-only) and audit or object entries are left out:
// they decide nothing about the object itself.
std::optional<FileSecurity> ParseSecurityText(const std::wstring& text);

struct Grant {
    std::uint32_t rights = 0; // of those asked for
    std::string grantedBy;    // the SID of the first entry that granted one
};

// What the list grants a token holding these groups, of the rights asked
// for, as AccessCheck decides it ("How DACLs Control Access to an Object"):
// the entries in order, each right settled by the first entry naming it.
Grant GrantedTo(const FileSecurity& security, const std::vector<std::string>& groups,
                std::uint32_t asked);

// Well-known SIDs ("Well-known SIDs").
constexpr const char* EveryoneSid = "S-1-1-0";
constexpr const char* AuthenticatedUsersSid = "S-1-5-11";
constexpr const char* UsersSid = "S-1-5-32-545";
constexpr const char* InteractiveSid = "S-1-5-4";
constexpr const char* AdministratorsSid = "S-1-5-32-544";
constexpr const char* SystemSid = "S-1-5-18";
constexpr const char* TrustedInstallerSid =
    "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";

// The rights that let an account put other bytes in a file's place: write
// its data, delete it (and so rename it), or change its access list or owner,
// which gives it every other right; in a folder also add files or delete them.
constexpr std::uint32_t TakeOver = DeleteItself | WriteAccessList | WriteOwner;
constexpr std::uint32_t FileRights = WriteData | AppendData | TakeOver;
constexpr std::uint32_t FolderRights = WriteData | AppendData | DeleteChild | TakeOver;
// On each folder above: delete or rename a folder on the path, or what it
// holds, or change its access list or owner. Adding an entry there changes
// nothing on the path, since no new entry can take a name already taken; so
// the right that Windows gives every authenticated user to make folders at the
// root of a drive does not count for a folder made by an installer.
constexpr std::uint32_t PathFolderRights = DeleteChild | TakeOver;

// Who other than the accounts trusted with the machine (Administrators, SYSTEM,
// TrustedInstaller) and those given may use one of the rights on the object,
// or owns it and so may give them to itself.
struct Exposure {
    bool byOwner;
    std::string who; // a group's name or "the account S-1-…"
};
std::optional<Exposure> ExposedTo(const FileSecurity& security, std::uint32_t rights,
                                  const std::vector<std::string>& alsoTrusted = {});

} // namespace platform
