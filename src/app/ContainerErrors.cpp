// The standard library's own error reports, for KavrexAssoc.exe alone.
// libstdc++ keeps them in one object that links in every standard exception
// with a message, a second string implementation and a random device (some
// 60 to 80 KB). Defined here, all of them, that object is never linked in. In
// this program each report with a message is a programming error that nothing
// handles: it ends the program with the fatal-error box, naming the error. The
// errors without a message are thrown as the standard types, as before.
#include "FatalError.h"

#include <cstdarg>
#include <cstdio>
#include <exception>
#include <new>
#include <typeinfo>

#ifdef __GLIBCXX__

namespace std {

void __throw_bad_exception() {
    throw bad_exception();
}
void __throw_bad_alloc() {
    throw bad_alloc();
}
void __throw_bad_array_new_length() {
    throw bad_array_new_length();
}
void __throw_bad_cast() {
    throw bad_cast();
}
void __throw_bad_typeid() {
    throw bad_typeid();
}
void __throw_logic_error(const char* message) {
    app::ShowFatalErrorAndExit(message);
}
void __throw_domain_error(const char* message) {
    app::ShowFatalErrorAndExit(message);
}
void __throw_invalid_argument(const char* message) {
    app::ShowFatalErrorAndExit(message);
}
void __throw_length_error(const char* message) {
    app::ShowFatalErrorAndExit(message);
}
void __throw_out_of_range(const char* message) {
    app::ShowFatalErrorAndExit(message);
}
void __throw_runtime_error(const char* message) {
    app::ShowFatalErrorAndExit(message);
}
void __throw_range_error(const char* message) {
    app::ShowFatalErrorAndExit(message);
}
void __throw_overflow_error(const char* message) {
    app::ShowFatalErrorAndExit(message);
}
void __throw_underflow_error(const char* message) {
    app::ShowFatalErrorAndExit(message);
}
void __throw_out_of_range_fmt(const char* format, ...) {
    char message[256];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(message, sizeof message, format, arguments);
    va_end(arguments);
    app::ShowFatalErrorAndExit(message);
}

} // namespace std
#endif
