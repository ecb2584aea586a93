// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/NetworkLine.h"

#include <QCoreApplication>
#include <QNetworkProxy>
#include <QTcpSocket>

#include "link/LineEvents.h"
#include "link/SerialPort.h"

namespace {
// Qt's read buffer: each readiness hands us at most this much, and the kernel
// holds the rest back from the server.
constexpr qint64 SocketReadBuffer = 1 << 14;
constexpr qsizetype DetailChars = 160;

ConnectError Classify(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::HostNotFoundError: return ConnectError::UnknownHost;
    case QAbstractSocket::ConnectionRefusedError: return ConnectError::Refused;
    case QAbstractSocket::NetworkError: return ConnectError::Unreachable;
    case QAbstractSocket::SocketTimeoutError: return ConnectError::TimedOut;
    case QAbstractSocket::RemoteHostClosedError: return ConnectError::ClosedAtOnce;
    default: return ConnectError::Other;
    }
}

// What the server said before it hung up, as one short line of text.
QString ServerWords(const QByteArray& said)
{
    QString text = QString::fromUtf8(said.left(DetailChars * 2)).simplified();
    text.removeIf([](QChar c) { return !c.isPrint(); });
    return text.left(DetailChars);
}
}

NetworkLine::NetworkLine(QObject* parent) : QObject(parent)
{
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &NetworkLine::OnTimer);
}

NetworkLine::~NetworkLine()
{
    Close();
}

Outcome NetworkLine::Open(const QString& name, const NetworkAddress& address, const ComPortLine& line)
{
    Close();
    name_ = name;
    address_ = address;
    line_ = line;
    codec_ = TelnetCodec(line);
    received_.clear();
    overflowTold_ = false;
    requestToSend_.reset();
    socket_ = new QTcpSocket(this);
    // Only the address the operator gave: no proxy the environment might name.
    socket_->setProxy(QNetworkProxy::NoProxy);
    socket_->setReadBufferSize(SocketReadBuffer);
    connect(socket_, &QTcpSocket::connected, this, &NetworkLine::OnConnected);
    connect(socket_, &QTcpSocket::readyRead, this, &NetworkLine::OnReadable);
    connect(socket_, &QTcpSocket::bytesWritten, this, [this] { emit Drained(BytesToWrite()); });
    connect(socket_, &QTcpSocket::errorOccurred, this, &NetworkLine::OnGone);
    connect(socket_, &QTcpSocket::disconnected, this, &NetworkLine::OnGone);
    phase_ = Phase::Connecting;
    timer_.start(connectTimeoutMs_);
    failedInOpen_ = Outcome();
    inOpen_ = true;
    socket_->connectToHost(address.Host, address.Port);
    inOpen_ = false;
    return std::exchange(failedInOpen_, Outcome());
}

void NetworkLine::Close()
{
    timer_.stop();
    phase_ = Phase::Idle;
    DropSocket();
    received_.clear();
}

void NetworkLine::DropSocket()
{
    if (!socket_)
        return;
    // Called from the socket's own signals too: it goes once control is back in the loop.
    socket_->disconnect(this);
    socket_->flush();
    socket_->abort();
    socket_->deleteLater();
    socket_ = nullptr;
}

void NetworkLine::OnConnected()
{
    // Replies go out as they are written, not when a segment has filled.
    socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    phase_ = Phase::Settling;
    if (address_.Kind == NetworkKind::Rfc2217) {
        socket_->write(codec_.Connect());
        timer_.start(NegotiationMs);
    } else {
        timer_.start(SettleMs);
    }
}

void NetworkLine::OnTimer()
{
    if (phase_ == Phase::Connecting)
        Fail(ConnectFailure(ConnectError::TimedOut, name_, address_.Host, QString()));
    else if (phase_ == Phase::Settling)
        Settled();
}

void NetworkLine::Settled()
{
    timer_.stop();
    // What came while settling is no answer to anything we send from now on,
    // as a local port forgets what arrived before it was opened.
    received_.clear();
    phase_ = Phase::Open;
    // RTS as the port was told, before anything the console sends on opening.
    if (requestToSend_)
        SetRequestToSend(*requestToSend_);
    emit Opened(Outcome());
}

void NetworkLine::Fail(const Outcome& outcome)
{
    Close();
    if (inOpen_)
        failedInOpen_ = outcome;
    else
        emit Opened(outcome);
}

void NetworkLine::OnReadable()
{
    if (!socket_)
        return;
    const QList<int> events = Consume(socket_->readAll());
    if (phase_ == Phase::Open && !received_.isEmpty())
        emit Received(received_.size());
    // After the data they came with: a line the event cut short is shown first.
    for (int code : events)
        if (phase_ == Phase::Open)
            emit LineEvent(code);
}

QList<int> NetworkLine::Consume(const QByteArray& chunk)
{
    if (chunk.isEmpty() || phase_ == Phase::Connecting)
        return {};
    QByteArray data;
    QList<int> events;
    if (address_.Kind == NetworkKind::Rfc2217) {
        TelnetInput in = codec_.Decode(chunk);
        SendReply(in.Reply);
        data = std::move(in.Data);
        events = std::move(in.LineEvents);
    } else {
        data = chunk;
    }
    if (phase_ == Phase::Settling) {
        // Kept only as the reason, should the server hang up now.
        if (received_.size() < DetailChars * 2)
            received_ += data.left(DetailChars * 2);
        const ComPortAnswers& a = codec_.Answers();
        const bool answered = a.Baud || a.DataBits || a.Parity || a.StopBits || a.FlowControl;
        if (address_.Kind == NetworkKind::Rfc2217 && (answered || codec_.ComPort() == ComPortStatus::Refused))
            Settled();
        return {};
    }
    const qsizetype room = ReceiveLimit - received_.size();
    if (data.size() > room) {
        data.truncate(room);
        if (!overflowTold_)
            events.append(LineEventCode::RxOver);
        overflowTold_ = true;
    }
    received_ += data;
    return events;
}

void NetworkLine::SendReply(const QByteArray& bytes)
{
    // Answers to a server that sends requests without end and never reads ours
    // would pile up without bound; past the limit they are no longer owed.
    if (!bytes.isEmpty() && socket_ && socket_->bytesToWrite() < ReplyLimit)
        socket_->write(bytes);
}

void NetworkLine::OnGone()
{
    if (!socket_ || phase_ == Phase::Idle)
        return;
    const QAbstractSocket::SocketError error = socket_->error();
    const QString detail = socket_->errorString();
    // Still buffered: the server's last words before it hung up.
    if (socket_->bytesAvailable() > 0)
        OnReadable();
    if (phase_ == Phase::Connecting) {
        Fail(ConnectFailure(Classify(error), name_, address_.Host, detail));
    } else if (phase_ == Phase::Settling) {
        Fail(ConnectFailure(ConnectError::ClosedAtOnce, name_, address_.Host, ServerWords(received_)));
    } else if (phase_ == Phase::Open) {
        // Told while still open, so that the port can say which device it lost.
        emit Lost(error == QAbstractSocket::RemoteHostClosedError
                      ? QCoreApplication::translate("NetworkLine", "장치 서버가 연결을 끊었습니다")
                      : QCoreApplication::translate("NetworkLine", "네트워크 오류: %1").arg(detail));
        Close();
    }
}

QByteArray NetworkLine::ReadAll()
{
    overflowTold_ = false;
    return std::exchange(received_, QByteArray());
}

qint64 NetworkLine::BytesToWrite() const
{
    return socket_ ? socket_->bytesToWrite() : 0;
}

void NetworkLine::Write(const QByteArray& bytes)
{
    if (phase_ != Phase::Open)
        return;
    socket_->write(address_.Kind == NetworkKind::Rfc2217 ? EscapeTelnetData(bytes) : bytes);
}

void NetworkLine::SetRequestToSend(bool on)
{
    requestToSend_ = on;
    if (phase_ != Phase::Open || address_.Kind != NetworkKind::Rfc2217)
        return;
    const QByteArray command = codec_.SetRequestToSend(on);
    if (!command.isEmpty())
        socket_->write(command);
}

QString NetworkLine::Note() const
{
    if (address_.Kind == NetworkKind::Raw)
        return RawNetworkNote(name_);
    return codec_.ComPort() == ComPortStatus::Accepted ? QString() : ComPortRefusedNote(name_);
}
