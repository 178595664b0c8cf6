// Times how long programs take to start, against their floors, in turns:
//   startup_timer RUNS DIALOG DIALOG_FLOOR CONSOLE CONSOLE_FLOOR
// A dialog program has started when it waits for input (WaitForInputIdle); it
// is then ended. A console program (CONSOLE is run with --version) has started
// when it has ended. Each run starts with the next of the four, so that none
// always follows the same one. Prints the median of each and the two ratios,
// and the median of each run's own ratio, which drift between runs does not move.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
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
        {std::string("\"") + argv[4] + "\" --version", false},
        {std::string("\"") + argv[5] + "\"", false},
    };
    std::vector<double> times[4];
    for (int run = 0; run < runs; ++run) {
        for (int turn = 0; turn < 4; ++turn) {
            const int i = (run + turn) % 4;
            const double time = TimeStart(programs[i].commandLine, programs[i].dialog);
            if (time < 0) {
                std::fprintf(stderr, "could not start %s\n", programs[i].commandLine.c_str());
                return 1;
            }
            times[i].push_back(time);
        }
    }
    const double medians[] = {Median(times[0]), Median(times[1]), Median(times[2]),
                              Median(times[3])};
    std::printf("medians of %d interleaved runs, in ms\n", runs);
    std::printf("dialog        %7.1f  floor %7.1f  ratio %.3f  paired %.3f  (goal 1.03)\n",
                medians[0], medians[1], medians[0] / medians[1], PairedRatio(times[0], times[1]));
    std::printf("command line  %7.1f  floor %7.1f  ratio %.3f  paired %.3f  (goal 1.15)\n",
                medians[2], medians[3], medians[2] / medians[3], PairedRatio(times[2], times[3]));
    return 0;
}
