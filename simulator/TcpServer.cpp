// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulator/TcpServer.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "simulator/PseudoTerminal.h"

namespace sim {

namespace {
constexpr int Backlog = 4;

std::string NumericAddress(const sockaddr* address, socklen_t length)
{
    char host[NI_MAXHOST] = "?";
    char port[NI_MAXSERV] = "?";
    getnameinfo(address, length, host, sizeof host, port, sizeof port, NI_NUMERICHOST | NI_NUMERICSERV);
    const std::string name = host;
    return (name.find(':') != std::string::npos ? "[" + name + "]" : name) + ":" + port;
}
}

bool TcpServer::Listen(const std::string& host, int port)
{
    Close();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string wanted = host + ":" + std::to_string(port);
    if (const int error = getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found); error != 0) {
        std::fprintf(stderr, "tarvio-sim: cannot listen on %s: %s\n", wanted.c_str(), gai_strerror(error));
        return false;
    }
    // The first address that works, as a client would try them.
    for (const addrinfo* candidate = found; candidate != nullptr && listener_ < 0; candidate = candidate->ai_next) {
        const int fd = socket(candidate->ai_family, candidate->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        const int on = 1;
        // A simulator started again at once must not wait for the old port's TIME_WAIT.
        if (fd >= 0 && setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) == 0
            && bind(fd, candidate->ai_addr, candidate->ai_addrlen) == 0 && listen(fd, Backlog) == 0) {
            listener_ = fd;
        } else if (fd >= 0) {
            const int savedErrno = errno;
            close(fd);
            errno = savedErrno;
        }
    }
    freeaddrinfo(found);
    if (listener_ < 0) {
        Complain("cannot listen on " + wanted);
        return false;
    }
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&bound), &length);
    address_ = NumericAddress(reinterpret_cast<sockaddr*>(&bound), length);
    return true;
}

TcpServer::Accepted TcpServer::AcceptWaiting(const std::string& refusal)
{
    Accepted result = Accepted::Nothing;
    for (;;) {
        sockaddr_storage peer{};
        socklen_t length = sizeof peer;
        const int fd = accept4(listener_, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED || errno == EPROTO)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                return result;
            Complain("accepting a TCP client failed");
            return Accepted::Failed;
        }
        const std::string from = NumericAddress(reinterpret_cast<sockaddr*>(&peer), length);
        if (client_ < 0) {
            // Each reply leaves when the line would deliver it, not when a
            // full segment has gathered.
            const int on = 1;
            setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            client_ = fd;
            clientAddress_ = from;
            result = Accepted::Client;
            continue;
        }
        if (send(fd, refusal.data(), refusal.size(), MSG_NOSIGNAL) < 0) {
            // A client gone already needs no explanation.
        }
        // Closing with its bytes unread would reset the connection, and the
        // line could be lost on the way.
        shutdown(fd, SHUT_WR);
        char drain[256];
        for (int i = 0; i < 16 && read(fd, drain, sizeof drain) > 0; ++i) {
        }
        close(fd);
        std::fprintf(stderr, "tarvio-sim: refused a client from %s: the supply serves one client at a time\n",
                     from.c_str());
    }
}

void TcpServer::DropClient()
{
    if (client_ >= 0)
        close(client_);
    client_ = -1;
    clientAddress_.clear();
}

void TcpServer::Close()
{
    DropClient();
    if (listener_ >= 0)
        close(listener_);
    listener_ = -1;
}

} // namespace sim
