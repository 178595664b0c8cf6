// A console that keeps what a command prints.
#pragma once

#include "cli/Console.h"

#include <string>

namespace testing_support {

class CapturingConsole final : public cli::Console {
  public:
    void WriteLine(const std::string& text) override { out += text + "\n"; }
    void WriteUtf8Line(const std::string& text) override { out += text + "\n"; }
    void WriteErrorLine(const std::string& text) override { err += text + "\n"; }
    std::string ToUtf8(const std::string& ansi) override { return ansi; }
    std::string out, err;
};

} // namespace testing_support
