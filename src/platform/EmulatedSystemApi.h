// Process and shell services as a test sets them: the running program's path,
// the files that exist with their short names, the ANSI code page, the
// notifications sent and the links opened.
#pragma once

#include "SystemApi.h"

#include <map>
#include <optional>
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

    DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size) override;
    DWORD GetShortPathNameW(LPCWSTR longPath, LPWSTR shortPath, DWORD size) override;
    DWORD GetFileAttributesW(LPCWSTR path) override;
    DWORD GetFileAttributesA(LPCSTR path) override;
    bool GetFileSecurityText(LPCWSTR path, std::wstring& text) override;
    UINT GetDriveTypeW(LPCWSTR rootPath) override;
    DWORD ExpandEnvironmentStringsA(LPCSTR source, LPSTR expanded, DWORD size) override;
    UINT GetACP() override { return codePage_; }
    int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR narrow,
                            int narrowSize, LPCSTR defaultChar, LPBOOL usedDefault) override;
    bool SHChangeNotify(LONG eventId, UINT flags, LPCVOID item1, LPCVOID item2) override;
    // Answers only the links that a test made answer; records every one asked.
    bool ShellExecuteA(LPCSTR verb, LPCSTR file, int showCommand) override;
    std::string ProcessUserSid() override { return processUser_; }
    std::string AccountName(const std::string& sid) override;

    void SetModuleFileName(std::wstring path) { modulePath_ = std::move(path); }
    // Makes the file exist; its short form is itself unless given (a volume
    // without short names answers with the long path).
    void AddFile(const std::wstring& longPath, const std::wstring& shortPath = L"");
    // A file's or folder's owner and access list; none: they cannot be read.
    // A path without one is protected as Program Files is.
    void SetFileSecurity(const std::wstring& path, std::optional<std::wstring> text) {
        security_[path] = std::move(text);
    }
    void SetRemoteDrive(wchar_t letter) { remoteDrives_ += letter; }
    // An environment variable, as %name% expands to (names ignore letter case).
    void SetEnvironmentVariable(const std::string& name, const std::string& value);
    // The ANSI code page: 1252 (Western, the default), 1251 (Cyrillic) or UTF-8.
    void SetAnsiCodePage(UINT codePage) { codePage_ = codePage; }
    const std::vector<Notification>& Notifications() const { return notifications_; }
    void AnswerLink(const std::string& link) { answered_.push_back(link); }
    const std::vector<std::string>& ExecutedLinks() const { return executed_; }
    // The account the process runs as; a user's until told (S-1-5-18: LocalSystem).
    void SetProcessUser(std::string sid) { processUser_ = std::move(sid); }
    // What Windows names an account; an account not named has no name.
    void NameAccount(const std::string& sid, std::string name) { accounts_[sid] = std::move(name); }

  private:
    std::wstring modulePath_ = L"C:\\Program Files\\Kavrex\\KavrexAssoc.exe";
    std::map<std::wstring, std::wstring> files_;
    std::map<std::wstring, std::optional<std::wstring>> security_;
    std::wstring remoteDrives_;
    std::map<std::string, std::string> environment_; // by folded name
    UINT codePage_ = 1252;
    std::vector<Notification> notifications_;
    std::vector<std::string> answered_;
    std::vector<std::string> executed_;
    std::string processUser_ = "S-1-5-21-1-2-3-1001";
    std::map<std::string, std::string> accounts_;
};

} // namespace platform
