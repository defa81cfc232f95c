// SPDX-License-Identifier: Apache-2.0
// What the benchmarks that time whole processes share: running a program with its output
// discarded, and a reporter that keeps every run's figures for the ratios printed at the end.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace vellmark::bench {

// Runs `args` (the program first, looked up on PATH) to its end with its output discarded and
// CUPS_SERVER set to `server` when given; true when it exited with `okStatus` (0 unless told).
// `peakKb`: its peak resident memory; `cpuSeconds`: its user and system time.
inline bool RunQuietly(const std::vector<std::string>& args, const char* server = nullptr,
                       long* peakKb = nullptr, double* cpuSeconds = nullptr, int okStatus = 0) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        if (server)
            ::setenv("CUPS_SERVER", server, 1);
        std::vector<char*> argv;
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage {};
    if (::wait4(pid, &status, 0, &usage) != pid)
        return false;
    if (peakKb)
        *peakKb = usage.ru_maxrss;
    if (cpuSeconds)
        *cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                      static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return WIFEXITED(status) && WEXITSTATUS(status) == okStatus;
}

// Prints why a benchmark program cannot go on; returns its exit status.
inline int Fail(const char* program, const std::string& why) {
    std::fprintf(stderr, "%s: %s\n", program, why.c_str());
    return 1;
}

// Starts a benchmark program's private print scheduler; false, with the reason printed, when it
// does not start.
template <class Spooler> bool StartSpooler(Spooler& spooler, const char* program) {
    std::string error;
    if (spooler.Start(&error))
        return true;
    Fail(program, error);
    return false;
}

// Keeps each run by the name it was registered under (without the options the library appends).
class KeepingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            m_runs[run.run_name.function_name] = run;
        ConsoleReporter::ReportRuns(runs);
    }
    // Real time per iteration in the run's unit; 0 when the run is missing.
    double Time(const std::string& name) { return m_runs[name].GetAdjustedRealTime(); }
    double Counter(const std::string& name, const std::string& counter) {
        return m_runs[name].counters[counter].value;
    }

private:
    std::map<std::string, Run> m_runs;
};

// One of two runs compared: how the line names it, and the name it was registered under.
struct Compared {
    const char* label;
    const char* run;
};

// Prints the real times of two runs and their ratio beside its goal: "HEAD A 1.0 ms, B 2.0 ms,
// ratio 0.50 (goal: at most GOAL)"; nothing when the second run is missing.
inline void PrintRatio(KeepingReporter& reporter, const char* head, Compared first, Compared second,
                       const char* goal) {
    const double a = reporter.Time(first.run);
    const double b = reporter.Time(second.run);
    if (b > 0)
        std::printf("%s %s %.1f ms, %s %.1f ms, ratio %.2f (goal: at most %s)\n", head, first.label,
                    a, second.label, b, a / b, goal);
}

} // namespace vellmark::bench
