// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/MeasurementLog.h"
#include "console/PollCheck.h"
#include "core/LogRecordFormat.h"
#include "support/Rows.h"

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
    // The log's name, stamps and records, each text as it must come out, the
    // stamps whatever the user's locale says about AM and PM; the polling
    // batches are held by the console controller's mode set-up.
    void Texts()
    {
        const QString ts = QStringLiteral("050309 PM 02:05:07");
        const QLocale previous;
        QLocale::setDefault(QLocale(QLocale::Korean, QLocale::SouthKorea));
        const QString korean = LogTimestamp(QDateTime(Day, QTime(0, 0, 5)));
        QLocale::setDefault(previous);
        const struct { const char* name; QString got, expected; } cases[] = {
            {"file name, one-digit month and day", LogFileName(Day), "050309_MS.txt"},
            {"file name, turn of the century", LogFileName(QDate(2100, 1, 1)), "000101_MS.txt"},
            {"stamp after noon", LogTimestamp(QDateTime(Day, QTime(14, 5, 7))), ts},
            {"stamp just after midnight, Korean locale", korean, "050309 AM 12:00:05"},
            {"stamp at noon", LogTimestamp(QDateTime(Day, QTime(12, 0, 0))), "050309 PM 12:00:00"},
            {"single before any reply", BuildSingleRecord("00.000", "00.000", ts), "00.000   00.000   050309 PM 02:05:07\r\n"},
            {"single keeps a trailing CR and an empty readout", BuildSingleRecord("12.345\r", QString(), ts), "12.345\r      050309 PM 02:05:07\r\n"},
            {"dual record on one line", BuildDualRecord("1", "2", "3", "4", ts), "P1: 1   2   P2: 3   4   050309 PM 02:05:07\r\n"},
            {"dual echo on two lines", BuildDualEcho("1", "2", "3", "4", ts), "P1: 1   2   050309 PM 02:05:07\r\nP2: 3   4   050309 PM 02:05:07\r\n"},
        };
        for (const auto& k : cases)
            QVERIFY2(k.got == k.expected, qPrintable(QStringLiteral("%1: %2").arg(k.name, k.got)));
    }

    // What the console writes, the trend plot reads back: the same stamp and
    // the same readout texts, a supply's trailing CR included.
    void RecordsReadBack()
    {
        static const struct { const char* name; bool dual; const char* readouts[4]; QTime time; } cases[] = {
            {"single before any reply", false, {"00.000", "00.000"}, QTime(14, 5, 7)},
            {"single with CRs, just after midnight", false, {"12.345\r", "1.200\r"}, QTime(0, 0, 5)},
            {"dual at noon", true, {"12.000", "1.199", "3.000", "0.299"}, QTime(12, 0, 0)},
            {"dual with an error reply", true, {"ERROR - 101\r", "1.000", "00.000", "-0.001"}, QTime(23, 59, 59)},
        };
        for (const auto& k : cases) {
            const QDateTime at(Day, k.time);
            const auto text = [&k](int i) { return QString::fromLatin1(k.readouts[i]); };
            const QString record = k.dual ? BuildDualRecord(text(0), text(1), text(2), text(3), LogTimestamp(at))
                                          : BuildSingleRecord(text(0), text(1), LogTimestamp(at));
            QVERIFY2(record.endsWith(QLatin1String("\r\n")), k.name);
            const QByteArray line = record.toLatin1().chopped(1);   // as the reader gets it: without the LF
            const std::optional<LogRecordFields> read = SplitLogRecord(line);
            QVERIFY2(read && read->Dual == k.dual && QDateTime(read->Date, read->Time) == at, k.name);
            for (int i = 0; i < (k.dual ? 4 : 2); ++i)
                QVERIFY2(read->Readouts[i] == QByteArrayView(k.readouts[i]), k.name);
        }
    }

    // Ten dual poll ticks 400 ms apart. Each tick: replies since the last
    // one, how long the line was then quiet, where the cycle stands, and
    // whether our batch had left. Realigning needs a settled line.
    void PollCheckJudgesOnlyASettledLine()
    {
        struct Tick { int replies, quietMs, index; bool sent; };
        static const struct { const char* name; Tick tick; int firstRealign; } cases[] = {
            {"in step", {4, 350, 0, true}, 0},
            {"a reply lost, keeping pace", {4, 350, 3, true}, 2},
            {"replies trailing the tick", {4, 20, 2, true}, 0},
            {"replies spread over the interval", {4, 100, 3, true}, 0},
            {"a slow line still sending", {4, 350, 3, false}, 0},
            {"fewer replies than asked", {3, 350, 1, true}, 0},
        };
        for (const auto& k : cases) {
            PollCheck check;
            check.Start(0);
            int realigned = 0, told = 0;
            for (int t = 1; t <= 10; ++t) {
                const qint64 now = 400 * t;
                for (int r = 0; r < k.tick.replies; ++r)
                    check.ReplyArrived(now - k.tick.quietMs);
                PollCheck::Facts facts;
                facts.Transmitted = k.tick.sent;
                facts.CycleLength = 4;
                facts.PollIndex = k.tick.index;
                facts.IntervalMs = 400;
                const PollCheck::Verdict v = check.Tick(now, facts);
                if (v.Realign && !realigned)
                    realigned = t;
                told += v.TellRealign;
                QVERIFY2(!v.SilenceBegan, k.name);
            }
            ROW_COMPARE(k.name, realigned, k.firstRealign);
            ROW_COMPARE(k.name, told, k.firstRealign ? 1 : 0);   // once an episode
        }
    }

    void PollCheckTellsASilenceOnceEachWay()
    {
        PollCheck check;
        check.Start(0);
        PollCheck::Facts facts;
        facts.IntervalMs = 200;
        check.ReplyArrived(100);
        QVERIFY(!check.Tick(200, facts).SilenceBegan);
        QVERIFY(!check.Tick(600, facts).SilenceBegan);   // 500 ms: not yet three intervals
        const PollCheck::Verdict began = check.Tick(800, facts);
        QVERIFY(began.SilenceBegan && began.LastReplyAt == 100);
        QVERIFY(!check.Tick(1000, facts).SilenceBegan);
        check.ReplyArrived(4100);
        check.ReplyArrived(4150);
        const PollCheck::Verdict ended = check.Tick(4200, facts);
        QVERIFY(ended.SilenceEnded && ended.GapMs == 4000);
        QVERIFY(!check.Tick(4400, facts).SilenceEnded);
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

        // Windows names its program folders in the environment, in any case
        // and with either separator; a folder that only begins alike is not one.
        qputenv("ProgramFiles", "Q:\\Program Files");
        const QStringList system = SystemProgramFolders();
        qunsetenv("ProgramFiles");
        QVERIFY(system.contains(QStringLiteral("Q:\\Program Files")) && system.contains(QStringLiteral("/usr")));
        const QString windowsUser = root.filePath(QStringLiteral("AppData/Local/Tarvio"));
        for (const char* installed : {"Q:\\Program Files\\Tarvio", "q:/PROGRAM FILES/Tarvio", "Q:/Program Files"})
            QCOMPARE(ChooseLogFolder(QString::fromLatin1(installed), windowsUser, system), windowsUser);
        const QString lookalike = root.filePath(QStringLiteral("Program Files Tools"));
        QVERIFY(QDir().mkpath(lookalike));
        QCOMPARE(ChooseLogFolder(lookalike, windowsUser, {root.filePath(QStringLiteral("Program Files"))}), lookalike);
    }

    void AppendKeepsEarlierRecordsAndEveryByte()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        MeasurementLogFile log(folder.path());
        const QString path = folder.filePath(QStringLiteral("050309_MS.txt"));
        QCOMPARE(log.FilePath(Day), path);
        QVERIFY(WriteAll(path, "earlier\r\n"));

        QVERIFY(log.Append(Day, QStringLiteral("first\r\n")).Ok());
        QByteArray bytes;
        for (int b = 0x01; b <= 0xFF; ++b)
            bytes.append(char(b));
        QVERIFY(log.Append(Day, QString::fromLatin1(bytes)).Ok());
        QVERIFY(log.Append(Day.addDays(1), QStringLiteral("next day\r\n")).Ok());

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
        const Outcome first = log.Append(Day, QStringLiteral("a\r\n"));
        const QString message = first.Message();
        QVERIFY(first.Tell());
        QVERIFY2(message.startsWith(QStringLiteral("측정 기록을 저장할 수 없습니다: ") + path + QStringLiteral(" (")),
                 qPrintable(message));
        QVERIFY(!message.contains(QLatin1Char('\n')));

        const Outcome again = log.Append(Day, QStringLiteral("b\r\n"));
        QVERIFY(!again.Ok() && !again.Tell());

        QVERIFY(QDir().rmdir(blocker));
        QVERIFY(log.Append(Day, QStringLiteral("d\r\n")).Ok());
        QCOMPARE(ReadAll(log.FilePath(Day)), QByteArray("d\r\n"));

        // A new run of failures is reported again.
        QVERIFY(QFile::remove(blocker) && QDir().mkdir(blocker));
        QVERIFY(log.Append(Day, QStringLiteral("e\r\n")).Tell());
    }
};

QTEST_GUILESS_MAIN(TestMonitorLogic)
#include "test_monitor_logic.moc"
