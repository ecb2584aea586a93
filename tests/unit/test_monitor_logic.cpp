#include "console/MeasurementLog.h"
#include "console/QueryBatch.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

const QDate Day(2005, 3, 9);

} // namespace

// Checks the polling batches and everything that goes into the measurement log.
class TestMonitorLogic : public QObject {
    Q_OBJECT

private slots:
    void Batches_data();
    void Batches();
    void Timestamp_data();
    void Timestamp();
    void TimestampIgnoresLocale();
    void FileName_data();
    void FileName();
    void Records_data();
    void Records();
    void ChoosesWritableFolder();
    void AppendKeepsEarlierRecords();
    void AppendRoundTripsEveryByte();
    void ReportsFailureOncePerRun_data();
    void ReportsFailureOncePerRun();
};

void TestMonitorLogic::Batches_data()
{
    QTest::addColumn<QString>("batch");
    QTest::addColumn<QString>("expected");

    QTest::newRow("monitor single new")
        << BuildMonitorBatch(true, true) << QStringLiteral("MEAS:VOLTA? P1\nMEAS:CURRA? P1\n");
    QTest::newRow("monitor single old")
        << BuildMonitorBatch(true, false) << QStringLiteral("MEAS:VOLT? P1\nMEAS:CURR? P1\n");
    QTest::newRow("monitor dual new")
        << BuildMonitorBatch(false, true)
        << QStringLiteral("MEAS:VOLTA? P1\nMEAS:CURRA? P1\nMEAS:VOLTA? P2\nMEAS:CURRA? P2\n");
    QTest::newRow("monitor dual old")
        << BuildMonitorBatch(false, false)
        << QStringLiteral("MEAS:VOLT? P1\nMEAS:CURR? P1\nMEAS:VOLT? P2\nMEAS:CURR? P2\n");
    QTest::newRow("set-monitor single")
        << BuildSetMonitorBatch(true) << QStringLiteral("SOUR:VOLT? P1\nSOUR:CURR? P1\n");
    QTest::newRow("set-monitor dual")
        << BuildSetMonitorBatch(false)
        << QStringLiteral("SOUR:VOLT? P1\nSOUR:CURR? P1\nSOUR:VOLT? P2\nSOUR:CURR? P2\n");
    QTest::newRow("poll interval single")
        << QString::number(PollIntervalMs(true)) << QStringLiteral("200");
    QTest::newRow("poll interval dual")
        << QString::number(PollIntervalMs(false)) << QStringLiteral("400");
}

void TestMonitorLogic::Batches()
{
    QFETCH(QString, batch);
    QTEST(batch, "expected");
}

void TestMonitorLogic::Timestamp_data()
{
    QTest::addColumn<QDateTime>("time");
    QTest::addColumn<QString>("expected");

    QTest::newRow("afternoon") << QDateTime(Day, QTime(14, 5, 7)) << QStringLiteral("050309 PM 02:05:07");
    QTest::newRow("just after midnight is 12 AM")
        << QDateTime(QDate(2005, 3, 10), QTime(0, 0, 5)) << QStringLiteral("050310 AM 12:00:05");
    QTest::newRow("last second of the morning")
        << QDateTime(Day, QTime(11, 59, 59)) << QStringLiteral("050309 AM 11:59:59");
    QTest::newRow("noon is 12 PM") << QDateTime(Day, QTime(12, 0, 0)) << QStringLiteral("050309 PM 12:00:00");
    QTest::newRow("last second of the day")
        << QDateTime(QDate(2010, 12, 31), QTime(23, 59, 59)) << QStringLiteral("101231 PM 11:59:59");
    QTest::newRow("year 2000") << QDateTime(QDate(2000, 1, 2), QTime(9, 8, 7))
                               << QStringLiteral("000102 AM 09:08:07");
}

void TestMonitorLogic::Timestamp()
{
    QFETCH(QDateTime, time);
    const QString stamp = LogTimestamp(time);
    QTEST(stamp, "expected");
    QCOMPARE(stamp.size(), 18);
}

void TestMonitorLogic::TimestampIgnoresLocale()
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::Korean, QLocale::SouthKorea));
    const QString korean = LogTimestamp(QDateTime(Day, QTime(14, 5, 7)));
    QLocale::setDefault(QLocale(QLocale::Arabic, QLocale::Egypt));
    const QString arabic = LogTimestamp(QDateTime(Day, QTime(9, 5, 7)));
    QLocale::setDefault(previous);
    QCOMPARE(korean, QStringLiteral("050309 PM 02:05:07"));
    QCOMPARE(arabic, QStringLiteral("050309 AM 09:05:07"));
}

void TestMonitorLogic::FileName_data()
{
    QTest::addColumn<QDate>("day");
    QTest::addColumn<QString>("expected");
    QTest::newRow("one-digit month and day") << Day << QStringLiteral("050309_MS.txt");
    QTest::newRow("end of year") << QDate(2010, 12, 31) << QStringLiteral("101231_MS.txt");
    QTest::newRow("turn of the century") << QDate(2100, 1, 1) << QStringLiteral("000101_MS.txt");
}

void TestMonitorLogic::FileName()
{
    QFETCH(QDate, day);
    QTEST(LogFileName(day), "expected");
}

void TestMonitorLogic::Records_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("expected");

    const QString ts = QStringLiteral("050309 PM 02:05:07");
    const QString zero = QStringLiteral("00.000");
    QTest::newRow("single before any reply")
        << BuildSingleRecord(zero, zero, ts)
        << QStringLiteral("00.000   00.000   050309 PM 02:05:07\r\n");
    QTest::newRow("single keeps a trailing CR and an empty readout")
        << BuildSingleRecord(QStringLiteral("12.345\r"), QString(), ts)
        << QStringLiteral("12.345\r      050309 PM 02:05:07\r\n");
    QTest::newRow("dual record on one line")
        << BuildDualRecord(QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                           QStringLiteral("4"), ts)
        << QStringLiteral("P1: 1   2   P2: 3   4   050309 PM 02:05:07\r\n");
    QTest::newRow("dual echo on two lines")
        << BuildDualEcho(QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                         QStringLiteral("4"), ts)
        << QStringLiteral("P1: 1   2   050309 PM 02:05:07\r\nP2: 3   4   050309 PM 02:05:07\r\n");
    QTest::newRow("dual echo line of output 2")
        << BuildDualEchoLine(2, QStringLiteral("3"), QStringLiteral("4"), ts)
        << QStringLiteral("P2: 3   4   050309 PM 02:05:07\r\n");
}

void TestMonitorLogic::Records()
{
    QFETCH(QString, record);
    QTEST(record, "expected");
}

void TestMonitorLogic::ChoosesWritableFolder()
{
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString program = root.filePath(QStringLiteral("bin"));
    const QString userData = root.filePath(QStringLiteral("home/data/Tarvio"));
    QVERIFY(QDir().mkpath(program));

    QCOMPARE(ChooseLogFolder(program, userData), program);
    QVERIFY2(QDir(program).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             "the probe file was left behind");
    QVERIFY(!QDir(userData).exists());

    // A folder path under a regular file cannot take a file, even for root.
    QVERIFY(WriteAll(root.filePath(QStringLiteral("plain")), "x"));
    const QString blocked = root.filePath(QStringLiteral("plain/bin"));
    QCOMPARE(ChooseLogFolder(blocked, userData), userData);
    QVERIFY(QDir(userData).exists());

    QCOMPARE(ChooseLogFolder(root.filePath(QStringLiteral("missing")), userData), userData);

    // Installed under a system prefix: the user's folder, even where root could write.
    const QString otherUser = root.filePath(QStringLiteral("home/other/Tarvio"));
    for (const char* installed : {"/usr/bin", "/usr/local/bin/", "/opt/tarvio/bin"})
        QCOMPARE(ChooseLogFolder(QString::fromLatin1(installed), otherUser), otherUser);
    QVERIFY(QDir(otherUser).exists());
}

void TestMonitorLogic::AppendKeepsEarlierRecords()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    MeasurementLogFile log(folder.path());
    const QString path = folder.filePath(QStringLiteral("050309_MS.txt"));
    QCOMPARE(log.FilePath(Day), path);
    QVERIFY(WriteAll(path, "earlier\r\n"));

    QString message = QStringLiteral("stale");
    QVERIFY(log.Append(Day, QStringLiteral("first\r\n"), &message));
    QVERIFY(message.isEmpty());
    QVERIFY(log.Append(Day, QStringLiteral("second\r\n"), nullptr));
    QVERIFY(log.Append(Day.addDays(1), QStringLiteral("next day\r\n"), nullptr));

    QCOMPARE(ReadAll(path), QByteArray("earlier\r\nfirst\r\nsecond\r\n"));
    QCOMPARE(ReadAll(folder.filePath(QStringLiteral("050310_MS.txt"))), QByteArray("next day\r\n"));
}

void TestMonitorLogic::AppendRoundTripsEveryByte()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QByteArray bytes;
    for (int b = 0x01; b <= 0xFF; ++b)
        bytes.append(char(b));
    MeasurementLogFile log(folder.path());
    QVERIFY(log.Append(Day, QString::fromLatin1(bytes), nullptr));
    QCOMPARE(ReadAll(log.FilePath(Day)), bytes);
}

void TestMonitorLogic::ReportsFailureOncePerRun_data()
{
    QTest::addColumn<bool>("folderUnderFile");
    QTest::newRow("folder where the file should be") << false;
    QTest::newRow("log folder under a regular file") << true;
}

void TestMonitorLogic::ReportsFailureOncePerRun()
{
    QFETCH(bool, folderUnderFile);
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString folder = folderUnderFile ? root.filePath(QStringLiteral("plain/logs")) : root.path();
    const QString blocker = folderUnderFile ? root.filePath(QStringLiteral("plain"))
                                            : root.filePath(QStringLiteral("050309_MS.txt"));
    auto block = [&] {
        return folderUnderFile ? WriteAll(blocker, "x") : QDir().mkdir(blocker);
    };
    auto unblock = [&] {
        return folderUnderFile ? QFile::remove(blocker) && QDir().mkpath(folder)
                               : QDir().rmdir(blocker);
    };
    MeasurementLogFile log(folder);
    const QString path = QDir::toNativeSeparators(log.FilePath(Day));

    QVERIFY(block());
    QString message;
    QVERIFY(!log.Append(Day, QStringLiteral("a\r\n"), &message));
    QVERIFY2(message.startsWith(QStringLiteral("측정 기록을 저장할 수 없습니다: ") + path + QStringLiteral(" (")),
             qPrintable(message));
    QVERIFY(!message.contains(QLatin1Char('\n')));

    message = QStringLiteral("stale");
    QVERIFY(!log.Append(Day, QStringLiteral("b\r\n"), &message));
    QVERIFY(message.isEmpty());
    QVERIFY(!log.Append(Day, QStringLiteral("c\r\n"), nullptr));

    QVERIFY(unblock());
    QVERIFY(log.Append(Day, QStringLiteral("d\r\n"), &message));
    QVERIFY(message.isEmpty());
    QCOMPARE(ReadAll(log.FilePath(Day)), QByteArray("d\r\n"));

    // A new run of failures is reported again.
    if (folderUnderFile)
        QVERIFY(QDir(blocker).removeRecursively() && block());
    else
        QVERIFY(QFile::remove(blocker) && block());
    QVERIFY(!log.Append(Day, QStringLiteral("e\r\n"), &message));
    QVERIFY(!message.isEmpty());
}

QTEST_GUILESS_MAIN(TestMonitorLogic)
#include "test_monitor_logic.moc"
