// SPDX-License-Identifier: Apache-2.0
// The raw socket backend of the private test spooler, for machines whose CUPS has no socket
// backend installed: sends the job's bytes unchanged to socket://HOST:PORT, closes its side,
// and waits for the printer to close the connection.
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
    const char* uri = std::getenv("DEVICE_URI");
    if (argc < 6 || !uri || std::strncmp(uri, "socket://", 9) != 0) {
        std::fputs("Usage: DEVICE_URI=socket://HOST[:PORT] socket job-id user title copies "
                   "options [file]\n",
                   stderr);
        return 1;
    }
    std::string host(uri + 9, std::strcspn(uri + 9, "/?"));
    const auto colon = host.rfind(':');
    const std::string port = colon == std::string::npos ? "9100" : host.substr(colon + 1);
    host = host.substr(0, colon);

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
    const int in = argc > 6 ? ::open(argv[6], O_RDONLY | O_CLOEXEC) : 0;
    if (in < 0)
        return Fail("open");
    char buf[8192];
    for (ssize_t n; (n = ::read(in, buf, sizeof buf)) != 0;) {
        if (n < 0)
            return Fail("read");
        for (ssize_t done = 0, w = 0; done < n; done += w)
            if ((w = ::write(sock, buf + done, static_cast<std::size_t>(n - done))) <= 0)
                return Fail("write");
    }
    ::shutdown(sock, SHUT_WR);
    // Wait (bounded) for the printer to close its side.
    pollfd fd{sock, POLLIN, 0};
    while (::poll(&fd, 1, 10000) > 0 && ::read(sock, buf, sizeof buf) > 0) {
    }
    ::close(sock);
    return 0;
}
