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
constexpr int WaitMs = 10000;

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

bool WriteAll(int fd, const QByteArray& bytes)
{
    return write(fd, bytes.constData(), bytes.size()) == bytes.size();
}

// Reads byte by byte until `size` bytes or an LF (size < 0) came in, the far
// side hung up, or the time ran out; what did arrive is returned either way.
QByteArray Read(int fd, int size, bool* hungUp = nullptr, int waitMs = WaitMs)
{
    QByteArray bytes;
    QDeadlineTimer deadline(waitMs);
    while (!(size < 0 ? bytes.endsWith('\n') : bytes.size() >= size) && !deadline.hasExpired()) {
        pollfd wait = {fd, POLLIN, 0};
        if (poll(&wait, 1, int(deadline.remainingTime())) <= 0)
            continue;
        char byte = 0;
        const ssize_t count = read(fd, &byte, 1);
        if (count == 1) {
            bytes += byte;
        } else if (count == 0 || errno == EIO || (wait.revents & POLLHUP) != 0) {
            if (hungUp != nullptr)
                *hungUp = true;
            break;
        }
    }
    return bytes;
}

// The simulator prints each terminal it opens as a line of its own.
QString NextTerminal(QProcess& process)
{
    QDeadlineTimer deadline(WaitMs);
    while (!process.canReadLine() && !deadline.hasExpired() && process.state() != QProcess::NotRunning)
        process.waitForReadyRead(int(deadline.remainingTime()));
    return QString::fromLocal8Bit(process.readLine()).trimmed();
}

// A simulator started with the given options and its first terminal opened,
// or with --tcp a client connected.
struct Session {
    QProcess process;
    QString terminal; // or the address it listens on
    int fd = -1;

    explicit Session(const QStringList& args, bool keepErrors = false)
    {
        process.setProcessChannelMode(keepErrors ? QProcess::SeparateChannels : QProcess::ForwardedErrorChannel);
        process.start(QStringLiteral(TARVIO_SIM_PATH), args);
        terminal = NextTerminal(process);
        fd = terminal.startsWith("/dev/") ? OpenRaw(terminal) : args.contains("--tcp") ? ConnectTcp(terminal) : -1;
    }
    ~Session() { Stop(); }   // also ends one that a failed check left running
    // Sends the bytes and reads one line back.
    QByteArray Ask(const QByteArray& bytes) { return WriteAll(fd, bytes) ? Read(fd, -1) : QByteArray(); }
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
// side; pacing, silences, spoilt replies and timed faults are the core test's, played
// without a terminal, and a return on the same link the console's reconnect test.
class TestSimPty : public QObject {
    Q_OBJECT
private slots:
    void AnswersAndRecords();
    void Floods();
    void StartFails();
    void KeepsLinkOfLiveSimulator();
    void ServesOneTcpClientAtATime();
};

void TestSimPty::AnswersAndRecords()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString record = dir.filePath("record.txt");
    Session sim({"--crlf", "--record", record, "--fault", "fan,after=2"});
    QVERIFY(sim.fd >= 0);
    // The command comes in two writes, as a slow console would send it.
    QVERIFY(WriteAll(sim.fd, "*ID"));
    QCOMPARE(sim.Ask("N?\n"), QByteArray("QPX-30R03D\r\n"));
    QCOMPARE(sim.Ask("SOUR:VOLT 99\rSYST:ERR?\r\n"), QByteArray("ERROR - 105\r\n"));
    QCOMPARE(sim.Ask("SYST:ERR?\n"), QByteArray("ERROR - 1\r\n"));
    // The query behind a series of samples is answered once the series is done.
    QCOMPARE(sim.Ask("MEAS:VOLTS? 0.05,3\n*IDN?\n"), QByteArray("0.000,0.000,0.000\r\n"));
    QCOMPARE(Read(sim.fd, -1), QByteArray("QPX-30R03D\r\n"));
    QVERIFY(sim.Stop());

    QFile file(record);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLatin1(file.readAll()).split('\n');
    const QStringList expected = {"LF\t\\*IDN\\?", "OUT\tQPX-30R03D", "CR\tSOUR:VOLT 99", "ERROR\t105", "FAULT\t1",
                                  "CR\tSYST:ERR\\?", "OUT\tERROR - 105", "LF\tSYST:ERR\\?", "OUT\tERROR - 1",
                                  "LF\tMEAS:VOLTS\\? 0.05,3", "LF\t\\*IDN\\?", "OUT\t0.000,0.000,0.000", "OUT\tQPX-30R03D", ""};
    QCOMPARE(lines.size(), expected.size());
    for (int i = 0; i + 1 < expected.size(); ++i)
        QVERIFY2(QRegularExpression("^\\d+\\.\\d{6}\t" + expected[i] + "$").match(lines[i]).hasMatch(), qPrintable(lines[i]));
}

void TestSimPty::Floods()
{
    const struct { const char* name; QStringList args; int count; QByteArray lineEnd; } cases[] = {
        {"lines at a rate, CR LF", {"--flood-lines", "200", "--flood-count", "20", "--crlf"}, 20, "\r\n"},
        {"no line feed, byte count", {"--flood-no-lf", "--flood-count", "50"}, 50, ""},
    };
    for (const auto& k : cases) {
        // Readings count up from 00.000; without line ends the count is in bytes.
        QByteArray flood;
        for (int i = 0; i < k.count; ++i)
            flood += QString::asprintf("00.%03d", i).toLatin1() + k.lineEnd;
        flood.truncate(k.lineEnd.isEmpty() ? k.count : flood.size());

        Session sim(k.args);
        QVERIFY2(sim.fd >= 0, k.name);
        // Any line starts the flood, even an empty one.
        QVERIFY(WriteAll(sim.fd, "\n"));
        QVERIFY2(Read(sim.fd, flood.size()) == flood, k.name);
        // The count ended the flood exactly, and the instrument still answers.
        QVERIFY2(sim.Ask("*IDN?\n") == "QPX-30R03D" + (k.lineEnd.isEmpty() ? QByteArray("\n") : k.lineEnd), k.name);
        QVERIFY2(sim.Stop(), k.name);
    }
}

void TestSimPty::StartFails()
{
    // In the arguments $DIR stands for a fresh folder; the message is the one line on stderr, as a pattern.
    const struct { const char* name; QStringList args; int exitCode; QString message; } cases[] = {
        {"switch given a value", {"--crlf=no"}, 2, "--crlf takes no value \\(see tarvio-sim --help\\)"},
        {"link folder missing", {"--link", "$DIR/missing/com1"}, 3, "cannot make link .*/missing/com1: No such file or directory"},
        {"link is a regular file", {"--link", "$DIR/file"}, 3, ".*/file exists and is not a symbolic link"},
        {"stable link is a regular file", {"--stable-link", "$DIR/file"}, 3, ".*/file exists and is not a symbolic link"},
        {"record cannot be opened", {"--record", "$DIR"}, 3, "cannot open record file .*: Is a directory"},
    };
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile file(dir.filePath("file"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    for (const auto& k : cases) {
        QProcess simulator;
        simulator.start(QStringLiteral(TARVIO_SIM_PATH), QStringList(k.args).replaceInStrings("$DIR", dir.path()));
        QVERIFY2(simulator.waitForFinished(WaitMs), k.name);
        QVERIFY2(simulator.exitCode() == k.exitCode && simulator.readAllStandardOutput().isEmpty(), k.name);
        const QString error = QString::fromLocal8Bit(simulator.readAllStandardError());
        QVERIFY2(QRegularExpression("^tarvio-sim: " + k.message + "\n$").match(error).hasMatch(), qPrintable(error));
    }
}

void TestSimPty::KeepsLinkOfLiveSimulator()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString link = dir.filePath("com1");
    Session first({"--link", link});
    QVERIFY2(first.fd >= 0, qPrintable(first.terminal));

    QProcess second;
    second.start(QStringLiteral(TARVIO_SIM_PATH), {"--link", link});
    QVERIFY(second.waitForFinished(WaitMs));
    QCOMPARE(second.exitCode(), 3);
    const QString error = QString::fromLocal8Bit(second.readAllStandardError());
    QVERIFY2(error.contains(QString("which tarvio-sim process %1 still serves").arg(first.process.processId())), qPrintable(error));
    QCOMPARE(QFileInfo(link).symLinkTarget(), first.terminal);
    QVERIFY(first.Stop());

    // Once nobody serves it, the link left behind is stale and may be taken over.
    QVERIFY(QFile::link("/dev/pts/999999", link));
    Session third({"--link", link});
    QVERIFY2(third.fd >= 0, qPrintable(third.terminal));
    QCOMPARE(QFileInfo(link).symLinkTarget(), third.terminal);
    QVERIFY(third.Stop());
}

namespace {
// The record's lines, kind and text, without the seconds.
QStringList RecordedEvents(const QString& path)
{
    QFile file(path);
    const QStringList lines = file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()).split('\n', Qt::SkipEmptyParts) : QStringList();
    return QStringList(lines).replaceInStrings(QRegularExpression("^[^\t]*\t"), "");
}
}

void TestSimPty::ServesOneTcpClientAtATime()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString record = dir.filePath("record.txt");
    Session sim({"--tcp", "127.0.0.1:0", "--crlf", "--drop-reply", "2", "--stray-after", "1", "--stray-after", "2=late,0.5", "--record", record}, true);
    QVERIFY2(sim.fd >= 0, qPrintable(sim.terminal));
    // The faults as on a terminal: the second reply is lost, its stray still comes.
    QVERIFY(WriteAll(sim.fd, "SOUR:VOLT 7\n*ID"));
    QCOMPARE(sim.Ask("N?\n"), QByteArray("QPX-30R03D\r\n"));
    QVERIFY(WriteAll(sim.fd, "SYST:VERS?\r\nSOUR:VOLT?\n"));
    const QByteArray expected = "ERROR - 101\r\nlate,0.5\r\n7.000\r\n";
    QCOMPARE(Read(sim.fd, expected.size()), expected);

    // The port is taken while it serves, and a second client is turned away.
    QProcess rival;
    rival.start(QStringLiteral(TARVIO_SIM_PATH), {"--tcp", sim.terminal});
    QVERIFY(rival.waitForFinished(WaitMs));
    QCOMPARE(rival.exitCode(), 3);
    QCOMPARE(QString::fromLocal8Bit(rival.readAllStandardError()), "tarvio-sim: cannot listen on " + sim.terminal + ": Address already in use\n");
    for (int refused = 0; refused < 2; ++refused) {
        const int second = ConnectTcp(sim.terminal);
        bool hungUp = false;
        QCOMPARE(Read(second, 1 << 20, &hungUp), QByteArray("tarvio-sim serves one client at a time\r\n"));
        QVERIFY(hungUp && close(second) == 0);
    }
    // The first one was not disturbed; once it leaves, the next is let in to the same instrument.
    QCOMPARE(sim.Ask("*IDN?\n"), QByteArray("QPX-30R03D\r\n"));
    close(std::exchange(sim.fd, -1));
    QTRY_VERIFY_WITH_TIMEOUT(RecordedEvents(record).filter(QRegularExpression("^DISCONNECT\t127.0.0.1:")).size() == 1, WaitMs);
    sim.fd = ConnectTcp(sim.terminal);
    QCOMPARE(sim.Ask("SOUR:VOLT?\n"), QByteArray("7.000\r\n"));
    QVERIFY(sim.Stop());

    const QString errors = QString::fromLocal8Bit(sim.process.readAllStandardError());
    QVERIFY2(QRegularExpression("^(tarvio-sim: refused a client from 127\\.0\\.0\\.1:\\d+: the supply serves one client at a time\n){2}$")
                 .match(errors).hasMatch(), qPrintable(errors));
    const QStringList events = RecordedEvents(record);
    QCOMPARE(events.mid(1, 9), QStringList({"LF\tSOUR:VOLT 7", "LF\t*IDN?", "OUT\tQPX-30R03D", "STRAY\tERROR - 101", "CR\tSYST:VERS?",
                                            "DROP\t1.00", "LF\tSOUR:VOLT?", "STRAY\tlate,0.5", "OUT\t7.000"}));
    QCOMPARE(events.filter(QRegularExpression("^CONNECT\t127.0.0.1:")).size(), 2);
}

QTEST_GUILESS_MAIN(TestSimPty)
#include "test_sim_pty.moc"
