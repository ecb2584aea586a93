#include <QtTest>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

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

bool WriteAll(int fd, const QByteArray& bytes)
{
    return write(fd, bytes.constData(), bytes.size()) == bytes.size();
}

// Reads byte by byte until `size` bytes or an LF (size < 0) came in, the far
// side hung up, or the time ran out; what did arrive is returned either way.
QByteArray Read(int fd, int size, bool* hungUp = nullptr)
{
    QByteArray bytes;
    QDeadlineTimer deadline(WaitMs);
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

int StartAndOpen(QProcess& process, const QStringList& args)
{
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral(TARVIO_SIM_PATH), args);
    const QString slave = NextTerminal(process);
    return slave.startsWith("/dev/") ? OpenRaw(slave) : -1;
}

bool StopSimulator(QProcess& process)
{
    process.terminate();
    return process.waitForFinished(WaitMs) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}
}

// The built simulator on a real pseudo-terminal, seen from the console's side.
class TestSimPty : public QObject {
    Q_OBJECT
private slots:
    void AnswersAndRecords();
    void RecordsTimedFaultUnasked();
    void ReturnsOnSameLink();
    void ReturnsRenamedAgainAndAgain();
    void SpoilsReplies();
    void PacesOutput();
    void Floods_data();
    void Floods();
    void StartFails_data();
    void StartFails();
    void KeepsLinkOfLiveSimulator();
};

void TestSimPty::AnswersAndRecords()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString record = dir.filePath("record.txt");
    QProcess simulator;
    const int fd = StartAndOpen(simulator, {"--crlf", "--record", record, "--fault", "fan,after=2"});
    QVERIFY(fd >= 0);
    // The command comes in two writes, as a slow console would send it.
    QVERIFY(WriteAll(fd, "*ID"));
    QVERIFY(WriteAll(fd, "N?\n"));
    QCOMPARE(Read(fd, -1), QByteArray("QPX-30R03D\r\n"));
    QVERIFY(WriteAll(fd, "SOUR:VOLT 99\rSYST:ERR?\r\n"));
    QCOMPARE(Read(fd, -1), QByteArray("ERROR - 105\r\n"));
    QVERIFY(WriteAll(fd, "SYST:ERR?\n"));
    QCOMPARE(Read(fd, -1), QByteArray("ERROR - 1\r\n"));
    // The query behind a series of samples is answered once the series is done.
    QVERIFY(WriteAll(fd, "MEAS:VOLTS? 0.05,3\n*IDN?\n"));
    QCOMPARE(Read(fd, -1), QByteArray("0.000,0.000,0.000\r\n"));
    QCOMPARE(Read(fd, -1), QByteArray("QPX-30R03D\r\n"));
    close(fd);
    QVERIFY(StopSimulator(simulator));

    QFile file(record);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLatin1(file.readAll()).split('\n');
    const QStringList expected = {"LF\t\\*IDN\\?", "OUT\tQPX-30R03D", "CR\tSOUR:VOLT 99", "ERROR\t105", "FAULT\t1",
                                  "CR\tSYST:ERR\\?", "OUT\tERROR - 105", "LF\tSYST:ERR\\?", "OUT\tERROR - 1",
                                  "LF\tMEAS:VOLTS\\? 0.05,3", "LF\t\\*IDN\\?", "OUT\t0.000,0.000,0.000", "OUT\tQPX-30R03D", ""};
    QCOMPARE(lines.size(), expected.size());
    for (int i = 0; i + 1 < expected.size(); ++i) {
        const QRegularExpression pattern("^\\d+\\.\\d{6}\t" + expected[i] + "$");
        QVERIFY2(pattern.match(lines[i]).hasMatch(), qPrintable(lines[i]));
    }
}

void TestSimPty::RecordsTimedFaultUnasked()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile record(dir.filePath("record.txt"));
    QProcess simulator;
    const int fd = StartAndOpen(simulator, {"--record", record.fileName(), "--fault", "comm,at=0.1"});
    QVERIFY(fd >= 0);
    // The fault shows in the trace when it happens, not only once a command comes.
    QTRY_VERIFY_WITH_TIMEOUT(record.size() > 0, WaitMs);
    QVERIFY(record.open(QIODevice::ReadOnly));
    const QString line = QString::fromLatin1(record.readAll());
    QVERIFY2(QRegularExpression("^\\d+\\.\\d{6}\tFAULT\t100\n$").match(line).hasMatch(), qPrintable(line));
    close(fd);
    QVERIFY(StopSimulator(simulator));
}

void TestSimPty::ReturnsOnSameLink()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString link = dir.filePath("sim0");
    QProcess simulator;
    int fd = StartAndOpen(simulator, {"--vanish-after", "1", "--return-after", "0.2", "--link", link});
    QVERIFY(fd >= 0);
    QVERIFY(WriteAll(fd, "SOUR:VOLT 7\n*IDN?\n"));
    QCOMPARE(Read(fd, -1), QByteArray("QPX-30R03D\n"));
    bool hungUp = false;
    Read(fd, 1 << 20, &hungUp);
    QVERIFY(hungUp);
    close(fd);

    const QString second = NextTerminal(simulator);
    QVERIFY2(second.startsWith("/dev/"), qPrintable(second));
    QCOMPARE(QFileInfo(link).symLinkTarget(), second);
    fd = OpenRaw(link);
    QVERIFY(fd >= 0);
    // The instrument came back with the setting it had: only the cable went.
    QVERIFY(WriteAll(fd, "SOUR:VOLT?\n"));
    QCOMPARE(Read(fd, -1), QByteArray("7.000\n"));
    close(fd);
    QVERIFY(StopSimulator(simulator));
    QVERIFY(!QFileInfo(link).isSymLink());
}

// Every appearance: which link names the terminal, where the stable link
// leads, and that it answers through the stable link.
void TestSimPty::ReturnsRenamedAgainAndAgain()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString first = dir.filePath("ttyUSB0"), second = dir.filePath("ttyUSB1"), stable = dir.filePath("by-id");
    const QString record = dir.filePath("record.txt");
    // Two seconds each way: long enough for the checks of a stalled test
    // process to land in the right phase.
    QProcess simulator;
    simulator.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    simulator.start(QStringLiteral(TARVIO_SIM_PATH), {"--vanish-every", "2", "--return-after", "2", "--link", first,
                                                      "--return-as", second, "--stable-link", stable, "--record", record});
    QStringList terminals;
    const QStringList expectedLinks = {first, second, first};
    for (int appearance = 0; appearance < 3; ++appearance) {
        const QString terminal = NextTerminal(simulator);
        QVERIFY2(terminal.startsWith("/dev/"), qPrintable(terminal));
        terminals << terminal;
        const QString link = expectedLinks[appearance];
        QCOMPARE(QFileInfo(link).symLinkTarget(), terminal);
        QVERIFY(!QFileInfo(link == first ? second : first).isSymLink());
        QCOMPARE(QFileInfo(stable).symLinkTarget(), link);
        if (appearance == 2)
            break;
        const int fd = OpenRaw(stable);
        QVERIFY(fd >= 0);
        QVERIFY(WriteAll(fd, appearance == 0 ? "SOUR:VOLT 7\n*IDN?\n" : "SOUR:VOLT?\n"));
        QCOMPARE(Read(fd, -1), QByteArray(appearance == 0 ? "QPX-30R03D\n" : "7.000\n"));
        bool hungUp = false;
        Read(fd, 1 << 20, &hungUp);
        QVERIFY(hungUp);
        close(fd);
        // The stable name goes before the terminal hangs up, as udev's does with the device.
        QVERIFY(!QFileInfo(stable).isSymLink());
        QVERIFY(!QFileInfo(link).isSymLink());
    }
    QVERIFY(StopSimulator(simulator));
    QVERIFY(!QFileInfo(stable).isSymLink());
    QVERIFY(!QFileInfo(first).isSymLink());

    QFile file(record);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QStringList presence;
    QList<double> at;
    for (const QString& line : QString::fromLatin1(file.readAll()).split('\n')) {
        const QString kind = line.section('\t', 1, 1);
        if (kind == "VANISH" || kind == "RETURN") {
            presence << kind + " " + line.section('\t', 2);
            at << line.section('\t', 0, 0).toDouble();
        }
    }
    QCOMPARE(presence, QStringList({"VANISH " + terminals[0], "RETURN " + terminals[1], "VANISH " + terminals[1],
                                    "RETURN " + terminals[2]}));
    // Only lower bounds: a loaded machine may wake the simulator late, never early.
    for (int i = 1; i < at.size(); ++i)
        QVERIFY2(at[i] - at[i - 1] >= 2.0, qPrintable(QString::number(at[i] - at[i - 1])));
}

void TestSimPty::SpoilsReplies()
{
    QProcess simulator;
    const int fd = StartAndOpen(simulator, {"--drop-every", "3", "--garble-every", "2"});
    QVERIFY(fd >= 0);
    // Set commands get no reply, so only the five queries count: the third
    // is dropped, the second and fourth garbled ("*").
    for (int volts = 1; volts <= 5; ++volts)
        QVERIFY(WriteAll(fd, QString::asprintf("SOUR:VOLT %d\nSOUR:VOLT?\n", volts).toLatin1()));
    for (const QString& want : QStringList{"1.000", "*", "*", "5.000"}) {
        const QByteArray line = Read(fd, -1);
        QVERIFY2(line.endsWith('\n') && line.size() == 6, line.constData());
        if (want == "*")
            QVERIFY2(!QRegularExpression("^\\d\\.\\d{3}\n$").match(QString::fromLatin1(line)).hasMatch(), line.constData());
        else
            QCOMPARE(line, want.toLatin1() + '\n');
    }
    close(fd);
    QVERIFY(StopSimulator(simulator));
}

void TestSimPty::PacesOutput()
{
    QProcess simulator;
    const int fd = StartAndOpen(simulator, {"--baud", "300"});
    QVERIFY(fd >= 0);
    QElapsedTimer timer;
    timer.start();
    QVERIFY(WriteAll(fd, "*IDN?\n*IDN?\n*IDN?\n"));
    const QByteArray received = Read(fd, 30);
    const qint64 tookMs = timer.elapsed();
    close(fd);
    QCOMPARE(received, QByteArray("QPX-30R03D\nQPX-30R03D\nQPX-30R0"));
    // 30 bytes at 10 bits each take a second; only a lower bound, as a busy machine may be slower.
    QVERIFY2(tookMs >= 900, qPrintable(QString::number(tookMs)));
    QVERIFY(StopSimulator(simulator));
}

void TestSimPty::Floods_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArray>("lineEnd");

    QTest::newRow("lines at a rate, CR LF") << QStringList{"--flood-lines", "200", "--flood-count", "20", "--crlf"} << 20 << QByteArray("\r\n");
    QTest::newRow("no line feed, byte count") << QStringList{"--flood-no-lf", "--flood-count", "50"} << 50 << QByteArray();
}

void TestSimPty::Floods()
{
    QFETCH(QStringList, args);
    QFETCH(int, count);
    QFETCH(QByteArray, lineEnd);

    // Readings count up from 00.000; without line ends the count is in bytes.
    QByteArray flood;
    for (int i = 0; i < count; ++i)
        flood += QString::asprintf("00.%03d", i).toLatin1() + lineEnd;
    flood.truncate(lineEnd.isEmpty() ? count : flood.size());

    QProcess simulator;
    const int fd = StartAndOpen(simulator, args);
    QVERIFY(fd >= 0);
    // Any line starts the flood, even an empty one.
    QVERIFY(WriteAll(fd, "\n"));
    QCOMPARE(Read(fd, flood.size()), flood);
    // The count ended the flood exactly, and the instrument still answers.
    QVERIFY(WriteAll(fd, "*IDN?\n"));
    QCOMPARE(Read(fd, -1), "QPX-30R03D" + (lineEnd.isEmpty() ? QByteArray("\n") : lineEnd));
    close(fd);
    QVERIFY(StopSimulator(simulator));
}

void TestSimPty::StartFails_data()
{
    QTest::addColumn<QStringList>("args"); // $DIR stands for a fresh folder
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message"); // the one line on stderr, as a pattern

    QTest::newRow("switch given a value") << QStringList{"--crlf=no"} << 2 << "--crlf takes no value \\(see tarvio-sim --help\\)";
    QTest::newRow("link folder missing") << QStringList{"--link", "$DIR/missing/com1"} << 3
                                         << "cannot make link .*/missing/com1: No such file or directory";
    QTest::newRow("link is a regular file") << QStringList{"--link", "$DIR/file"} << 3 << ".*/file exists and is not a symbolic link";
    QTest::newRow("stable link is a regular file") << QStringList{"--stable-link", "$DIR/file"} << 3
                                                   << ".*/file exists and is not a symbolic link";
    QTest::newRow("record cannot be opened") << QStringList{"--record", "$DIR"} << 3 << "cannot open record file .*: Is a directory";
}

void TestSimPty::StartFails()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, message);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile file(dir.filePath("file"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    args.replaceInStrings("$DIR", dir.path());
    QProcess simulator;
    simulator.start(QStringLiteral(TARVIO_SIM_PATH), args);
    QVERIFY(simulator.waitForFinished(WaitMs));
    QCOMPARE(simulator.exitCode(), exitCode);
    QCOMPARE(simulator.readAllStandardOutput(), QByteArray());
    const QString error = QString::fromLocal8Bit(simulator.readAllStandardError());
    QVERIFY2(QRegularExpression("^tarvio-sim: " + message + "\n$").match(error).hasMatch(), qPrintable(error));
}

void TestSimPty::KeepsLinkOfLiveSimulator()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString link = dir.filePath("com1");
    QProcess first;
    first.start(QStringLiteral(TARVIO_SIM_PATH), {"--link", link});
    const QString terminal = NextTerminal(first);
    QVERIFY2(terminal.startsWith("/dev/"), qPrintable(terminal));

    QProcess second;
    second.start(QStringLiteral(TARVIO_SIM_PATH), {"--link", link});
    QVERIFY(second.waitForFinished(WaitMs));
    QCOMPARE(second.exitCode(), 3);
    const QString error = QString::fromLocal8Bit(second.readAllStandardError());
    QVERIFY2(error.contains(QString("which tarvio-sim process %1 still serves").arg(first.processId())), qPrintable(error));
    QCOMPARE(QFileInfo(link).symLinkTarget(), terminal);
    QVERIFY(StopSimulator(first));

    // Once nobody serves it, the link left behind is stale and may be taken over.
    QVERIFY(QFile::link("/dev/pts/999999", link));
    QProcess third;
    third.start(QStringLiteral(TARVIO_SIM_PATH), {"--link", link});
    const QString taken = NextTerminal(third);
    QVERIFY2(taken.startsWith("/dev/"), qPrintable(taken));
    QCOMPARE(QFileInfo(link).symLinkTarget(), taken);
    QVERIFY(StopSimulator(third));
}

QTEST_GUILESS_MAIN(TestSimPty)
#include "test_sim_pty.moc"
