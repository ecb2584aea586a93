// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Written against Debian 12's ser2net 4.3.11 (/usr/sbin/ser2net): a YAML file
// of "connection:" entries, "accepter: tcp,HOST,PORT" raw or
// "telnet(rfc2217),tcp,HOST,PORT" with the com port option, "connector:
// serialdev,DEVICE,19200n81,local" and "options: kickolduser: true"; "-n"
// keeps it in the foreground, "-d" sends its messages to stderr, "-P" puts
// its pid file in our folder. It opens the device only while a client is
// connected, at the file's settings each time, ends on SIGTERM and closes its
// clients; if it cannot bind the port it says so, keeps running and ignores
// the first SIGTERM.
#pragma once
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/prctl.h>

// The real ser2net serving a pseudo-terminal on a loopback port, raw or with
// the com port option, for tests of the network port. It keeps its port
// across Stop() and Start(), as a device server that restarts does.
class Ser2Net {
public:
    enum class Mode { Raw, Rfc2217 };

    Ser2Net(const QString& device, Mode mode)
    {
        QTcpServer probe;   // a port the system had free a moment ago: ser2net binds it next
        if (probe.listen(QHostAddress::LocalHost))
            port_ = probe.serverPort();
        probe.close();
        QFile config(dir_.filePath(QStringLiteral("ser2net.yaml")));
        // ser2net wants the terminal itself, not the simulator's link to it.
        // A client that connects takes over from one ser2net still serves.
        const QString text = QStringLiteral("connection: &tarvio\n  accepter: %1tcp,127.0.0.1,%2\n"
                                            "  connector: serialdev,%3,19200n81,local\n"
                                            "  options:\n    kickolduser: true\n")
            .arg(mode == Mode::Raw ? QString() : QStringLiteral("telnet(rfc2217),"))
            .arg(port_).arg(QFileInfo(device).canonicalFilePath());
        ok_ = port_ != 0 && config.open(QIODevice::WriteOnly) && config.write(text.toUtf8()) > 0;
        process_.setProgram(QStringLiteral("/usr/sbin/ser2net"));
        process_.setArguments({QStringLiteral("-n"), QStringLiteral("-d"), QStringLiteral("-c"), config.fileName(),
                               QStringLiteral("-P"), dir_.filePath(QStringLiteral("ser2net.pid"))});
        process_.setProcessChannelMode(QProcess::MergedChannels);
        // Gone with the test, even when a timeout kills the test.
        process_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    }
    ~Ser2Net() { Stop(); }
    Ser2Net(const Ser2Net&) = delete;
    Ser2Net& operator=(const Ser2Net&) = delete;

    quint16 Port() const { return port_; }
    // What ser2net said, for a failing test's message.
    QString Output() { return output_ += QString::fromLocal8Bit(process_.readAll()); }

    // Returns once ser2net listens, so that a first connection is not refused.
    bool Start()
    {
        if (!ok_)
            return false;
        process_.start();
        if (!process_.waitForStarted(5000)) {
            output_ += process_.errorString();   // such as no ser2net installed
            return false;
        }
        for (QDeadlineTimer deadline(10000); !deadline.hasExpired() && process_.state() == QProcess::Running; QTest::qWait(20))
            if (Listening())
                return true;
        return false;
    }
    // The kernel's table of TCP sockets has ours listening: asked without a
    // connection, which ser2net would answer by opening the terminal.
    bool Listening() const
    {
        QFile table(QStringLiteral("/proc/net/tcp"));
        const QByteArray wanted = QStringLiteral(" 0100007F:%1 00000000:0000 0A ").arg(port_, 4, 16, QLatin1Char('0')).toUpper().toLatin1();
        return table.open(QIODevice::ReadOnly) && table.readAll().contains(wanted);
    }
    // For QTRY_VERIFY: connects the socket, again after each refusal while
    // ser2net comes up.
    bool Connected(QTcpSocket& socket) const
    {
        if (socket.state() == QAbstractSocket::UnconnectedState)
            socket.connectToHost(QHostAddress::LocalHost, port_);
        return socket.state() == QAbstractSocket::ConnectedState;
    }
    void Stop()
    {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
        Output();
    }

private:
    QTemporaryDir dir_;
    QString output_;
    quint16 port_ = 0;
    bool ok_ = false;
    QProcess process_;
};
