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
    // Each record as the log must hold it, the stamp in the Korean locale's
    // words for AM and PM, and the same stamp and readout texts read back
    // by the trend plot, a supply's trailing CR included.
    void RecordsReadBack()
    {
        static const struct { const char* name; bool dual; const char* readouts[4]; QTime time; const char* record; } cases[] = {
            {"single with CRs, just after midnight", false, {"12.345\r", "1.200\r"}, QTime(0, 0, 5), "12.345\r   1.200\r   050309 AM 12:00:05\r\n"},
            {"dual at noon", true, {"12.000", "1.199", "3.000", "0.299"}, QTime(12, 0, 0), "P1: 12.000   1.199   P2: 3.000   0.299   050309 PM 12:00:00\r\n"},
            {"dual with an error reply", true, {"ERROR - 101\r", "1.000", "00.000", "-0.001"}, QTime(23, 59, 59),
             "P1: ERROR - 101\r   1.000   P2: 00.000   -0.001   050309 PM 11:59:59\r\n"},
        };
        const QLocale previous;
        QLocale::setDefault(QLocale(QLocale::Korean, QLocale::SouthKorea));
        for (const auto& k : cases) {
            const QDateTime at(Day, k.time);
            const auto text = [&k](int i) { return QString::fromLatin1(k.readouts[i]); };
            const QString record = k.dual ? BuildDualRecord(text(0), text(1), text(2), text(3), LogTimestamp(at))
                                          : BuildSingleRecord(text(0), text(1), LogTimestamp(at));
            ROW_COMPARE(k.name, record, QString::fromLatin1(k.record));
            const QByteArray line = record.toLatin1().chopped(1);   // as the reader gets it: without the LF; the fields view it
            const std::optional<LogRecordFields> read = SplitLogRecord(line);
            QVERIFY2(read && read->Dual == k.dual && QDateTime(read->Date, read->Time) == at, k.name);
            for (int i = 0; i < (k.dual ? 4 : 2); ++i)
                QVERIFY2(read->Readouts[i] == QByteArrayView(k.readouts[i]), k.name);
        }
        QLocale::setDefault(previous);
    }

    // Ten dual poll ticks 400 ms apart. Each tick: replies since the last
    // one, how long the line was then quiet, where the cycle stands, and
    // whether our batch had left. Realigning needs a settled line.
    void PollCheckJudgesOnlyASettledLine()
    {
        struct Tick { int replies, quietMs, index; bool sent; };
        static const struct { const char* name; Tick tick; int firstRealign; } cases[] = {
            {"in step", {4, 350, 0, true}, 0}, {"a reply lost, keeping pace", {4, 350, 3, true}, 2},
            {"replies trailing the tick", {4, 20, 2, true}, 0}, {"a slow line still sending", {4, 350, 3, false}, 0},
            {"fewer replies than asked", {3, 350, 1, true}, 0}};
        for (const auto& k : cases) {
            PollCheck check;
            check.Start(0);
            int realigned = 0, told = 0;
            for (int t = 1; t <= 10; ++t) {
                const qint64 now = 400 * t;
                for (int r = 0; r < k.tick.replies; ++r)
                    check.ReplyArrived(now - k.tick.quietMs);
                // Sent or not, no half line, four replies a cycle, at this index, every 400 ms.
                const PollCheck::Verdict v = check.Tick(now, PollCheck::Facts{k.tick.sent, false, 4, k.tick.index, 400});
                if (v.Realign && !realigned)
                    realigned = t;
                told += v.TellRealign;
                QVERIFY2(!v.SilenceBegan, k.name);
            }
            ROW_COMPARE(k.name, realigned, k.firstRealign);
            ROW_COMPARE(k.name, told, k.firstRealign ? 1 : 0);   // once an episode
        }
    }

    // Appending keeps what the file held and every byte; a failure is told
    // once per run of failures, naming the file.
    void AppendKeepsEveryByteAndTellsFailuresOnce()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        MeasurementLogFile log(folder.path());
        const QString path = folder.filePath(QStringLiteral("050309_MS.txt"));
        QVERIFY(WriteAll(path, "earlier\r\n"));
        QByteArray bytes;
        for (int b = 0x01; b <= 0xFF; ++b)
            bytes.append(char(b));
        QVERIFY(log.Append(Day, QString::fromLatin1(bytes)).Ok());
        QVERIFY(log.Append(Day.addDays(1), QStringLiteral("next day\r\n")).Ok());
        QCOMPARE(ReadAll(path), "earlier\r\n" + bytes);
        QCOMPARE(ReadAll(folder.filePath(QStringLiteral("050310_MS.txt"))), QByteArray("next day\r\n"));

        // A folder stands where the day's file should go.
        QVERIFY(QFile::remove(path) && QDir().mkdir(path));
        const Outcome first = log.Append(Day, QStringLiteral("a\r\n"));
        QVERIFY2(first.Tell() && first.Message().startsWith(QStringLiteral("측정 기록을 저장할 수 없습니다: ") + QDir::toNativeSeparators(path) + QStringLiteral(" (")),
                 qPrintable(first.Message()));
        const Outcome again = log.Append(Day, QStringLiteral("b\r\n"));
        QVERIFY(!again.Ok() && !again.Tell());
        QVERIFY(QDir().rmdir(path) && log.Append(Day, QStringLiteral("d\r\n")).Ok());
        QVERIFY(QFile::remove(path) && QDir().mkdir(path) && log.Append(Day, QStringLiteral("e\r\n")).Tell());   // a new run of failures
    }
};

QTEST_GUILESS_MAIN(TestMonitorLogic)
#include "test_monitor_logic.moc"
