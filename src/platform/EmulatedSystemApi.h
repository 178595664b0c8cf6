// Process and shell services as a test sets them: the running program's path,
// the files that exist with their short names, and the notifications sent.
#pragma once

#include "SystemApi.h"

#include <map>
#include <string>
#include <vector>

namespace platform {

class EmulatedSystemApi final : public SystemApi {
  public:
    struct Notification {
        LONG eventId;
        UINT flags;
        bool withItems;
    };

    DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) override;
    DWORD GetShortPathNameA(LPCSTR longPath, LPSTR shortPath, DWORD size) override;
    void SHChangeNotify(LONG eventId, UINT flags, LPCVOID item1, LPCVOID item2) override;

    void SetModuleFileName(std::string path) { modulePath_ = std::move(path); }
    // Makes the file exist; its short form is itself unless given.
    void AddFile(const std::string& longPath, const std::string& shortPath = "");
    const std::vector<Notification>& Notifications() const { return notifications_; }

  private:
    std::string modulePath_ = "C:\\Program Files\\Kavrex\\KavrexAssoc.exe";
    std::map<std::string, std::string> files_;
    std::vector<Notification> notifications_;
};

} // namespace platform
