// A console that keeps what a command prints and the files it writes.
#pragma once

#include "cli/Console.h"

#include <map>
#include <string>

namespace testing_support {

class CapturingConsole final : public cli::Console {
  public:
    void WriteLine(const std::string& text) override { out += text + "\n"; }
    void WriteUtf8Line(const std::string& text) override { out += text + "\n"; }
    void WriteErrorLine(const std::string& text) override { err += text + "\n"; }
    std::string ToUtf8(const std::string& ansi) override { return ansi; }
    cli::FileWrite WriteFile(const std::string& path, const std::string& bytes,
                             bool replace) override {
        if (!replace && files.count(path)) {
            return cli::FileWrite::AlreadyThere;
        }
        files[path] = bytes;
        return cli::FileWrite::Written;
    }
    bool AppendToFile(const std::string& path, const std::string& bytes) override {
        if (path.find('*') != std::string::npos) { // a name Windows refuses
            return false;
        }
        files[path] += bytes;
        return true;
    }
    std::string out, err;
    std::map<std::string, std::string> files;
};

} // namespace testing_support
