// SPDX-License-Identifier: Apache-2.0
// What the fleet benchmarks share: private schedulers with queues of the model, each queue
// printing to a simulated printer of its own, the settings file they send, and the count of
// printers that received exactly their jobs.
#pragma once

#include "BenchSupport.h"
#include "SettingsBlock.h"
#include "SimulatedPrinter.h"
#include "TestSpooler.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace vellmark::bench {

struct Fleet {
    std::vector<std::unique_ptr<test::TestSpooler>> schedulers;
    // Scheduler by scheduler, queue by queue.
    std::vector<std::unique_ptr<test::SimulatedPrinter>> printers;
};

// Starts `count` schedulers with `queues` queues of the model each ("Dotrix-0", "Dotrix-1", ...),
// each printer taking `readTime` to read a job; false, with the reason printed, when one cannot
// be made.
inline bool StartFleet(Fleet& fleet, int count, int queues, std::chrono::milliseconds readTime,
                       const char* program) {
    for (int s = 0; s < count; ++s) {
        fleet.schedulers.push_back(std::make_unique<test::TestSpooler>(VELLMARK_SOCKET_BACKEND));
        if (!StartSpooler(*fleet.schedulers.back(), program))
            return false;
        for (int q = 0; q < queues; ++q) {
            fleet.printers.push_back(std::make_unique<test::SimulatedPrinter>(readTime));
            if (!fleet.schedulers.back()->AddQueue("Dotrix-" + std::to_string(q),
                                                   fleet.printers.back()->DeviceUri(),
                                                   VELLMARK_PPD_PATH))
                return Fail(program, "lpadmin failed"), false;
        }
    }
    return true;
}

// Writes the factory settings as a settings file at `path`; returns the path.
inline std::string WriteFactorySettings(const std::string& path) {
    std::ofstream(path, std::ios::binary)
        .write("Dotrix Ledger 9040\n", 20)
        .write(reinterpret_cast<const char*>(FactoryDefaults.data()), FactoryDefaults.size());
    return path;
}

// How many printers received exactly `jobsOf(i)` copies of the factory block (i: the printer's
// index), once each has its first job (a minute at most for all of them, however many never
// get one) and two more seconds have passed for any job too many.
inline int ExactPrinters(const Fleet& fleet,
                         const std::function<std::size_t(std::size_t)>& jobsOf) {
    using namespace std::chrono;
    const test::SimulatedPrinter::Job expected(FactoryDefaults.begin(), FactoryDefaults.end());
    const auto until = steady_clock::now() + seconds(60);
    for (const auto& printer : fleet.printers)
        printer->WaitForJobs(
            1, std::max(milliseconds(0), duration_cast<milliseconds>(until - steady_clock::now())));
    std::this_thread::sleep_for(std::chrono::seconds(2));
    int exact = 0;
    for (std::size_t i = 0; i < fleet.printers.size(); ++i)
        exact += fleet.printers[i]->Jobs() ==
                 std::vector<test::SimulatedPrinter::Job>(jobsOf(i), expected);
    return exact;
}

} // namespace vellmark::bench
