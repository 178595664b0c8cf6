// Decorators of the process and shell seam: everything passes through to
// another seam but what each changes.
#pragma once

#include "SystemApi.h"

namespace platform {

// Passes every call through; a decorator overrides what it changes.
class ForwardingSystemApi : public SystemApi {
  public:
    explicit ForwardingSystemApi(SystemApi& inner) : inner_(inner) {}

    DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size) override {
        return inner_.GetModuleFileNameW(module, fileName, size);
    }
    DWORD GetShortPathNameW(LPCWSTR longPath, LPWSTR shortPath, DWORD size) override {
        return inner_.GetShortPathNameW(longPath, shortPath, size);
    }
    DWORD GetFileAttributesW(LPCWSTR path) override { return inner_.GetFileAttributesW(path); }
    DWORD GetFileAttributesA(LPCSTR path) override { return inner_.GetFileAttributesA(path); }
    bool GetFileSecurityText(LPCWSTR path, std::wstring& text) override {
        return inner_.GetFileSecurityText(path, text);
    }
    UINT GetDriveTypeW(LPCWSTR rootPath) override { return inner_.GetDriveTypeW(rootPath); }
    std::unique_ptr<WritableFile> OpenWritableFile(LPCWSTR path, FileOpening opening, bool atName,
                                                   bool& created, DWORD& error) override {
        return inner_.OpenWritableFile(path, opening, atName, created, error);
    }
    bool GetFileFacts(LPCWSTR path, bool atName, FileFacts& facts) override {
        return inner_.GetFileFacts(path, atName, facts);
    }
    std::wstring GetFullPathNameW(LPCWSTR path) override { return inner_.GetFullPathNameW(path); }
    std::unique_ptr<HeldFolder> HoldFolder(LPCWSTR path, bool atName) override {
        return inner_.HoldFolder(path, atName);
    }
    DWORD ExpandEnvironmentStringsA(LPCSTR source, LPSTR expanded, DWORD size) override {
        return inner_.ExpandEnvironmentStringsA(source, expanded, size);
    }
    UINT GetACP() override { return inner_.GetACP(); }
    int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR narrow,
                            int narrowSize, LPCSTR defaultChar, LPBOOL usedDefault) override {
        return inner_.WideCharToMultiByte(codePage, flags, wide, wideLength, narrow, narrowSize,
                                          defaultChar, usedDefault);
    }
    int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR narrow, int narrowLength,
                            LPWSTR wide, int wideSize) override {
        return inner_.MultiByteToWideChar(codePage, flags, narrow, narrowLength, wide, wideSize);
    }
    bool SHChangeNotify(LONG eventId, UINT flags, LPCVOID item1, LPCVOID item2) override {
        return inner_.SHChangeNotify(eventId, flags, item1, item2);
    }
    bool ShellExecuteA(LPCSTR verb, LPCSTR file, int showCommand) override {
        return inner_.ShellExecuteA(verb, file, showCommand);
    }
    std::string ProcessUserSid() override { return inner_.ProcessUserSid(); }
    std::string AccountName(const std::string& sid) override { return inner_.AccountName(sid); }
    std::string ComputerName() override { return inner_.ComputerName(); }

  protected:
    SystemApi& Inner() { return inner_; }

  private:
    SystemApi& inner_;
};

// For dry runs: the shell hears of nothing.
class QuietSystemApi final : public ForwardingSystemApi {
  public:
    using ForwardingSystemApi::ForwardingSystemApi;
    bool SHChangeNotify(LONG, UINT, LPCVOID, LPCVOID) override { return true; }
};

// For paths that another account wrote (its classes, read as SYSTEM or an
// administrator): a path is looked up level by level at its own name, and a
// link on the way is not followed: it answers FILE_ATTRIBUTE_REPARSE_POINT
// alone, "not checked", so that no link on a local drive sends this run to a
// host that account named.
class LinkFreeLookups final : public ForwardingSystemApi {
  public:
    using ForwardingSystemApi::ForwardingSystemApi;
    DWORD GetFileAttributesW(LPCWSTR path) override;
    DWORD GetFileAttributesA(LPCSTR path) override;
};

} // namespace platform
