// SPDX-License-Identifier: Apache-2.0
// A private CUPS scheduler for tests, the benchmark and the demo: its own configuration,
// spool, logs and local socket in a fresh temporary folder, running jobs as lp, never the
// machine's own scheduler. Queues are made with lpadmin from the model's PPD. The scheduler
// is stopped when the object goes, and (through the parent-death signal) when the process
// that started it dies.
#pragma once

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace vellmark::test {

// True under CI (CI=true): there a private scheduler that does not start fails the test rather
// than skipping it, since ctest counts a skipped test as passed.
inline bool SchedulerMustStart() {
    const char* ci = std::getenv("CI");
    return ci && std::string_view(ci) == "true";
}

// In a Qt test: starts `spooler`, and when it does not start fails the test under CI and
// skips it elsewhere.
#define VELLMARK_START_SPOOLER_OR_SKIP(spooler)                                                    \
    do {                                                                                           \
        std::string error;                                                                         \
        if (!(spooler).Start(&error)) {                                                            \
            const QString why = "no private scheduler: " + QString::fromStdString(error);          \
            QVERIFY2(!::vellmark::test::SchedulerMustStart(), qPrintable(why));                    \
            QSKIP(qPrintable(why));                                                                \
        }                                                                                          \
    } while (false)

class TestSpooler {
public:
    // `backendPath`: the raw socket backend to offer when the machine has none of its own.
    explicit TestSpooler(std::string backendPath, std::string tempRoot = "/tmp");
    ~TestSpooler();
    TestSpooler(const TestSpooler&) = delete;
    TestSpooler& operator=(const TestSpooler&) = delete;

    // Starts the scheduler and waits until it answers; false (with a reason) when it did not.
    bool Start(std::string* error = nullptr);
    // Ends the scheduler (TERM, then KILL) and waits for it. Safe to call more than once.
    void Stop();
    // Freezes and thaws the scheduler process, as a scheduler that no longer answers.
    void Pause();
    void Resume();
    bool Running() const { return m_pid > 0; }

    const std::string& Folder() const { return m_folder; }
    const std::string& SocketPath() const { return m_socket; }

    // lpadmin -p NAME -E -v URI -P PPD [extra...]; false when lpadmin failed.
    bool AddQueue(const std::string& name, const std::string& deviceUri, const std::string& ppd,
                  const std::vector<std::string>& extra = {});
    // A copy of `ppd` in the spooler's folder whose *NickName (the make and model the
    // scheduler reports) is `nickName`; returns its path.
    std::string PpdWithNickName(const std::string& ppd, const std::string& nickName) const;
    // Runs one of the CUPS administration tools against this scheduler (-h SOCKET is added).
    bool RunTool(const std::string& tool, const std::vector<std::string>& args);

    // The names of the queue's jobs, oldest first: every job ("all", completed ones included)
    // or those still to be printed ("not-completed"). None when the scheduler cannot be asked or
    // refuses the question (an unknown queue), so that "no job left" is never a failed question.
    std::optional<std::vector<std::string>> JobNames(const std::string& queue,
                                                     const char* which = "all") const;
    // The number of requests the scheduler has logged so far.
    std::size_t LoggedRequests() const;

private:
    bool WaitUntilAnswering(std::chrono::milliseconds timeout) const;
    void WriteConfiguration(const std::string& backendPath);

    std::string m_folder;
    std::string m_socket;
    pid_t m_pid = -1;
    bool m_paused = false;
};

} // namespace vellmark::test
