#include "FileSecurity.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <string_view>

namespace platform {
namespace {

struct Code {
    std::string_view code;
    std::uint32_t value;
};

// The file rights' generic mapping ("File Security and Access Rights").
constexpr std::uint32_t FileAllAccess = 0x1F01FF, FileRead = 0x120089, FileWrite = 0x120116,
                        FileExecute = 0x1200A0;
constexpr std::uint32_t GenericAll = 0x10000000, GenericExecute = 0x20000000,
                        GenericWrite = 0x40000000, GenericRead = 0x80000000;

// The access-right strings of "ACE Strings". The directory-service names are
// how the converter spells the low bits of a mask that has no single name.
constexpr Code RightCodes[] = {
    {"GA", GenericAll},  {"GR", GenericRead},   {"GW", GenericWrite}, {"GX", GenericExecute},
    {"RC", 0x20000},     {"SD", 0x10000},       {"WD", 0x40000},      {"WO", 0x80000},
    {"CC", 0x1},         {"DC", 0x2},           {"LC", 0x4},          {"SW", 0x8},
    {"RP", 0x10},        {"WP", 0x20},          {"DT", 0x40},         {"LO", 0x80},
    {"CR", 0x100},       {"FA", FileAllAccess}, {"FR", FileRead},     {"FW", FileWrite},
    {"FX", FileExecute}, {"KA", 0xF003F},       {"KR", 0x20019},      {"KW", 0x20006},
    {"KX", 0x20019},
};

struct Alias {
    std::string_view alias;
    const char* sid;
};

// The SID strings of "SID Strings" that a file's list may hold.
constexpr Alias SidAliases[] = {
    {"AC", "S-1-15-2-1"},      {"AN", "S-1-5-7"},
    {"AO", "S-1-5-32-548"},    {"AU", AuthenticatedUsersSid},
    {"BA", AdministratorsSid}, {"BG", "S-1-5-32-546"},
    {"BO", "S-1-5-32-551"},    {"BU", UsersSid},
    {"CG", "S-1-3-1"},         {"CO", "S-1-3-0"},
    {"ED", "S-1-5-9"},         {"IU", InteractiveSid},
    {"LS", "S-1-5-19"},        {"NS", "S-1-5-20"},
    {"NU", "S-1-5-2"},         {"OW", "S-1-3-4"},
    {"PO", "S-1-5-32-550"},    {"PS", "S-1-5-10"},
    {"PU", "S-1-5-32-547"},    {"RC", "S-1-5-12"},
    {"RD", "S-1-5-32-555"},    {"SO", "S-1-5-32-549"},
    {"SU", "S-1-5-6"},         {"SY", SystemSid},
    {"WD", EveryoneSid},       {"WR", "S-1-5-33"},
};

constexpr std::string_view AceFlags[] = {"OI", "CI", "NP", "IO", "ID", "SA", "FA", "TP", "CR"};

std::string Sid(std::string_view text) {
    const auto* alias = std::find_if(std::begin(SidAliases), std::end(SidAliases),
                                     [&](const Alias& row) { return row.alias == text; });
    return alias == std::end(SidAliases) ? std::string(text) : alias->sid;
}

std::optional<std::uint32_t> Rights(std::string_view text) {
    if (text.size() > 2 && text.substr(0, 2) == "0x") {
        const std::string hex(text.substr(2));
        char* end = nullptr;
        const unsigned long value = std::strtoul(hex.c_str(), &end, 16);
        return *end == '\0' ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(value))
                            : std::nullopt;
    }
    if (text.size() % 2 != 0) {
        return std::nullopt;
    }
    std::uint32_t rights = 0;
    for (std::size_t at = 0; at < text.size(); at += 2) {
        const auto* code =
            std::find_if(std::begin(RightCodes), std::end(RightCodes),
                         [&](const Code& row) { return row.code == text.substr(at, 2); });
        if (code == std::end(RightCodes)) {
            return std::nullopt;
        }
        rights |= code->value;
    }
    return rights;
}

struct GenericMapping {
    std::uint32_t generic;
    std::uint32_t specific;
};
constexpr GenericMapping FileMapping[] = {{GenericAll, FileAllAccess},
                                          {GenericRead, FileRead},
                                          {GenericWrite, FileWrite},
                                          {GenericExecute, FileExecute}};

std::uint32_t MappedToFileRights(std::uint32_t rights) {
    std::uint32_t mapped = rights;
    for (const GenericMapping& row : FileMapping) {
        if (rights & row.generic) {
            mapped = (mapped & ~row.generic) | row.specific;
        }
    }
    return mapped;
}

bool HasFlag(std::string_view flags, std::string_view flag) {
    for (std::size_t at = 0; at + 1 < flags.size(); at += 2) {
        if (flags.substr(at, 2) == flag) {
            return true;
        }
    }
    return false;
}

bool OnlyKnownFlags(std::string_view flags) {
    for (std::size_t at = 0; at < flags.size(); at += 2) {
        if (std::find(std::begin(AceFlags), std::end(AceFlags), flags.substr(at, 2)) ==
            std::end(AceFlags)) {
            return false;
        }
    }
    return flags.size() % 2 == 0;
}

std::vector<std::string_view> Fields(std::string_view ace) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t end = ace.find(';', start);
        fields.push_back(ace.substr(start, end - start));
        if (end == std::string_view::npos) {
            return fields;
        }
        start = end + 1;
    }
}

// One entry's text, between its parentheses; false when it cannot be read.
// Callback deny entries are left out too: their condition may not hold, and a
// deny left out can only make the verdict stricter.
bool ReadEntry(std::string_view ace, std::vector<AccessEntry>& entries) {
    const std::vector<std::string_view> fields = Fields(ace);
    if (fields.size() < 6 || !OnlyKnownFlags(fields[1])) {
        return false;
    }
    const std::string_view type = fields[0];
    const bool allows = type == "A" || type == "XA";
    if ((!allows && type != "D") || HasFlag(fields[1], "IO")) {
        return true;
    }
    const auto rights = Rights(fields[2]);
    if (!rights) {
        return false;
    }
    entries.push_back({allows, MappedToFileRights(*rights), Sid(fields[5])});
    return true;
}

// The access list's text after "D:": its flags, then each entry in parentheses
// (a conditional entry holds parentheses of its own). False when unreadable.
bool ReadAccessList(std::string_view text, FileSecurity& security) {
    const std::size_t first = text.find('(');
    if (text.substr(0, first).find("NO_ACCESS_CONTROL") != std::string_view::npos) {
        security.accessList.reset();
        return true;
    }
    security.accessList.emplace();
    for (std::size_t at = first; at < text.size();) {
        int depth = 0;
        std::size_t end = at;
        for (; end < text.size(); ++end) {
            depth += text[end] == '(' ? 1 : text[end] == ')' ? -1 : 0;
            if (depth == 0) {
                break;
            }
        }
        if (text[at] != '(' || end == text.size() ||
            !ReadEntry(text.substr(at + 1, end - at - 1), *security.accessList)) {
            return false;
        }
        at = end + 1;
    }
    return true;
}

// The text's sections ("O:", "G:", "D:", "S:"), each up to where the next
// begins outside parentheses.
std::vector<std::pair<char, std::string_view>> Sections(std::string_view text) {
    std::vector<std::pair<char, std::string_view>> sections;
    std::size_t start = 0;
    int depth = 0;
    for (std::size_t at = 0; at + 1 < text.size(); ++at) {
        depth += text[at] == '(' ? 1 : text[at] == ')' ? -1 : 0;
        if (depth == 0 && text[at + 1] == ':' &&
            std::string_view("OGDS").find(text[at]) != std::string_view::npos) {
            if (!sections.empty()) {
                sections.back().second = text.substr(start, at - start);
            }
            sections.emplace_back(text[at], std::string_view());
            start = at + 2;
            ++at;
        }
    }
    if (!sections.empty()) {
        sections.back().second = text.substr(start);
    }
    return sections;
}

} // namespace

std::optional<FileSecurity> ParseSecurityText(const std::wstring& text) {
    std::string ascii;
    for (const wchar_t c : text) {
        if (c > 0x7F) {
            return std::nullopt;
        }
        ascii += static_cast<char>(c);
    }
    FileSecurity security;
    bool listed = false;
    for (const auto& [kind, body] : Sections(ascii)) {
        if (kind == 'O') {
            security.owner = Sid(body);
        } else if (kind == 'D') {
            if (!ReadAccessList(body, security)) {
                return std::nullopt;
            }
            listed = true;
        }
    }
    if (security.owner.empty() || !listed) {
        return std::nullopt; // both were asked for
    }
    return security;
}

Grant GrantedTo(const FileSecurity& security, const std::vector<std::string>& groups,
                std::uint32_t asked) {
    if (!security.accessList) {
        return {asked, EveryoneSid};
    }
    Grant grant;
    std::uint32_t denied = 0;
    for (const AccessEntry& entry : *security.accessList) {
        if (std::find(groups.begin(), groups.end(), entry.sid) == groups.end()) {
            continue;
        }
        if (!entry.allows) {
            denied |= entry.rights & ~grant.rights;
            continue;
        }
        const std::uint32_t granted = entry.rights & asked & ~denied & ~grant.rights;
        if (granted != 0 && grant.grantedBy.empty()) {
            grant.grantedBy = entry.sid;
        }
        grant.rights |= granted;
    }
    return grant;
}

namespace {

// The accounts trusted with the machine: anyone else counts.
constexpr const char* TrustedSids[] = {AdministratorsSid, SystemSid, TrustedInstallerSid};
// What every standard user's token holds: an entry for any of them is one for all.
constexpr const char* StandardUser[] = {EveryoneSid, AuthenticatedUsersSid, UsersSid,
                                        InteractiveSid};
// SIDs that no token holds: the creator's placeholders, and the owner's own
// rights, which the owner check covers.
constexpr const char* NoTokenSids[] = {"S-1-3-0", "S-1-3-1", "S-1-3-4"};

struct SidName {
    const char* sid;
    const char* name;
};
constexpr SidName SidNames[] = {{EveryoneSid, "Everyone"},
                                {AuthenticatedUsersSid, "Authenticated Users"},
                                {UsersSid, "Users"},
                                {InteractiveSid, "INTERACTIVE"},
                                {"S-1-5-32-546", "Guests"}};

template <typename Range> bool Holds(const Range& sids, const std::string& sid) {
    return std::any_of(std::begin(sids), std::end(sids),
                       [&](const auto& held) { return sid == held; });
}

std::string Name(const std::string& sid) {
    const auto* named = std::find_if(std::begin(SidNames), std::end(SidNames),
                                     [&](const SidName& row) { return sid == row.sid; });
    return named == std::end(SidNames) ? "the account " + sid : named->name;
}

// The tokens to try: a standard user's, and with it each other untrusted
// account that an entry names.
std::vector<std::vector<std::string>> UntrustedTokens(const FileSecurity& security,
                                                      const std::vector<std::string>& alsoTrusted) {
    const std::vector<std::string> standard(std::begin(StandardUser), std::end(StandardUser));
    std::vector<std::vector<std::string>> tokens{standard};
    for (const AccessEntry& entry : security.accessList.value_or(std::vector<AccessEntry>{})) {
        if (entry.allows && !Holds(TrustedSids, entry.sid) && !Holds(NoTokenSids, entry.sid) &&
            !Holds(StandardUser, entry.sid) && !Holds(alsoTrusted, entry.sid)) {
            tokens.push_back(standard);
            tokens.back().push_back(entry.sid);
        }
    }
    return tokens;
}

} // namespace

std::optional<Exposure> ExposedTo(const FileSecurity& security, std::uint32_t rights,
                                  const std::vector<std::string>& alsoTrusted) {
    for (const std::vector<std::string>& token : UntrustedTokens(security, alsoTrusted)) {
        const Grant grant = GrantedTo(security, token, rights);
        if (grant.rights != 0) {
            return Exposure{false, Name(grant.grantedBy)};
        }
    }
    if (!Holds(TrustedSids, security.owner) && !Holds(alsoTrusted, security.owner)) {
        return Exposure{true, Name(security.owner)};
    }
    return std::nullopt;
}

} // namespace platform
