// SPDX-License-Identifier: Apache-2.0
#include "TestSpooler.h"
#include "CupsHandles.h"

#include <cups/cups.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace vellmark::test {
namespace {

constexpr const char* kSystemSocketBackend = "/usr/lib/cups/backend/socket";
constexpr const char* kSystemServerBin = "/usr/lib/cups";

// A connection to the scheduler at `socket`, given `msec` to be made.
HttpPtr Connect(const std::string& socket, int msec) {
    return HttpPtr(httpConnect2(socket.c_str(), 0, nullptr, AF_UNSPEC, HTTP_ENCRYPTION_IF_REQUESTED,
                                1, msec, nullptr));
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// Gives the calling (child) process, before it runs another program, no blocked signal: the
// mask is inherited through exec, and a scheduler started by a caller that blocks SIGTERM (to
// wait for it) would ignore the TERM that stops it.
void UnblockSignals() {
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
}

// Sends the calling (child) process's output and errors to the end of `log`.
void RedirectTo(const std::string& log) {
    const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd >= 0) {
        ::dup2(fd, 1);
        ::dup2(fd, 2);
    }
}

// Waits for `pid` to end, killing it once `limit` has passed; true when it exited with 0.
bool Reap(pid_t pid, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > end) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Runs a program with its output sent to `log`, and waits for it (at most 20 s).
bool RunProgram(const std::vector<std::string>& argv, const std::string& log) {
    const pid_t pid = ::fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        UnblockSignals();
        RedirectTo(log);
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    return Reap(pid, std::chrono::seconds(20));
}

} // namespace

TestSpooler::TestSpooler(std::string backendPath, std::string tempRoot) {
    std::string pattern = tempRoot + "/vellmark-spooler.XXXXXX";
    if (!::mkdtemp(pattern.data()))
        return;
    m_folder = pattern;
    // The scheduler runs its jobs as lp, which must reach the spool below this folder.
    ::chmod(m_folder.c_str(), 0755);
    m_socket = m_folder + "/cups.sock";
    WriteConfiguration(backendPath);
}

TestSpooler::~TestSpooler() {
    Stop();
    if (!m_folder.empty() && m_folder.find("/vellmark-spooler.") != std::string::npos)
        RunProgram({"rm", "-rf", m_folder}, "/dev/null");
}

void TestSpooler::WriteConfiguration(const std::string& backendPath) {
    const std::string& d = m_folder;
    for (const char* sub : {"/conf", "/conf/ppd", "/spool", "/spool/tmp", "/cache", "/state",
                            "/log", "/bin", "/bin/backend", "/bin/filter"})
        ::mkdir((d + sub).c_str(), 0755);
    // The scheduler's programs: the system's helpers, and the system's socket backend where
    // there is one, ours otherwise.
    namespace fs = std::filesystem;
    std::error_code ec;
    for (const char* sub : {"daemon", "notifier", "monitor"})
        if (fs::exists(fs::path(kSystemServerBin) / sub))
            fs::create_symlink(fs::path(kSystemServerBin) / sub, d + "/bin/" + sub, ec);
    // The system's backends (ipp, http...), so that their device URIs are accepted.
    for (const auto& entry : fs::directory_iterator(fs::path(kSystemServerBin) / "backend", ec))
        if (entry.path().filename() != "socket")
            fs::create_symlink(entry.path(), fs::path(d) / "bin/backend" / entry.path().filename(),
                               ec);
    // Our backend is copied, not linked: the scheduler runs it as lp, which may not be allowed
    // into the build folder (a checkout under /root, for one).
    const std::string socketTarget = d + "/bin/backend/socket";
    if (::access(kSystemSocketBackend, X_OK) == 0) {
        fs::create_symlink(kSystemSocketBackend, socketTarget, ec);
    } else {
        fs::copy_file(backendPath, socketTarget, ec);
        ::chmod(socketTarget.c_str(), 0755);
    }

    // No SNMP community: the socket backend would otherwise ask each simulated printer for its
    // supplies first and wait seconds for an answer that never comes.
    WriteFile(d + "/conf/snmp.conf", "Community\n");
    WriteFile(d + "/conf/cupsd.conf",
              "Listen " + m_socket +
                  "\nLogLevel warn\nAccessLogLevel all\nMaxLogSize 0\nBrowsing No\n"
                  "WebInterface No\nDefaultAuthType None\nPreserveJobHistory Yes\n"
                  "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                  "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n");
    std::string files = "User lp\nGroup lp\nSystemGroup root\nFileDevice Yes\n";
    // Each folder and file of the scheduler's own below the spooler's folder.
    for (std::string entry :
         {"ServerRoot /conf", "RequestRoot /spool", "TempDir /spool/tmp", "CacheDir /cache",
          "StateDir /state", "ServerBin /bin", "AccessLog /log/access_log",
          "ErrorLog /log/error_log", "PageLog /log/page_log", "Printcap /printcap"})
        files += entry.insert(entry.find(' ') + 1, d) + "\n";
    WriteFile(d + "/conf/cups-files.conf", files);
}

bool TestSpooler::Start(std::string* error) {
    const auto fail = [error](const std::string& why) {
        if (error)
            *error = why;
        return false;
    };
    if (m_folder.empty())
        return fail("no temporary folder");
    if (m_pid > 0)
        return true;
    const std::string conf = m_folder + "/conf/cupsd.conf";
    const std::string files = m_folder + "/conf/cups-files.conf";
    const std::string log = m_folder + "/log/cupsd.out";
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0)
        return fail(std::strerror(errno));
    if (pid == 0) {
        // The scheduler must not outlive whoever started it, even after a crash, and even
        // while it is frozen (a frozen process would never handle a TERM).
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(1);
        ::setpgid(0, 0);
        UnblockSignals();
        RedirectTo(log);
        ::execl("/usr/sbin/cupsd", "cupsd", "-f", "-c", conf.c_str(), "-s", files.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    m_pid = pid;
    if (WaitUntilAnswering(std::chrono::seconds(15)))
        return true;
    Stop();
    std::ifstream in(m_folder + "/log/error_log");
    return fail("the scheduler did not answer; its log: " +
                std::string(std::istreambuf_iterator<char>(in), {}));
}

bool TestSpooler::WaitUntilAnswering(std::chrono::milliseconds timeout) const {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid)
            return false; // it ended
        const HttpPtr http = Connect(m_socket, 500);
        if (http && IppPtr(cupsDoRequest(http.get(), ippNewRequest(IPP_OP_CUPS_GET_PRINTERS), "/")))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

void TestSpooler::Stop() {
    if (m_pid <= 0)
        return;
    Resume();
    ::kill(m_pid, SIGTERM);
    Reap(m_pid, std::chrono::seconds(5));
    m_pid = -1;
}

void TestSpooler::Pause() {
    if (m_pid > 0 && !m_paused)
        m_paused = ::kill(m_pid, SIGSTOP) == 0;
}

void TestSpooler::Resume() {
    if (m_pid > 0 && m_paused)
        m_paused = ::kill(m_pid, SIGCONT) != 0;
}

bool TestSpooler::RunTool(const std::string& tool, const std::vector<std::string>& args) {
    std::vector<std::string> argv = {tool, "-h", m_socket};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProgram(argv, m_folder + "/log/tools.out");
}

bool TestSpooler::AddQueue(const std::string& name, const std::string& deviceUri,
                           const std::string& ppd, const std::vector<std::string>& extra) {
    std::vector<std::string> args = {"-p", name, "-E", "-v", deviceUri, "-P", ppd};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunTool("lpadmin", args);
}

std::string TestSpooler::PpdWithNickName(const std::string& ppd,
                                         const std::string& nickName) const {
    std::ifstream in(ppd);
    std::ostringstream out;
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("*NickName:", 0) == 0)
            line = "*NickName: \"" + nickName + "\"";
        out << line << '\n';
    }
    static int counter = 0;
    const std::string path = m_folder + "/variant-" + std::to_string(++counter) + ".ppd";
    WriteFile(path, out.str());
    return path;
}

std::optional<std::vector<std::string>> TestSpooler::JobNames(const std::string& queue,
                                                              const char* which) const {
    std::vector<std::string> names;
    const HttpPtr http = Connect(m_socket, 2000);
    if (!http)
        return std::nullopt;
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOBS);
    const std::string uri = "ipp://localhost/printers/" + queue;
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, which);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "job-name");
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    const IppPtr response(cupsDoRequest(http.get(), request, "/"));
    if (!response || ippGetStatusCode(response.get()) > IPP_STATUS_OK_EVENTS_COMPLETE)
        return std::nullopt;
    for (ipp_attribute_t* a = ippFindAttribute(response.get(), "job-name", IPP_TAG_NAME); a;
         a = ippFindNextAttribute(response.get(), "job-name", IPP_TAG_NAME))
        names.push_back(ippGetString(a, 0, nullptr));
    return names;
}

std::size_t TestSpooler::LoggedRequests() const {
    std::ifstream in(m_folder + "/log/access_log");
    return static_cast<std::size_t>(std::count(std::istreambuf_iterator<char>(in), {}, '\n'));
}

} // namespace vellmark::test
