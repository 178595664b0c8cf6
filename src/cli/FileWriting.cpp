#include "FileWriting.h"

#include "platform/FileSecurity.h"
#include "platform/ProcessPaths.h"

#include <algorithm>
#include <cstdint>
#include <cwctype>
#include <memory>
#include <optional>

namespace cli {
namespace {

using platform::FileFacts;
using platform::SystemApi;

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) {
        return std::towlower(static_cast<wint_t>(x)) == std::towlower(static_cast<wint_t>(y));
    });
}

std::string Spelled(SystemApi& system, const std::wstring& path) {
    return platform::ToAnsi(system, path).value_or("a path this code page cannot spell");
}

// Why the object, opened at its own name, is not the one asked for: a link
// there, a link on a folder above it (its final path differs), or another
// name of the same file. Empty when it is the one.
std::string LinkRefusal(SystemApi& system, const FileFacts& facts, const std::wstring& asked) {
    const std::string shown = Spelled(system, asked);
    if (facts.attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        return shown + " is a link (a junction or a symbolic link)";
    }
    if (!SamePath(platform::WithoutLongPathPrefix(facts.finalPath), asked)) {
        return shown + " leads to " + Spelled(system, facts.finalPath) +
               ": a folder on its path is a junction or a link";
    }
    if (facts.links > 1) {
        return shown + " has " + std::to_string(facts.links) +
               " names (hard links): writing it would change another file";
    }
    return {};
}

// Who other than the trusted accounts could change it; empty when no one.
std::string ExposureOf(SystemApi& system, const FileFacts& facts, const std::wstring& path,
                       const FilePolicy& policy, std::uint32_t rights) {
    const std::string shown = Spelled(system, path);
    const auto security = platform::ParseSecurityText(facts.security);
    if (!security) {
        return "who may change " + shown + " could not be read";
    }
    const auto exposure = platform::ExposedTo(*security, rights, policy.alsoTrusted);
    if (!exposure) {
        return {};
    }
    return exposure->byOwner
               ? exposure->who + " owns " + shown + " and may change who has access to it"
               : exposure->who + " may change " + shown;
}

std::wstring FolderOf(const std::wstring& path) {
    std::wstring folder = platform::DirectoryPart(path);
    if (folder.size() > 3) {
        folder.pop_back(); // a folder is named without its last "\", a root with it
    }
    return folder;
}

// Who could rename or delete a folder above the file's, and so put another
// in its place: the rule of the handler's path. Empty when no one.
std::string AncestorExposure(SystemApi& system, const FilePolicy& policy,
                             const std::wstring& folder) {
    for (std::wstring above = folder; above.size() > 3;) {
        above = FolderOf(above);
        FileFacts facts;
        if (!system.GetFileFacts(above.c_str(), true, facts)) {
            return Spelled(system, above) + " could not be opened";
        }
        std::string exposure = ExposureOf(system, facts, above, policy, platform::PathFolderRights);
        if (!exposure.empty()) {
            return exposure;
        }
    }
    return {};
}

// The file's folder, held open until the write ends, so that no one can put
// another in its place meanwhile; for a privileged run with its link refusal,
// or else its exposure or its folders' above as a note: written into when
// refusal is empty.
struct HeldVerdict {
    std::unique_ptr<platform::HeldFolder> held;
    std::string refusal;
    std::string exposure;
};

HeldVerdict HoldFolder(SystemApi& system, const FilePolicy& policy, const std::wstring& file) {
    const std::wstring folder = FolderOf(file);
    HeldVerdict verdict{system.HoldFolder(folder.c_str(), policy.privileged), {}, {}};
    FileFacts facts;
    if (!verdict.held || (policy.privileged && !verdict.held->Facts(facts))) {
        verdict.refusal = Spelled(system, folder) + " could not be opened";
        return verdict;
    }
    if (!policy.privileged) {
        return verdict;
    }
    verdict.refusal = LinkRefusal(system, facts, folder);
    if (verdict.refusal.empty()) {
        verdict.exposure = ExposureOf(system, facts, folder, policy, platform::FolderRights);
    }
    if (verdict.refusal.empty() && verdict.exposure.empty()) {
        verdict.exposure = AncestorExposure(system, policy, folder);
    }
    return verdict;
}

// Opens the file and, for a privileged run, checks the open handle: what was
// made by this open and then refused is deleted again.
std::unique_ptr<platform::WritableFile> OpenChecked(SystemApi& system, const FilePolicy& policy,
                                                    const std::wstring& path,
                                                    platform::FileOpening opening, bool logTrust,
                                                    FileOutcome& outcome) {
    bool created = false;
    DWORD error = ERROR_SUCCESS;
    auto file = system.OpenWritableFile(path.c_str(), opening, policy.privileged, created, error);
    if (!file) {
        outcome = {error == ERROR_FILE_EXISTS ? FileWrite::AlreadyThere : FileWrite::Failed, {}};
        return nullptr;
    }
    if (!policy.privileged) {
        return file;
    }
    FileFacts facts;
    std::string refusal = file->Facts(facts) ? LinkRefusal(system, facts, path)
                                             : Spelled(system, path) + " could not be read back";
    if (refusal.empty() && logTrust) {
        refusal = ExposureOf(system, facts, path, policy, platform::FileRights);
    }
    if (refusal.empty()) {
        return file;
    }
    if (created) {
        file->Delete();
    }
    outcome = {FileWrite::Refused, std::move(refusal)};
    return nullptr;
}

// The full path; none with the outcome when it names no file to write: a
// ":" after the drive names a file's stream, which would stand in the folder's
// or another file's place.
std::optional<FileOutcome> FullPath(SystemApi& system, const std::string& given,
                                    std::wstring& full) {
    const std::wstring wide = platform::FromAnsi(system, given);
    full = wide.empty() ? wide : system.GetFullPathNameW(wide.c_str());
    if (full.empty()) {
        return FileOutcome{FileWrite::Failed, {}};
    }
    if (platform::WithoutLongPathPrefix(full).find(L':', 2) != std::wstring::npos) {
        return FileOutcome{FileWrite::Refused,
                           given + " names a file's stream (a \":\" after the drive), not a file"};
    }
    return std::nullopt;
}

// A name beside the file for its new version, not taken yet.
std::unique_ptr<platform::WritableFile> OpenBeside(SystemApi& system, const FilePolicy& policy,
                                                   const std::wstring& path, std::wstring& beside,
                                                   FileOutcome& outcome) {
    for (int attempt = 0; attempt < 10; ++attempt) {
        beside = path + L"." + std::to_wstring(attempt) + L".new";
        auto file =
            OpenChecked(system, policy, beside, platform::FileOpening::CreateNew, false, outcome);
        if (file || outcome.write != FileWrite::AlreadyThere) {
            return file;
        }
    }
    outcome = {FileWrite::Failed, {}};
    return nullptr;
}

} // namespace

FileOutcome AppendToFile(SystemApi& system, const FilePolicy& policy, const std::string& path,
                         const std::string& bytes) {
    std::wstring full;
    if (const auto unusable = FullPath(system, path, full)) {
        return *unusable;
    }
    const HeldVerdict folder = HoldFolder(system, policy, full);
    if (!folder.held) {
        return {policy.privileged ? FileWrite::Refused : FileWrite::Failed, folder.refusal};
    }
    const std::string& refusal = folder.refusal.empty() ? folder.exposure : folder.refusal;
    if (!refusal.empty()) {
        return {FileWrite::Refused, refusal};
    }
    FileOutcome outcome{FileWrite::Written, {}};
    const auto file =
        OpenChecked(system, policy, full, platform::FileOpening::Append, true, outcome);
    if (file && !file->Write(bytes)) {
        outcome.write = FileWrite::Failed;
    }
    return outcome;
}

FileOutcome WriteFile(SystemApi& system, const FilePolicy& policy, const std::string& path,
                      const std::string& bytes, bool replace) {
    std::wstring full;
    if (const auto unusable = FullPath(system, path, full)) {
        return *unusable;
    }
    const HeldVerdict folder = HoldFolder(system, policy, full);
    if (!folder.held || !folder.refusal.empty()) {
        return {policy.privileged ? FileWrite::Refused : FileWrite::Failed, folder.refusal};
    }
    FileOutcome outcome{FileWrite::Written, folder.exposure};
    std::wstring written = full;
    auto file = replace ? OpenBeside(system, policy, full, written, outcome)
                        : OpenChecked(system, policy, full, platform::FileOpening::CreateNew, false,
                                      outcome);
    if (!file) {
        return outcome;
    }
    // Renamed by its handle into the held folder: never by a name that could
    // lead elsewhere by then; on failure deleted by that handle.
    if (!file->Write(bytes) ||
        (replace && !file->RenameInto(*folder.held, platform::FileNamePart(full)))) {
        file->Delete();
        return {FileWrite::Failed, {}};
    }
    return outcome;
}

} // namespace cli
