// The common base of the program's exceptions: a formatted message, nothing more.
#pragma once

#include <exception>
#include <string>
#include <vector>

namespace platform {

class Exception : public std::exception {
  public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    [[nodiscard]] const char* what() const noexcept override { return message_.c_str(); }

  private:
    std::string message_;
};

// The pattern with its first "%s" replaced by the argument.
std::string FormatText(const std::string& pattern, const std::string& argument);
// The pattern with "%1", "%2"… replaced by the arguments, in order; an
// argument is never read for placeholders again.
std::string FilledText(std::string pattern, const std::vector<std::string>& arguments);

} // namespace platform
