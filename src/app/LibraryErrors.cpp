// The standard library's error raisers, for the dialog alone. libstdc++ keeps
// them all in one object, whose std::logic_error family brings in a second,
// copy-on-write string implementation for their messages: some 40 KB of the
// x86 program. The errors raised here are std::exceptions as before, with the
// same message, and reach the same handlers; only no catch names their types.
#include <exception>
#include <new>

#if defined(__GLIBCXX__) && defined(_WIN32)

namespace {

class LibraryError final : public std::exception {
  public:
    explicit LibraryError(const char* message) : message_(message) {}
    const char* what() const noexcept override { return message_; }

  private:
    const char* message_;
};

} // namespace

namespace std {

void __throw_bad_alloc() {
    throw std::bad_alloc();
}
void __throw_bad_array_new_length() {
    throw std::bad_array_new_length();
}
void __throw_length_error(const char* message) {
    throw LibraryError(message);
}
void __throw_logic_error(const char* message) {
    throw LibraryError(message);
}
void __throw_out_of_range_fmt(const char* message, ...) {
    throw LibraryError(message); // the format unfilled: the names it leaves say enough
}

} // namespace std

#endif
