// Process and shell services as a test sets them: the running program's path,
// the files that exist with their short names, the files written with their
// names (hard links) and the reparse points (junctions, symbolic links), the
// drives' kinds, the ANSI code page, the notifications sent, the links opened
// and every path looked up.
#pragma once

#include "platform/SystemApi.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace emulation {

using platform::FileFacts;
using platform::FileOpening;
using platform::SystemApi;
using platform::WritableFile;

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
    std::unique_ptr<WritableFile> OpenWritableFile(LPCWSTR path, FileOpening opening, bool atName,
                                                   bool& created, DWORD& error) override;
    bool GetFileFacts(LPCWSTR path, bool atName, FileFacts& facts) override;
    std::unique_ptr<platform::HeldFolder> HoldFolder(LPCWSTR path, bool atName) override;
    std::wstring GetFullPathNameW(LPCWSTR path) override;
    // Deletes a file by its name, as another program or an uninstaller would;
    // refused while a handle that does not share delete is open on it.
    BOOL DeleteFileW(LPCWSTR path);
    DWORD ExpandEnvironmentStringsA(LPCSTR source, LPSTR expanded, DWORD size) override;
    UINT GetACP() override { return codePage_; }
    int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR narrow,
                            int narrowSize, LPCSTR defaultChar, LPBOOL usedDefault) override;
    int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR narrow, int narrowLength,
                            LPWSTR wide, int wideSize) override;
    bool SHChangeNotify(LONG eventId, UINT flags, LPCVOID item1, LPCVOID item2) override;
    // Answers only the links that a test made answer; records every one asked.
    bool ShellExecuteA(LPCSTR verb, LPCSTR file, int showCommand) override;
    std::string ProcessUserSid() override { return processUser_; }
    std::string AccountName(const std::string& sid) override;
    std::string ComputerName() override { return "KAVREX-PC"; }

    void SetModuleFileName(std::wstring path) { modulePath_ = std::move(path); }
    // Makes the file exist; its short form is itself unless given (a volume
    // without short names answers with the long path).
    void AddFile(const std::wstring& longPath, const std::wstring& shortPath = L"");
    // A file's or folder's owner and access list; none: they cannot be read.
    // A path without one is protected as Program Files is.
    void SetFileSecurity(const std::wstring& path, std::optional<std::wstring> text) {
        security_[path] = std::move(text);
    }
    // A drive's kind (DRIVE_REMOTE, DRIVE_REMOVABLE, ...); fixed unless told.
    void SetDriveType(wchar_t letter, UINT type) { driveTypes_[letter] = type; }
    // A reparse point at path that leads to target: a junction on a folder, or
    // a symbolic link on a file. Every folder is there.
    void SetLink(const std::wstring& path, const std::wstring& target) { links_[path] = target; }
    // Gives the file another name, a hard link: both names write the same bytes.
    void AddHardLink(const std::wstring& name, const std::wstring& existing);
    // A file with these bytes, made by someone else.
    void PutFile(const std::wstring& path, const std::string& bytes);
    // The bytes of the file the path leads to; none when there is none.
    [[nodiscard]] std::optional<std::string> FileContents(const std::wstring& path) const;
    // Every path the program looked up or opened, in order.
    [[nodiscard]] const std::vector<std::wstring>& LookedUp() const { return lookedUp_; }
    // An environment variable, as %name% expands to (names ignore letter case).
    void SetEnvironmentVariable(const std::string& name, const std::string& value);
    // The ANSI code page: 1252 (Western, the default), 1251 (Cyrillic) or UTF-8.
    void SetAnsiCodePage(UINT codePage) { codePage_ = codePage; }
    [[nodiscard]] const std::vector<Notification>& Notifications() const { return notifications_; }
    void AnswerLink(const std::string& link) { answered_.push_back(link); }
    [[nodiscard]] const std::vector<std::string>& ExecutedLinks() const { return executed_; }
    // The account the process runs as; a user's until told (S-1-5-18: LocalSystem).
    void SetProcessUser(std::string sid) { processUser_ = std::move(sid); }
    // What Windows names an account; an account not named has no name.
    void NameAccount(const std::string& sid, std::string name) { accounts_[sid] = std::move(name); }

    // For the open files: a path with its reparse points followed; with
    // atName, all but a link at its own name.
    [[nodiscard]] std::wstring Resolved(const std::wstring& path, bool atName = false) const;
    std::wstring SecurityOf(const std::wstring& path);
    std::map<std::wstring, std::wstring>& Names() { return names_; }
    std::map<std::wstring, std::string>& Contents() { return contents_; }
    [[nodiscard]] bool IsLink(const std::wstring& path) const { return links_.count(path) != 0; }
    // How many handles, none sharing delete, each name has open.
    std::map<std::wstring, int>& OpenHandles() { return openHandles_; }
    // Another account swaps the folder for a link to target, as renaming it
    // away and making a junction in its place would; refused while the
    // folder, or one below it, is held.
    // Gives a file, by its resolved name, another name; a rename by handle.
    void Rename(const std::wstring& source, const std::wstring& target);
    bool SwapForLink(const std::wstring& folder, const std::wstring& target);
    // Called on each write to an open file: a test's moment to act meanwhile.
    void OnWrite(std::function<void()> hook) { onWrite_ = std::move(hook); }
    void Wrote() {
        if (onWrite_) {
            onWrite_();
        }
    }

  private:
    std::wstring modulePath_ = L"C:\\Program Files\\Kavrex\\KavrexAssoc.exe";
    std::map<std::wstring, std::wstring> files_;
    std::map<std::wstring, std::optional<std::wstring>> security_;
    std::map<wchar_t, UINT> driveTypes_;
    std::map<std::wstring, std::wstring> links_;
    std::map<std::wstring, std::wstring> names_;   // a file's name: the file it names
    std::map<std::wstring, std::string> contents_; // by file
    std::map<std::wstring, int> openHandles_;
    std::function<void()> onWrite_;
    unsigned nextFile_ = 0;
    std::vector<std::wstring> lookedUp_;
    std::map<std::string, std::string> environment_; // by folded name
    UINT codePage_ = 1252;
    std::vector<Notification> notifications_;
    std::vector<std::string> answered_;
    std::vector<std::string> executed_;
    std::string processUser_ = "S-1-5-21-1-2-3-1001";
    std::map<std::string, std::string> accounts_;
};

} // namespace emulation
