// SPDX-License-Identifier: Apache-2.0
// One send from the window, as a user makes it: from the key press (Ctrl+W in the main window,
// offscreen) until the last of the 180 bytes has reached the simulated printer behind a private
// scheduler's queue, timed in one run beside `lp -o raw` of the same 180 bytes to the same queue
// (from the start of lp until the last byte at the printer). Before each send from the window a
// value is changed on a page, as Send is offered only for settings not sent yet. Reports both
// times and their ratio (goal: at most 1.2).
#include "AppHarness.h"
#include "BenchSupport.h"
#include "CupsPrintService.h"
#include "PrefetchedPrintService.h"
#include "ProgramLook.h"
#include "SimulatedPrinter.h"
#include "TestSpooler.h"

#include <QApplication>
#include <QTest>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>

namespace {

using vellmark::bench::Fail;
using vellmark::test::SimulatedPrinter;
using vellmark::test::TestSpooler;

constexpr auto kArrival = std::chrono::seconds(30);

SimulatedPrinter* g_printer = nullptr;
vellmark::test::Window* g_window = nullptr;
vellmark::CupsPrintService* g_service = nullptr;
std::string g_server;
std::string g_blockFile;

void BM_WindowSend(benchmark::State& state) {
    vellmark::CPanelDlg& dlg = *g_window->dlg;
    double handled = 0;
    const int requestsBefore = g_service->RequestCount();
    for (auto _ : state) {
        state.PauseTiming();
        vellmark::test::ChangeAValue(dlg);
        g_window->prompt.Clear();
        const std::size_t before = g_printer->Jobs().size();
        state.ResumeTiming();
        const auto pressed = std::chrono::steady_clock::now();
        QTest::keyClick(&dlg, Qt::Key_W, Qt::ControlModifier);
        handled +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - pressed)
                .count();
        if (!g_printer->WaitForJobs(before + 1, kArrival))
            return state.SkipWithError("the job did not reach the printer");
        state.PauseTiming();
        const bool sent = g_window->prompt.Texts() ==
                              QStringList{vellmark::test::MessageText(vellmark::kMessageS3)} &&
                          g_printer->Jobs().back().size() == dlg.Document().m_lastSent.size();
        state.ResumeTiming();
        if (!sent)
            return state.SkipWithError("the window did not report the send as made");
    }
    // The part the window itself spends: until the key press has been handled, the job
    // handed over to the scheduler and the message shown.
    state.counters["handled_ms"] = benchmark::Counter(handled, benchmark::Counter::kAvgIterations);
    // The requests the window made to the scheduler for one send.
    state.counters["requests"] = benchmark::Counter(g_service->RequestCount() - requestsBefore,
                                                    benchmark::Counter::kAvgIterations);
}

// Runs lp to its end with its output discarded; true when it exited with status 0. Started with
// posix_spawn, so that lp's figure does not carry the cost of copying this large process.
bool RunLp(const std::vector<std::string>& args) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int failed = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    return failed == 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

void BM_LpRaw(benchmark::State& state) {
    const std::vector<std::string> args = {"lp",     "-h", g_server, "-d",
                                           "Dotrix", "-o", "raw",    g_blockFile};
    double handled = 0;
    for (auto _ : state) {
        const std::size_t before = g_printer->Jobs().size();
        const auto started = std::chrono::steady_clock::now();
        if (!RunLp(args))
            return state.SkipWithError("lp failed");
        handled +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
                .count();
        if (!g_printer->WaitForJobs(before + 1, kArrival))
            return state.SkipWithError("the job did not reach the printer");
    }
    // Until lp has handed the job over and ended.
    state.counters["handled_ms"] = benchmark::Counter(handled, benchmark::Counter::kAvgIterations);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    char home[] = "/tmp/vellmark-bench-send.XXXXXX";
    if (!::mkdtemp(home))
        return Fail("bench_send", "no home folder");
    ::setenv("HOME", home, 1);
    ::setenv("XDG_RUNTIME_DIR", home, 1);
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    vellmark::ApplyProgramLook();

    TestSpooler spooler(VELLMARK_SOCKET_BACKEND);
    if (!vellmark::bench::StartSpooler(spooler, "bench_send"))
        return 1;
    SimulatedPrinter printer;
    if (!spooler.AddQueue("Dotrix", printer.DeviceUri(), VELLMARK_PPD_PATH))
        return Fail("bench_send", "lpadmin failed");
    g_printer = &printer;
    g_server = spooler.SocketPath();

    // The print service as the program makes it: on a worker, for the scheduler CUPS_SERVER
    // names.
    ::setenv("CUPS_SERVER", g_server.c_str(), 1);
    vellmark::PrefetchedPrintService service(
        [] { return std::make_unique<vellmark::CupsPrintService>(); });
    vellmark::test::Window window(service);
    if (!window.Start())
        return Fail("bench_send", "the main window did not start");
    g_window = &window;
    g_service = dynamic_cast<vellmark::CupsPrintService*>(&service.Service());
    if (!g_service)
        return Fail("bench_send", "the program's print service is not the scheduler's");
    // The block lp sends: the factory settings the window shows, 180 bytes like every send.
    g_blockFile = std::string(home) + "/block.bin";
    window.dlg->Document().CollectFromPages();
    const auto& block = window.dlg->Document().m_current;
    if (std::FILE* f = std::fopen(g_blockFile.c_str(), "wb")) {
        const bool written = std::fwrite(block.data(), 1, block.size(), f) == block.size();
        if (std::fclose(f) != 0 || !written)
            return Fail("bench_send", "cannot write " + g_blockFile);
    }

    const char* const kWindow = "WindowSend/key-to-last-byte";
    const char* const kLp = "LpRaw/start-to-last-byte";
    benchmark::RegisterBenchmark(kWindow, BM_WindowSend)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(3.0);
    benchmark::RegisterBenchmark(kLp, BM_LpRaw)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(3.0);
    vellmark::bench::KeepingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    vellmark::bench::PrintRatio(reporter, "one send, key press to the last byte at the printer:",
                                {"window", kWindow}, {"lp -o raw", kLp}, "1.2");
    vellmark::test::CloseTopLevels();
    window.dlg.reset();
    spooler.Stop();
    std::filesystem::remove_all(home);
    benchmark::Shutdown();
    return 0;
}
