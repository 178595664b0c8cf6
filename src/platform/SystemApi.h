// The process, file-system and shell seam: the services the association
// component needs, in their Windows shapes. Paths come as wide strings, so
// that none is lost before it could be converted.
#pragma once

#include "WinTypes.h"

#include <memory>
#include <string>

#ifdef _WIN32
#include <shlobj.h> // SHCNE_ and SHCNF_ codes
#endif

namespace platform {

// What a handle on a file or folder shows: its attributes (a reparse point,
// such as a junction or a symbolic link, when opened at its own name), how many
// names the file has (hard links), the path it really resolves to (without
// "\\?\"), and its owner and access list as GetFileSecurityText gives them
// (empty when they cannot be read).
struct FileFacts {
    DWORD attributes = 0;
    DWORD links = 0;
    std::wstring finalPath;
    std::wstring security;
};

// A folder held open, not shared for deletion: while it is held no one can
// rename or delete it, nor a folder above it, so none can be put in its place.
class HeldFolder {
  public:
    virtual ~HeldFolder() = default;
    virtual bool Facts(FileFacts& facts) = 0;
};

// A file open for writing; closed with this object.
class WritableFile {
  public:
    virtual ~WritableFile() = default;
    virtual bool Facts(FileFacts& facts) = 0;
    // The bytes whole, at the end of the file for one opened to append.
    virtual bool Write(const std::string& bytes) = 0;
    // Deletes the file through this handle, never by its name; it goes when
    // the handle closes.
    virtual bool Delete() = 0;
    // Gives the file, through this handle, the name in the held folder (a file
    // name alone), replacing a file of that name.
    virtual bool RenameInto(HeldFolder& folder, const std::wstring& name) = 0;
};

enum class FileOpening {
    Append,    // made when not there; every write goes to its end
    CreateNew, // only when there is no such name yet
};

class SystemApi {
  public:
    virtual ~SystemApi() = default;

    virtual DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size) = 0;
    virtual DWORD GetShortPathNameW(LPCWSTR longPath, LPWSTR shortPath, DWORD size) = 0;
    // INVALID_FILE_ATTRIBUTES when there is no such file.
    virtual DWORD GetFileAttributesW(LPCWSTR path) = 0;
    virtual DWORD GetFileAttributesA(LPCSTR path) = 0; // a path the registry holds
    // A file's or folder's owner and access list, as ConvertSecurityDescriptor-
    // ToStringSecurityDescriptor writes them; false when they cannot be read.
    virtual bool GetFileSecurityText(LPCWSTR path, std::wstring& text) = 0;
    virtual UINT GetDriveTypeW(LPCWSTR rootPath) = 0;
    // The file opened for writing; none, with the error, when it cannot be.
    // atName: a link at the path's own name is opened itself, not followed
    // (the folders above it are followed). created: this open made the file.
    virtual std::unique_ptr<WritableFile> OpenWritableFile(LPCWSTR path, FileOpening opening,
                                                           bool atName, bool& created,
                                                           DWORD& error) = 0;
    // The facts of a file or folder; atName: a link at its own name is opened
    // itself, not followed. False when it cannot be opened.
    virtual bool GetFileFacts(LPCWSTR path, bool atName, FileFacts& facts) = 0;
    // The folder held open; atName: a link at its own name is held itself,
    // not followed. None when it cannot be opened.
    virtual std::unique_ptr<HeldFolder> HoldFolder(LPCWSTR path, bool atName) = 0;
    // The full path, as GetFullPathNameW makes it from the current folder.
    virtual std::wstring GetFullPathNameW(LPCWSTR path) = 0;
    // The size needed, with the NUL; written only when it fits.
    virtual DWORD ExpandEnvironmentStringsA(LPCSTR source, LPSTR expanded, DWORD size) = 0;
    virtual UINT GetACP() = 0;
    virtual int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength,
                                    LPSTR narrow, int narrowSize, LPCSTR defaultChar,
                                    LPBOOL usedDefault) = 0;
    virtual int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR narrow, int narrowLength,
                                    LPWSTR wide, int wideSize) = 0;
    // False when the shell could not be reached. The real side loads the
    // shell's library when first asked, so that no program imports it at start.
    virtual bool SHChangeNotify(LONG eventId, UINT flags, LPCVOID item1, LPCVOID item2) = 0;
    // Runs the verb on a file or link with the program registered for it;
    // true when one answered (the shell's result above 32). Late-bound too.
    virtual bool ShellExecuteA(LPCSTR verb, LPCSTR file, int showCommand) = 0;
    // The user SID of the process's token, e.g. "S-1-5-18"; empty when it
    // cannot be read.
    virtual std::string ProcessUserSid() = 0;
    // An account's "DOMAIN\name" as LookupAccountSid gives it (in the ANSI
    // code page); empty when Windows cannot name it.
    virtual std::string AccountName(const std::string& sid) = 0;
    // The computer's NetBIOS name, as GetComputerNameA gives it; empty when it
    // cannot be read.
    virtual std::string ComputerName() = 0;
};

// The services the program uses: the platform's on Windows, an emulation elsewhere.
SystemApi& SystemServices();

} // namespace platform
