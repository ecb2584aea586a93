// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtTest>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace {
constexpr int WaitMs = 30000;

// Like a console: the slave end, raw, never blocking.
int OpenRaw(const QString& path)
{
    const int fd = open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios mode{};
    if (fd >= 0 && tcgetattr(fd, &mode) == 0) {
        cfmakeraw(&mode);
        tcsetattr(fd, TCSANOW, &mode);
    }
    return fd;
}

// Like a client of a LAN instrument: to the "HOST:PORT" the simulator printed, never blocking.
int ConnectTcp(const QString& address)
{
    sockaddr_in to{AF_INET, htons(address.section(':', -1).toUShort()), {}, {}};
    const int fd = inet_pton(AF_INET, address.section(':', 0, -2).toLatin1().constData(), &to.sin_addr) == 1 ? socket(AF_INET, SOCK_STREAM, 0) : -1;
    const bool ok = fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0 && fcntl(fd, F_SETFL, O_NONBLOCK) == 0;
    return ok ? fd : (fd >= 0 ? close(fd) : 0, -1);
}

// Reads until `size` bytes came in, the far side hung up, or the time ran
// out; what did arrive is returned either way.
QByteArray Read(int fd, qsizetype size)
{
    QByteArray bytes;
    for (QDeadlineTimer deadline(WaitMs); bytes.size() < size && !deadline.hasExpired();) {
        pollfd wait = {fd, POLLIN, 0};
        if (poll(&wait, 1, int(deadline.remainingTime())) <= 0)
            continue;
        char byte = 0;
        const ssize_t count = read(fd, &byte, 1);
        if (count == 1)
            bytes += byte;
        else if (count == 0 || errno != EAGAIN)
            break; // the far side hung up
    }
    return bytes;
}

// The simulator with the given options, and its first terminal opened or, with
// --tcp, a client connected to the address it printed.
struct Session {
    QProcess process;
    QString terminal;
    int fd = -1;

    explicit Session(const QStringList& args)
    {
        process.start(QStringLiteral(TARVIO_SIM_PATH), args);
        for (QDeadlineTimer deadline(WaitMs); !process.canReadLine() && !deadline.hasExpired() && process.state() != QProcess::NotRunning;)
            process.waitForReadyRead(int(deadline.remainingTime()));
        terminal = QString::fromLocal8Bit(process.readLine()).trimmed();
        fd = args.contains("--tcp") ? ConnectTcp(terminal) : OpenRaw(terminal);
    }
    ~Session() { Stop(); }   // also ends one that a failed check left running
    // Sends the bytes and reads as many as `size` back.
    QByteArray Ask(const QByteArray& bytes, qsizetype size)
    {
        return write(fd, bytes.constData(), bytes.size()) == bytes.size() ? Read(fd, size) : QByteArray();
    }
    bool Stop()
    {
        if (fd >= 0)
            close(std::exchange(fd, -1));
        process.terminate();
        return process.waitForFinished(WaitMs) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }
};
}

// The built simulator on a real pseudo-terminal or TCP port, seen from the console's
// side; the instrument logic and spoilt replies are the core test's, pacing and
// silences the console's end-to-end tests', a return on the same link the
// console's reconnect test.
class TestSimPty : public QObject {
    Q_OBJECT
private slots:
    void Conversations();
};

void TestSimPty::Conversations()
{
    // Each step sends its bytes and expects the reply, read by its length, so that a
    // byte too many shows up in the next step.
    const struct { const char* name; QStringList args; QList<QPair<QByteArray, QByteArray>> steps; } cases[] = {
        {"a command in two writes, CR LF ends, a fault after two commands", {"--crlf", "--fault", "fan,after=2"},
         {{"*ID", ""}, {"N?\n", "QPX-30R03D\r\n"}, {"SOUR:VOLT 99\rSYST:ERR?\r\n", "ERROR - 105\r\n"}, {"SYST:ERR?\n", "ERROR - 1\r\n"},
          {"MEAS:VOLTS? 0.05,3\n*IDN?\n", "0.000,0.000,0.000\r\nQPX-30R03D\r\n"}}},
        {"a flood of lines, started by any line, ended by its count", {"--flood-lines", "200", "--flood-count", "3", "--crlf"},
         {{"\n", "00.000\r\n00.001\r\n00.002\r\n"}, {"*IDN?\n", "QPX-30R03D\r\n"}}},
        {"a flood without line ends, counted in bytes", {"--flood-no-lf", "--flood-count", "10"}, {{"\n", "00.00000.0"}, {"*IDN?\n", "QPX-30R03D\n"}}},
        {"over TCP, the second reply lost, strays behind it still sent", {"--tcp", "127.0.0.1:0", "--drop-reply", "2", "--stray-after", "1", "--stray-after", "2=late,0.5"},
         {{"SOUR:VOLT 7\n*IDN?\n", "QPX-30R03D\nERROR - 101\n"}, {"SYST:VERS?\r\nSOUR:VOLT?\n", "late,0.5\n7.000\n"}}},
    };
    for (const auto& k : cases) {
        Session sim(k.args);
        QVERIFY2(sim.fd >= 0, k.name);
        for (const auto& [bytes, reply] : k.steps)
            QCOMPARE(sim.Ask(bytes, reply.size()), reply);
        QVERIFY2(sim.Stop(), k.name);
    }
}

QTEST_GUILESS_MAIN(TestSimPty)
#include "test_sim_pty.moc"
