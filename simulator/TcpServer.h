// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

namespace sim {

// The simulated supply as a raw TCP instrument: one listening socket and at
// most one client on it, as a LAN instrument serves one session. A client that
// comes while another is served is told why in one line and closed.
class TcpServer {
public:
    enum class Accepted { Nothing, Client, Failed };

    TcpServer() = default;
    ~TcpServer() { Close(); }
    TcpServer(const TcpServer&) = delete;
    TcpServer& operator=(const TcpServer&) = delete;

    // Port 0 lets the system pick a free one, which Address() then names.
    bool Listen(const std::string& host, int port);
    void Close();
    int Listener() const { return listener_; }
    int Client() const { return client_; } // negative while nobody is connected
    // Numeric, as HOST:PORT, an IPv6 host in brackets.
    const std::string& Address() const { return address_; }
    const std::string& ClientAddress() const { return clientAddress_; }
    // Takes every connection waiting: the first becomes the client when there
    // is none, the others get `refusal` and are closed, with a note on stderr.
    Accepted AcceptWaiting(const std::string& refusal);
    void DropClient();

private:
    int listener_ = -1;
    int client_ = -1;
    std::string address_, clientAddress_;
};

} // namespace sim
