// Times how long programs take to start, against their floors, in turns:
//   startup_timer RUNS DIALOG DIALOG_FLOOR CONSOLE CONSOLE_FLOOR
// A dialog program has started when it waits for input (WaitForInputIdle); it
// is then ended. A console program (CONSOLE is run with --version) has started
// when it has ended. DIALOG_FLOOR runs twice: bare, and with the application
// window the dialog's design asks for (--application-window), the floor the
// goal is measured against. Each run starts with the next of the five, so that
// none always follows the same one. Prints the median of each and the ratios,
// and the median of each run's own ratio, which drift between runs does not move.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

namespace {

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

// One start in milliseconds; negative when the program could not be started.
double TimeStart(const std::string& commandLine, bool dialog) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES; // the console programs' lines go nowhere
    PROCESS_INFORMATION process{};
    std::string line = commandLine;
    LARGE_INTEGER start, end;
    ::QueryPerformanceCounter(&start);
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &startup, &process)) {
        return -1;
    }
    if (dialog) {
        ::WaitForInputIdle(process.hProcess, 10000);
        ::QueryPerformanceCounter(&end);
        ::TerminateProcess(process.hProcess, 0);
    }
    ::WaitForSingleObject(process.hProcess, 10000);
    if (!dialog) {
        ::QueryPerformanceCounter(&end);
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return 1000 * Seconds(start, end);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double PairedRatio(const std::vector<double>& times, const std::vector<double>& floors) {
    std::vector<double> ratios;
    for (std::size_t run = 0; run < times.size(); ++run) {
        ratios.push_back(times[run] / floors[run]);
    }
    return Median(ratios);
}

// One program against its floor: both medians, their ratio and the paired ratio.
void Compare(const char* name, const std::vector<double>& times, const char* floorName,
             const std::vector<double>& floors, const char* goal) {
    std::printf("%-12s %7.1f  %-33s %7.1f  ratio %.3f  paired %.3f  %s\n", name, Median(times),
                floorName, Median(floors), Median(times) / Median(floors),
                PairedRatio(times, floors), goal);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr,
                     "usage: startup_timer RUNS DIALOG DIALOG_FLOOR CONSOLE CONSOLE_FLOOR\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    const struct {
        std::string commandLine;
        bool dialog;
    } programs[] = {
        {std::string("\"") + argv[2] + "\"", true},
        {std::string("\"") + argv[3] + "\"", true},
        {std::string("\"") + argv[3] + "\" --application-window", true},
        {std::string("\"") + argv[4] + "\" --version", false},
        {std::string("\"") + argv[5] + "\"", false},
    };
    constexpr int count = static_cast<int>(std::size(programs));
    std::vector<double> times[count];
    for (int run = 0; run < runs; ++run) {
        for (int turn = 0; turn < count; ++turn) {
            const int i = (run + turn) % count;
            const double time = TimeStart(programs[i].commandLine, programs[i].dialog);
            if (time < 0) {
                std::fprintf(stderr, "could not start %s\n", programs[i].commandLine.c_str());
                return 1;
            }
            times[i].push_back(time);
        }
    }
    std::printf("medians of %d interleaved runs, in ms\n", runs);
    Compare("dialog", times[0], "floor with the application window", times[2], "(goal 1.03)");
    Compare("dialog", times[0], "bare floor", times[1], "");
    Compare("command line", times[3], "floor", times[4], "(goal 1.15)");
    return 0;
}
