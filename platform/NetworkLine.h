// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <optional>

#include "core/Outcome.h"
#include "link/DeviceBinding.h"
#include "link/TelnetCodec.h"

class QTcpSocket;

// A serial line behind a device server: a raw TCP stream, or Telnet with the
// com port option, which also carries the line's settings and its events.
//
// It connects without waiting (the name lookup included) and gives up after
// the connect timeout. It counts as open only once the line has settled: a
// raw stream that stayed up for SettleMs, a Telnet server that answered our
// settings or refused the option, or said nothing for NegotiationMs. A server
// that hangs up before then has turned us away (ser2net does when it cannot
// open its device, and says why in plain text, which becomes the detail);
// a hang-up after it is a lost line.
class NetworkLine : public QObject {
    Q_OBJECT
public:
    static constexpr int ConnectTimeoutMs = 5000;
    static constexpr int SettleMs = 300;
    static constexpr int NegotiationMs = 2000;
    // Received bytes a reader that never reads may leave waiting; more are
    // dropped and reported as a receive buffer overflow, as a UART would.
    static constexpr qsizetype ReceiveLimit = 1 << 20;
    // Negotiation answers a server that never reads from us can make us queue.
    static constexpr qint64 ReplyLimit = 1 << 16;

    explicit NetworkLine(QObject* parent = nullptr);
    ~NetworkLine() override;

    // name is what the operator gave (tcp://HOST:PORT), for messages; the
    // address must be valid. Opened follows, either way, unless the attempt
    // failed at once: that failure is returned instead.
    Outcome Open(const QString& name, const NetworkAddress& address, const ComPortLine& line);
    // Abandons a connection being made or closes the open one, without a signal.
    void Close();
    bool IsOpen() const { return phase_ == Phase::Open; }
    bool Opening() const { return phase_ == Phase::Connecting || phase_ == Phase::Settling; }
    QByteArray ReadAll();
    qint64 BytesToWrite() const;
    void Write(const QByteArray& bytes);
    // Sent once the server has taken the com port option; raw TCP has no RTS.
    void SetRequestToSend(bool on);
    // After the open: the settings the far line does not get.
    QString Note() const;
    // For tests that cannot wait five seconds for a server that never answers.
    void SetConnectTimeout(int ms) { connectTimeoutMs_ = ms; }

signals:
    void Opened(const Outcome& outcome);
    void Received(qint64 waiting);
    void Drained(qint64 pending);
    void LineEvent(int code);
    void Lost(const QString& reason);

private:
    enum class Phase { Idle, Connecting, Settling, Open };

    void OnConnected();
    void OnReadable();
    void OnGone();
    void OnTimer();
    // Takes in what the socket read; returns the line events it carried.
    QList<int> Consume(const QByteArray& chunk);
    void Settled();
    void Fail(const Outcome& outcome);
    void DropSocket();
    void SendReply(const QByteArray& bytes);

    QString name_;
    NetworkAddress address_;
    ComPortLine line_;
    Phase phase_ = Phase::Idle;
    QTcpSocket* socket_ = nullptr;
    QTimer timer_;
    int connectTimeoutMs_ = ConnectTimeoutMs;
    TelnetCodec codec_;
    QByteArray received_;
    bool overflowTold_ = false;
    std::optional<bool> requestToSend_;
    bool inOpen_ = false;
    Outcome failedInOpen_;
};
