// SPDX-License-Identifier: Apache-2.0
// The demo spooler: a private scheduler with two simulated printers of the model and one
// queue that prints to a file. Each job a printer receives is kept in DIR/jobs as QUEUE-N.bin
// with its hex dump beside it (QUEUE-N.hex), and the dump is printed. Runs until it gets
// SIGTERM, SIGINT or SIGHUP, then stops the scheduler, ends whatever the scheduler left running
// (a back end still talking to a printer) and removes its folder.
//
//   vellmark-demo-spooler DIR
//
// DIR/env then holds CUPS_SERVER=..., and DIR/ready appears once the queues exist.
#include "SimulatedPrinter.h"
#include "TestSpooler.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include <dirent.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vellmark::test;

namespace {

SimulatedPrinter::JobCallback KeepJobs(const std::string& jobs, const std::string& queue) {
    return [jobs, queue](int number, const SimulatedPrinter::Job& job) {
        const std::string base = jobs + "/" + queue + "-" + std::to_string(number);
        const std::string dump = HexDump(job);
        std::ofstream(base + ".hex") << dump;
        // The .bin file appears last: who waits for it finds the dump complete.
        std::ofstream(base + ".tmp", std::ios::binary)
            .write(reinterpret_cast<const char*>(job.data()),
                   static_cast<std::streamsize>(job.size()));
        std::rename((base + ".tmp").c_str(), (base + ".bin").c_str());
        std::cout << queue << ": job " << number << ", " << job.size() << " bytes\n"
                  << dump << std::flush;
    };
}

// Ends every child of this process and waits for it. With this process as the subreaper, the
// children are the scheduler's orphans as well as its own.
void EndChildren() {
    const pid_t self = ::getpid();
    for (;;) {
        std::vector<pid_t> children;
        if (DIR* proc = ::opendir("/proc")) {
            while (const dirent* entry = ::readdir(proc)) {
                const pid_t pid = static_cast<pid_t>(std::atol(entry->d_name));
                if (pid <= 0)
                    continue;
                std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
                std::string line;
                std::getline(stat, line);
                // "pid (command) state ppid ...": the command may hold spaces and parentheses.
                const auto close = line.rfind(')');
                char state = 0;
                long parent = 0;
                if (close != std::string::npos &&
                    std::sscanf(line.c_str() + close + 1, " %c %ld", &state, &parent) == 2 &&
                    parent == self)
                    children.push_back(pid);
            }
            ::closedir(proc);
        }
        if (children.empty())
            return;
        for (const pid_t pid : children) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: vellmark-demo-spooler DIR\n";
        return 2;
    }
    const std::string dir = argv[1];
    const std::string jobs = dir + "/jobs";
    ::mkdir(dir.c_str(), 0755);
    ::mkdir(jobs.c_str(), 0755);

    // Block the stop signals before any thread starts, then wait for one of them below. A
    // signal that the starter left ignored (a script's background job ignores SIGINT) would be
    // discarded instead of waited for: each gets its default action first. The scheduler and
    // its programs get none of this mask.
    sigset_t stop;
    sigemptyset(&stop);
    for (const int s : {SIGTERM, SIGINT, SIGHUP}) {
        std::signal(s, SIG_DFL);
        sigaddset(&stop, s);
    }
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);
    // What the scheduler leaves behind when it ends becomes this process's child, so that the
    // stop below ends it too.
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);

    TestSpooler spooler(VELLMARK_SOCKET_BACKEND);
    std::string error;
    if (!spooler.Start(&error)) {
        std::cerr << "vellmark-demo-spooler: " << error << '\n';
        return 1;
    }
    const std::string ppd = VELLMARK_PPD_PATH;
    SimulatedPrinter first(KeepJobs(jobs, "Dotrix-Ledger-1"));
    SimulatedPrinter second(KeepJobs(jobs, "Dotrix-Ledger-2"));
    if (!first.Listening() || !second.Listening() ||
        !spooler.AddQueue("Dotrix-Ledger-1", first.DeviceUri(), ppd) ||
        !spooler.AddQueue("Dotrix-Ledger-2", second.DeviceUri(), ppd) ||
        !spooler.AddQueue("Dotrix-Ledger-File", "file:///dev/null", ppd)) {
        std::cerr << "vellmark-demo-spooler: could not create the queues\n";
        return 1;
    }
    std::ofstream(dir + "/env") << "CUPS_SERVER=" << spooler.SocketPath() << '\n';
    std::ofstream(dir + "/ready") << "Dotrix-Ledger-1 " << first.DeviceUri() << '\n'
                                  << "Dotrix-Ledger-2 " << second.DeviceUri() << '\n'
                                  << "Dotrix-Ledger-File file:///dev/null\n";
    std::cout << "private spooler at " << spooler.SocketPath() << '\n' << std::flush;

    int signal = 0;
    sigwait(&stop, &signal);
    std::cout << "stopping the private spooler\n" << std::flush;
    spooler.Stop();
    EndChildren();
    return 0;
}
