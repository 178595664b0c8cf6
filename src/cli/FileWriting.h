// The files a run writes: the audit log, appended to, and an exported file,
// made or replaced. A privileged run (elevated, or as a service account) is
// what a standard user would most like to steer: it never writes through a
// link, and writes its log only where no other account could change it.
#pragma once

#include "platform/SystemApi.h"

#include <string>
#include <vector>

namespace cli {

struct FilePolicy {
    bool privileged;
    // Trusted besides Administrators, SYSTEM and TrustedInstaller: the
    // running account.
    std::vector<std::string> alsoTrusted;
};

enum class FileWrite { Written, AlreadyThere, Refused, Failed };

struct FileOutcome {
    FileWrite write;
    // Refused: why. Written: what a reader should know (others could change
    // it afterwards); empty when nothing.
    std::string note;
};

// Adds the bytes to the file's end in one write, making it when it is not there.
FileOutcome AppendToFile(platform::SystemApi& system, const FilePolicy& policy,
                         const std::string& path, const std::string& bytes);
// Makes the file hold exactly these bytes; without replace, only when there is
// no such file yet. Replacing writes a new file beside it and renames that
// over the old, so that nothing is written through a link at its name.
FileOutcome WriteFile(platform::SystemApi& system, const FilePolicy& policy,
                      const std::string& path, const std::string& bytes, bool replace);

} // namespace cli
