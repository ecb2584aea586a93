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
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
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
    void Batches_data()
    {
        QTest::addColumn<QString>("batch");
        QTest::addColumn<QString>("expected");
        QTest::newRow("monitor single new") << BuildMonitorBatch(true, true) << "MEAS:VOLTA? P1\nMEAS:CURRA? P1\n";
        QTest::newRow("monitor single old") << BuildMonitorBatch(true, false) << "MEAS:VOLT? P1\nMEAS:CURR? P1\n";
        QTest::newRow("monitor dual new")
            << BuildMonitorBatch(false, true) << "MEAS:VOLTA? P1\nMEAS:CURRA? P1\nMEAS:VOLTA? P2\nMEAS:CURRA? P2\n";
        QTest::newRow("set-monitor single") << BuildSetMonitorBatch(true) << "SOUR:VOLT? P1\nSOUR:CURR? P1\n";
        QTest::newRow("set-monitor dual")
            << BuildSetMonitorBatch(false) << "SOUR:VOLT? P1\nSOUR:CURR? P1\nSOUR:VOLT? P2\nSOUR:CURR? P2\n";
        QTest::newRow("poll interval single") << QString::number(PollIntervalMs(true)) << "200";
        QTest::newRow("poll interval dual") << QString::number(PollIntervalMs(false)) << "400";
    }
    void Batches()
    {
        QFETCH(QString, batch);
        QTEST(batch, "expected");
    }

    void Timestamp_data()
    {
        QTest::addColumn<QDateTime>("time");
        QTest::addColumn<QString>("expected");
        QTest::newRow("afternoon") << QDateTime(Day, QTime(14, 5, 7)) << "050309 PM 02:05:07";
        QTest::newRow("just after midnight is 12 AM") << QDateTime(Day, QTime(0, 0, 5)) << "050309 AM 12:00:05";
        QTest::newRow("noon is 12 PM") << QDateTime(Day, QTime(12, 0, 0)) << "050309 PM 12:00:00";
    }
    void Timestamp()
    {
        QFETCH(QDateTime, time);
        QTEST(LogTimestamp(time), "expected");
        // Whatever the user's locale says about AM and PM.
        const QLocale previous;
        QLocale::setDefault(QLocale(QLocale::Korean, QLocale::SouthKorea));
        const QString korean = LogTimestamp(time);
        QLocale::setDefault(previous);
        QTEST(korean, "expected");
    }

    void FileName_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one-digit month and day") << Day << "050309_MS.txt";
        QTest::newRow("turn of the century") << QDate(2100, 1, 1) << "000101_MS.txt";
    }
    void FileName()
    {
        QFETCH(QDate, day);
        QTEST(LogFileName(day), "expected");
    }

    void Records_data()
    {
        QTest::addColumn<QString>("record");
        QTest::addColumn<QString>("expected");
        const QString ts = QStringLiteral("050309 PM 02:05:07");
        QTest::newRow("single before any reply")
            << BuildSingleRecord("00.000", "00.000", ts) << "00.000   00.000   050309 PM 02:05:07\r\n";
        QTest::newRow("single keeps a trailing CR and an empty readout")
            << BuildSingleRecord("12.345\r", QString(), ts) << "12.345\r      050309 PM 02:05:07\r\n";
        QTest::newRow("dual record on one line")
            << BuildDualRecord("1", "2", "3", "4", ts) << "P1: 1   2   P2: 3   4   050309 PM 02:05:07\r\n";
        QTest::newRow("dual echo on two lines")
            << BuildDualEcho("1", "2", "3", "4", ts)
            << "P1: 1   2   050309 PM 02:05:07\r\nP2: 3   4   050309 PM 02:05:07\r\n";
    }
    void Records()
    {
        QFETCH(QString, record);
        QTEST(record, "expected");
    }

    void ChoosesWritableFolder()
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
        QCOMPARE(ChooseLogFolder(root.filePath(QStringLiteral("plain/bin")), userData), userData);
        QVERIFY(QDir(userData).exists());

        // Installed under a system prefix: the user's folder, even where root could write.
        const QString otherUser = root.filePath(QStringLiteral("home/other/Tarvio"));
        for (const char* installed : {"/usr/bin", "/usr/local/bin/", "/opt/tarvio/bin"})
            QCOMPARE(ChooseLogFolder(QString::fromLatin1(installed), otherUser), otherUser);
        QVERIFY(QDir(otherUser).exists());
    }

    void AppendKeepsEarlierRecordsAndEveryByte()
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
        QByteArray bytes;
        for (int b = 0x01; b <= 0xFF; ++b)
            bytes.append(char(b));
        QVERIFY(log.Append(Day, QString::fromLatin1(bytes), nullptr));
        QVERIFY(log.Append(Day.addDays(1), QStringLiteral("next day\r\n"), nullptr));

        QCOMPARE(ReadAll(path), "earlier\r\nfirst\r\n" + bytes);
        QCOMPARE(ReadAll(folder.filePath(QStringLiteral("050310_MS.txt"))), QByteArray("next day\r\n"));
    }

    void ReportsFailureOncePerRun()
    {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        // A folder stands where the day's file should go.
        const QString blocker = root.filePath(QStringLiteral("050309_MS.txt"));
        MeasurementLogFile log(root.path());
        const QString path = QDir::toNativeSeparators(log.FilePath(Day));

        QVERIFY(QDir().mkdir(blocker));
        QString message;
        QVERIFY(!log.Append(Day, QStringLiteral("a\r\n"), &message));
        QVERIFY2(message.startsWith(QStringLiteral("측정 기록을 저장할 수 없습니다: ") + path + QStringLiteral(" (")),
                 qPrintable(message));
        QVERIFY(!message.contains(QLatin1Char('\n')));

        message = QStringLiteral("stale");
        QVERIFY(!log.Append(Day, QStringLiteral("b\r\n"), &message));
        QVERIFY(message.isEmpty());

        QVERIFY(QDir().rmdir(blocker));
        QVERIFY(log.Append(Day, QStringLiteral("d\r\n"), &message));
        QVERIFY(message.isEmpty());
        QCOMPARE(ReadAll(log.FilePath(Day)), QByteArray("d\r\n"));

        // A new run of failures is reported again.
        QVERIFY(QFile::remove(blocker) && QDir().mkdir(blocker));
        QVERIFY(!log.Append(Day, QStringLiteral("e\r\n"), &message));
        QVERIFY(!message.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestMonitorLogic)
#include "test_monitor_logic.moc"
