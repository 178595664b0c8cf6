// The console on Windows: text in the console's output code page, JSON in UTF-8, bytes as they are
// when the output is a file or a pipe.
#pragma once

#include "Console.h"

namespace cli {

class WinConsole final : public Console {
  public:
    void WriteLine(const std::string& text) override;
    void WriteUtf8Line(const std::string& text) override;
    void WriteErrorLine(const std::string& text) override;
    std::string ToUtf8(const std::string& ansi) override;
};

} // namespace cli
