// The console seam: where the command-line companion's text and JSON go. Text
// comes in the ANSI code page that the registry's 8-bit calls speak; the
// console shows it in its own code page, and JSON is UTF-8.
#pragma once

#include <string>

namespace cli {

enum class FileWrite { Written, AlreadyThere, Failed };

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
    // Makes the file (a path in the ANSI code page) hold exactly these bytes;
    // without replace, only when there is no such file yet.
    virtual FileWrite WriteFile(const std::string& path, const std::string& bytes,
                                bool replace) = 0;
    // Adds the bytes to the file's end in one write, making the file when it
    // is not there; false when they could not be added whole.
    virtual bool AppendToFile(const std::string& path, const std::string& bytes) = 0;
};

} // namespace cli
