// The console seam: where the command-line companion's text and JSON go. Text
// comes in the ANSI code page that the registry's 8-bit calls speak; the
// console shows it in its own code page, and JSON is UTF-8.
#pragma once

#include <string>

namespace cli {

class Console {
  public:
    virtual ~Console() = default;
    // A line of text (no newline), in the ANSI code page.
    virtual void WriteLine(const std::string& text) = 0;
    // A line of UTF-8 (JSON), written as it is.
    virtual void WriteUtf8Line(const std::string& text) = 0;
    // A line for the error stream, in the ANSI code page.
    virtual void WriteErrorLine(const std::string& text) = 0;
    // The text converted from the ANSI code page to UTF-8.
    virtual std::string ToUtf8(const std::string& ansi) = 0;
};

} // namespace cli
