#include "WinConsole.h"

#include "platform/WinTypes.h"

#include <cstdio>
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

} // namespace cli
