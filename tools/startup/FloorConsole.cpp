// The floor for the command line's start-up: a static console program that
// prints one line.
#include <cstdio>

int main() {
    std::puts("kavrex-assoc");
    return 0;
}
