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

QString StartSimulator(QProcess& process, const QStringList& args)
{
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral(TARVIO_SIM_PATH), args);
    QDeadlineTimer deadline(WaitMs);
    while (!process.canReadLine() && !deadline.hasExpired() && process.state() != QProcess::NotRunning)
        process.waitForReadyRead(int(deadline.remainingTime()));
    return QString::fromLocal8Bit(process.readLine()).trimmed();
}
}

// The built simulator on a real pseudo-terminal, seen from the console's side.
class TestSimPty : public QObject {
    Q_OBJECT
private slots:
    void AnswersAndRecords_data();
    void AnswersAndRecords();
    void VanishesAfterDelay();
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

QTEST_GUILESS_MAIN(TestSimPty)
#include "test_sim_pty.moc"
