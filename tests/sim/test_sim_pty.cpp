#include <QtTest>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <functional>

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

// Reads up to and including the next LF; what came before is returned even
// when the time runs out, so a failure shows what did arrive.
QByteArray ReadLine(int fd)
{
    QByteArray line;
    QDeadlineTimer deadline(WaitMs);
    while (!line.endsWith('\n') && !deadline.hasExpired()) {
        pollfd wait = {fd, POLLIN, 0};
        if (poll(&wait, 1, int(deadline.remainingTime())) <= 0)
            continue;
        char byte = 0;
        while (!line.endsWith('\n') && read(fd, &byte, 1) == 1)
            line += byte;
    }
    return line;
}

// True once the far side is gone: a hang-up, end of file or EIO.
bool WaitForHangup(int fd)
{
    QDeadlineTimer deadline(WaitMs);
    while (!deadline.hasExpired()) {
        pollfd wait = {fd, POLLIN, 0};
        if (poll(&wait, 1, int(deadline.remainingTime())) <= 0)
            continue;
        if ((wait.revents & POLLHUP) != 0)
            return true;
        char buffer[256];
        const ssize_t count = read(fd, buffer, sizeof buffer);
        if (count == 0 || (count < 0 && errno == EIO))
            return true;
    }
    return false;
}

// What came in until `enough` said so, the far side hung up, or the time ran out.
struct Received {
    QByteArray Bytes;
    bool HungUp = false;
};

Received ReadUntil(int fd, const std::function<bool(const QByteArray&)>& enough)
{
    Received received;
    QDeadlineTimer deadline(WaitMs);
    while (!enough(received.Bytes) && !deadline.hasExpired()) {
        pollfd wait = {fd, POLLIN, 0};
        if (poll(&wait, 1, int(deadline.remainingTime())) <= 0)
            continue;
        char buffer[4096];
        const ssize_t count = read(fd, buffer, sizeof buffer);
        if (count > 0) {
            received.Bytes.append(buffer, int(count));
        } else if (count == 0 || errno == EIO || (wait.revents & POLLHUP) != 0) {
            received.HungUp = true;
            break;
        }
    }
    return received;
}

QByteArray ReadBytes(int fd, int size)
{
    return ReadUntil(fd, [size](const QByteArray& bytes) { return bytes.size() >= size; }).Bytes;
}

// The simulator prints each terminal it opens as a line of its own.
QString NextTerminal(QProcess& process)
{
    QDeadlineTimer deadline(WaitMs);
    while (!process.canReadLine() && !deadline.hasExpired() && process.state() != QProcess::NotRunning)
        process.waitForReadyRead(int(deadline.remainingTime()));
    return QString::fromLocal8Bit(process.readLine()).trimmed();
}

QString StartSimulator(QProcess& process, const QStringList& args)
{
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral(TARVIO_SIM_PATH), args);
    return NextTerminal(process);
}

bool StopSimulator(QProcess& process)
{
    process.terminate();
    return process.waitForFinished(WaitMs) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QStringList RecordedCommands(const QString& record)
{
    QFile file(record);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList commands;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (!line.isEmpty())
            commands << QString::fromLatin1(line.split('\t').value(2));
    }
    return commands;
}

// What the flood sends: readings counting up from 00.000.
QByteArray FloodReadings(int count, const QByteArray& lineEnd)
{
    QByteArray readings;
    for (int i = 0; i < count; ++i)
        readings += QString::asprintf("%02d.%03d", i / 1000 % 100, i % 1000).toLatin1() + lineEnd;
    return readings;
}
}

// The built simulator on a real pseudo-terminal, seen from the console's side.
class TestSimPty : public QObject {
    Q_OBJECT
private slots:
    void AnswersAndRecords_data();
    void AnswersAndRecords();
    void VanishesAfterDelay();
    void SpoilsReplies_data();
    void SpoilsReplies();
    void StopsAnsweringButKeepsListening();
    void ReturnsOnSameLink();
    void PacesOutput_data();
    void PacesOutput();
    void Floods_data();
    void Floods();
};

void TestSimPty::AnswersAndRecords_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("identity");
    QTest::addColumn<QByteArray>("terminator");

    QTest::newRow("defaults, LF replies") << QStringList{} << QByteArray("QPX-30R03D") << QByteArray("\n");
    QTest::newRow("one output, CR LF replies") << QStringList{"--crlf", "--model", "QPX-30R05"}
                                              << QByteArray("QPX-30R05") << QByteArray("\r\n");
}

void TestSimPty::AnswersAndRecords()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, identity);
    QFETCH(QByteArray, terminator);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString record = dir.filePath("record.txt");
    const QString link = dir.filePath("sim0");
    QProcess simulator;
    const QString slave = StartSimulator(simulator, args + QStringList{"--record", record, "--link", link});
    QVERIFY2(slave.startsWith("/dev/"), qPrintable(slave));
    QCOMPARE(QFileInfo(link).symLinkTarget(), slave);

    const int fd = OpenRaw(link);
    QVERIFY(fd >= 0);
    // The command comes in two writes, as a slow console would send it.
    QVERIFY(WriteAll(fd, "*ID"));
    QVERIFY(WriteAll(fd, "N?\n"));
    QCOMPARE(ReadLine(fd), identity + terminator);
    QVERIFY(WriteAll(fd, "SOUR:VOLT 5\rSOUR:VOLT?\r\n"));
    QCOMPARE(ReadLine(fd), QByteArray("5.000") + terminator);
    close(fd);

    QFile file(record);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLatin1(file.readAll()).split('\n');
    QCOMPARE(lines.size(), 4);
    const QStringList expected = {"LF\t\\*IDN\\?", "CR\tSOUR:VOLT 5", "CR\tSOUR:VOLT\\?"};
    for (int i = 0; i < expected.size(); ++i) {
        const QRegularExpression pattern("^\\d+\\.\\d{6}\t" + expected[i] + "$");
        QVERIFY2(pattern.match(lines[i]).hasMatch(), qPrintable(lines[i]));
    }
    QCOMPARE(lines[3], QString());

    simulator.terminate();
    QVERIFY(simulator.waitForFinished(WaitMs));
    QCOMPARE(simulator.exitStatus(), QProcess::NormalExit);
    QCOMPARE(simulator.exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());
}

void TestSimPty::VanishesAfterDelay()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString link = dir.filePath("sim0");
    QProcess simulator;
    const QString slave = StartSimulator(simulator, {"--vanish-after", "0.5", "--link", link});
    QVERIFY2(slave.startsWith("/dev/"), qPrintable(slave));

    const int fd = OpenRaw(slave);
    QVERIFY(fd >= 0);
    QVERIFY(WaitForHangup(fd));
    close(fd);
    QVERIFY(simulator.waitForFinished(WaitMs));
    QCOMPARE(simulator.exitStatus(), QProcess::NormalExit);
    QCOMPARE(simulator.exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());
}

void TestSimPty::SpoilsReplies_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("expected"); // "*": a garbled line
    QTest::addColumn<QByteArray>("terminator");

    QTest::newRow("drop every 2") << QStringList{"--drop-every", "2"}
                                  << QStringList{"1.000", "3.000", "5.000"} << QByteArray("\n");
    QTest::newRow("garble every 2") << QStringList{"--garble-every", "2"}
                                    << QStringList{"1.000", "*", "3.000", "*", "5.000"} << QByteArray("\n");
    QTest::newRow("garble every 2, CR LF") << QStringList{"--garble-every", "2", "--crlf"}
                                           << QStringList{"1.000", "*", "3.000", "*", "5.000"} << QByteArray("\r\n");
    QTest::newRow("drop every 3, garble every 2") << QStringList{"--drop-every", "3", "--garble-every", "2"}
                                                  << QStringList{"1.000", "*", "*", "5.000"} << QByteArray("\n");
}

void TestSimPty::SpoilsReplies()
{
    QFETCH(QStringList, args);
    QFETCH(QStringList, expected);
    QFETCH(QByteArray, terminator);

    QProcess simulator;
    const QString slave = StartSimulator(simulator, args);
    QVERIFY2(slave.startsWith("/dev/"), qPrintable(slave));
    const int fd = OpenRaw(slave);
    QVERIFY(fd >= 0);
    // Set commands get no reply, so only the five queries are counted.
    for (int volts = 1; volts <= 5; ++volts)
        QVERIFY(WriteAll(fd, QString::asprintf("SOUR:VOLT %d\nSOUR:VOLT?\n", volts).toLatin1()));
    for (const QString& want : expected) {
        const QByteArray line = ReadLine(fd);
        QVERIFY2(line.endsWith(terminator), line.constData());
        const QByteArray text = line.chopped(terminator.size());
        if (want != "*") {
            QCOMPARE(text, want.toLatin1());
            continue;
        }
        QCOMPARE(text.size(), 5);
        QVERIFY2(!text.contains('\r') && !QRegularExpression("^\\d\\.\\d{3}$").match(QString::fromLatin1(text)).hasMatch(),
                 text.constData());
    }
    close(fd);
    QVERIFY(StopSimulator(simulator));
}

void TestSimPty::StopsAnsweringButKeepsListening()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString record = dir.filePath("record.txt");
    QProcess simulator;
    // The reply delay keeps the exchange below to a few dozen rounds; the
    // vanishing ends the wait for a reply that must not come.
    const QString slave = StartSimulator(simulator, {"--stop-after", "1", "--vanish-after", "1.5", "--reply-delay", "20",
                                                     "--record", record});
    QVERIFY2(slave.startsWith("/dev/"), qPrintable(slave));
    const int fd = OpenRaw(slave);
    QVERIFY(fd >= 0);

    // Ask again as soon as each answer is in, until one goes unanswered.
    int asked = 0;
    int answered = 0;
    Received received;
    do {
        QVERIFY(WriteAll(fd, "*IDN?\n"));
        ++asked;
        received = ReadUntil(fd, [](const QByteArray& bytes) { return bytes.endsWith('\n'); });
        if (received.Bytes == "QPX-30R03D\n")
            ++answered;
        else
            QCOMPARE(received.Bytes, QByteArray());
    } while (!received.HungUp && answered == asked);
    close(fd);

    QVERIFY(received.HungUp);
    QVERIFY(answered >= 1);
    QCOMPARE(asked, answered + 1);
    QTRY_COMPARE(RecordedCommands(record), QStringList(QList<QString>(asked, "*IDN?")));
    QVERIFY(simulator.waitForFinished(WaitMs));
    QCOMPARE(simulator.exitCode(), 0);
}

void TestSimPty::ReturnsOnSameLink()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString link = dir.filePath("sim0");
    QProcess simulator;
    const QString first = StartSimulator(simulator, {"--vanish-after", "1", "--return-after", "0.2", "--link", link});
    QVERIFY2(first.startsWith("/dev/"), qPrintable(first));

    int fd = OpenRaw(link);
    QVERIFY(fd >= 0);
    QVERIFY(WriteAll(fd, "SOUR:VOLT 7\n*IDN?\n"));
    QCOMPARE(ReadLine(fd), QByteArray("QPX-30R03D\n"));
    QVERIFY(ReadUntil(fd, [](const QByteArray&) { return false; }).HungUp);
    close(fd);

    const QString second = NextTerminal(simulator);
    QVERIFY2(second.startsWith("/dev/"), qPrintable(second));
    QCOMPARE(QFileInfo(link).symLinkTarget(), second);
    fd = OpenRaw(link);
    QVERIFY(fd >= 0);
    // The instrument came back with the setting it had: only the cable went.
    QVERIFY(WriteAll(fd, "*IDN?\nSOUR:VOLT?\n"));
    QCOMPARE(ReadLine(fd), QByteArray("QPX-30R03D\n"));
    QCOMPARE(ReadLine(fd), QByteArray("7.000\n"));
    close(fd);

    QVERIFY(StopSimulator(simulator));
    QVERIFY(!QFileInfo(link).isSymLink());
}

void TestSimPty::PacesOutput_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("commands");
    QTest::addColumn<QByteArray>("replies");
    QTest::addColumn<int>("leastMs"); // what the line takes, less a little for rounding

    QTest::newRow("30 bytes at 300 baud") << QStringList{"--baud", "300"} << QByteArray("*IDN?\n*IDN?\n*IDN?\n")
                                          << QByteArray("QPX-30R03D\nQPX-30R03D\nQPX-30R03").left(30) << 900;
    QTest::newRow("reply delay before pacing") << QStringList{"--baud", "19200", "--reply-delay", "400"}
                                               << QByteArray("*IDN?\n") << QByteArray("QPX-30R03D\n") << 395;
}

void TestSimPty::PacesOutput()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, commands);
    QFETCH(QByteArray, replies);
    QFETCH(int, leastMs);

    QProcess simulator;
    const QString slave = StartSimulator(simulator, args);
    QVERIFY2(slave.startsWith("/dev/"), qPrintable(slave));
    const int fd = OpenRaw(slave);
    QVERIFY(fd >= 0);
    QElapsedTimer timer;
    timer.start();
    QVERIFY(WriteAll(fd, commands));
    const QByteArray received = ReadBytes(fd, replies.size());
    const qint64 tookMs = timer.elapsed();
    close(fd);
    QCOMPARE(received.left(replies.size()), replies);
    // Only a lower bound: a busy machine may always be slower.
    QVERIFY2(tookMs >= leastMs, qPrintable(QString::number(tookMs)));
    QVERIFY(StopSimulator(simulator));
}

void TestSimPty::Floods_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("flood");

    QTest::newRow("lines as fast as taken") << QStringList{"--flood-lines", "0", "--flood-count", "3000"}
                                            << FloodReadings(3000, "\n");
    QTest::newRow("lines at a rate, CR LF") << QStringList{"--flood-lines", "200", "--flood-count", "20", "--crlf"}
                                            << FloodReadings(20, "\r\n");
    QTest::newRow("lines at 19200 baud") << QStringList{"--flood-lines", "0", "--baud", "19200", "--flood-count", "100"}
                                         << FloodReadings(100, "\n");
    QTest::newRow("no line feed") << QStringList{"--flood-no-lf", "--flood-count", "5000"}
                                  << FloodReadings(834, "").left(5000);
}

void TestSimPty::Floods()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, flood);

    QProcess simulator;
    const QString slave = StartSimulator(simulator, args);
    QVERIFY2(slave.startsWith("/dev/"), qPrintable(slave));
    const int fd = OpenRaw(slave);
    QVERIFY(fd >= 0);
    // Any line starts the flood, even an empty one.
    QVERIFY(WriteAll(fd, "\n"));
    const QByteArray received = ReadBytes(fd, flood.size());
    QCOMPARE(received.size(), flood.size());
    QVERIFY(received == flood);
    // The count ended the flood exactly, and the instrument still answers.
    const QByteArray terminator = args.contains("--crlf") ? "\r\n" : "\n";
    QVERIFY(WriteAll(fd, "*IDN?\n"));
    QCOMPARE(ReadLine(fd), "QPX-30R03D" + terminator);
    close(fd);
    QVERIFY(StopSimulator(simulator));
}

QTEST_GUILESS_MAIN(TestSimPty)
#include "test_sim_pty.moc"
