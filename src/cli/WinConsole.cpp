#include "WinConsole.h"

#include "platform/WinTypes.h"

#include <cstdio>
#include <memory>
#include <string>

namespace cli {
namespace {

std::wstring Wide(const std::string& text, UINT codePage) {
    const int length =
        ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                          length);
    return wide;
}

std::string Narrow(const std::wstring& text, UINT codePage) {
    const int length = ::WideCharToMultiByte(
        codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), narrow.data(),
                          length, nullptr, nullptr);
    return narrow;
}

void Write(std::FILE* stream, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

// The ANSI text in the console's output code page.
std::string ForConsole(const std::string& ansi) {
    const UINT console = ::GetConsoleOutputCP();
    return console == 0 || console == ::GetACP() ? ansi : Narrow(Wide(ansi, CP_ACP), console);
}

} // namespace

void WinConsole::WriteLine(const std::string& text) {
    Write(stdout, ForConsole(text));
}

void WinConsole::WriteUtf8Line(const std::string& text) {
    Write(stdout, text);
}

void WinConsole::WriteErrorLine(const std::string& text) {
    Write(stderr, ForConsole(text));
}

std::string WinConsole::ToUtf8(const std::string& ansi) {
    return Narrow(Wide(ansi, CP_ACP), CP_UTF8);
}

namespace {

struct FileCloser {
    void operator()(HANDLE file) const { ::CloseHandle(file); }
};
using File = std::unique_ptr<void, FileCloser>;

bool WriteWhole(const File& file, const std::string& bytes) {
    DWORD written = 0;
    return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                       nullptr) &&
           written == bytes.size();
}

} // namespace

// CREATE_NEW refuses a file that is there in the same call that makes it, so
// nothing made in between is ever overwritten.
FileWrite WinConsole::WriteFile(const std::string& path, const std::string& bytes, bool replace) {
    const HANDLE opened =
        ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, replace ? CREATE_ALWAYS : CREATE_NEW,
                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        return ::GetLastError() == ERROR_FILE_EXISTS ? FileWrite::AlreadyThere : FileWrite::Failed;
    }
    return WriteWhole(File(opened), bytes) ? FileWrite::Written : FileWrite::Failed;
}

// With FILE_APPEND_DATA alone every write goes to the file's end as it is
// then ("File Access Rights Constants"), so runs that log at once each add a
// whole line, never half of one; others may read and append meanwhile.
bool WinConsole::AppendToFile(const std::string& path, const std::string& bytes) {
    const HANDLE opened =
        ::CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return opened != INVALID_HANDLE_VALUE && WriteWhole(File(opened), bytes);
}

} // namespace cli
