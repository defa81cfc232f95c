// The raw socket backend of the private test spooler, for machines whose CUPS has no socket
// backend installed: sends the job's bytes unchanged to socket://HOST:PORT, closes its side,
// and waits for the printer to close the connection.
#include <arpa/inet.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace {

bool WriteAll(int fd, const char* data, ssize_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

int Fail(const char* what) {
    std::fprintf(stderr, "ERROR: %s: %s\n", what, std::strerror(errno));
    return 1; // CUPS_BACKEND_FAILED
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 1) {
        std::puts("network socket \"Unknown\" \"Raw socket (Vellmark test spooler)\"");
        return 0;
    }
    if (argc < 6) {
        std::fputs("Usage: socket job-id user title copies options [file]\n", stderr);
        return 1;
    }
    const char* uri = std::getenv("DEVICE_URI");
    if (!uri || std::strncmp(uri, "socket://", 9) != 0) {
        std::fputs("ERROR: no socket:// device URI\n", stderr);
        return 1;
    }
    std::string hostPort = uri + 9;
    hostPort = hostPort.substr(0, hostPort.find_first_of("/?"));
    const auto colon = hostPort.rfind(':');
    const std::string host = hostPort.substr(0, colon);
    const std::string port = colon == std::string::npos ? "9100" : hostPort.substr(colon + 1);

    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0 || !found) {
        std::fputs("ERROR: cannot resolve the printer's address\n", stderr);
        return 1;
    }
    const int sock = ::socket(found->ai_family, found->ai_socktype, found->ai_protocol);
    const bool connected = sock >= 0 && ::connect(sock, found->ai_addr, found->ai_addrlen) == 0;
    ::freeaddrinfo(found);
    if (!connected)
        return Fail("connect");

    int in = 0;
    if (argc > 6 && (in = ::open(argv[6], O_RDONLY | O_CLOEXEC)) < 0)
        return Fail("open");
    char buf[8192];
    for (;;) {
        const ssize_t n = ::read(in, buf, sizeof buf);
        if (n < 0)
            return Fail("read");
        if (n == 0)
            break;
        if (!WriteAll(sock, buf, n))
            return Fail("write");
    }
    ::shutdown(sock, SHUT_WR);
    // Wait (bounded) for the printer to close its side.
    for (;;) {
        pollfd fd{sock, POLLIN, 0};
        if (::poll(&fd, 1, 10000) <= 0 || ::read(sock, buf, sizeof buf) <= 0)
            break;
    }
    ::close(sock);
    return 0;
}
