// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/CsvExport.h"
#include "plot/LogReader.h"

#include <QBuffer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <ctime>

#include "support/SystemNames.h"

namespace {

const QDateTime Start(QDate(2005, 3, 9), QTime(14, 5, 7));

QByteArray Csv(const SampleStore& store, qint64 t0, qint64 t1, int rowsPerSlice)
{
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    CsvWriter writer(store, t0, t1);
    while (!writer.WriteSome(out, rowsPerSlice)) {
    }
    return out.data();
}

QByteArray DualRecord(int second)
{
    const QTime t = QTime(13, 0, 0).addSecs(second);
    return QStringLiteral("P1: %1\r   0.500\r   P2: 5.000\r   1.000\r   050309 PM %2\r\n")
        .arg(second % 100)
        .arg(t.addSecs(-12 * 3600).toString(QStringLiteral("hh:mm:ss")))
        .toLatin1();
}

} // namespace

// Checks the CSV export and the reading of measurement log files, in a
// time zone with summer time.
class TestPlotFiles : public QObject {
    Q_OBJECT

private slots:
    // A single-layout stretch, a break, then both outputs: one row per
    // moment, empty cells where a series has nothing at that moment.
    void CsvBytes()
    {
        SampleStore store;
        const qint64 a = Start.toMSecsSinceEpoch();
        store.Append(0, a, 12.0f);
        store.Append(1, a + 250, 0.5f);
        store.BreakAll();
        store.Append(0, a + 400, 12.345f);
        store.Append(1, a + 400, -0.25f);
        store.Append(2, a + 900, 5.0f);
        store.Append(3, a + 900, 1e-5f);
        store.Append(0, a + 900, 12.5f);
        const QByteArray header("시각,P1 V,P1 A,P2 V,P2 A\r\n");
        const QByteArray rows[] = {"2005-03-09T14:05:07.000+01:00,12,,,\r\n",
                                   "2005-03-09T14:05:07.250+01:00,,0.5,,\r\n",
                                   "2005-03-09T14:05:07.400+01:00,12.345,-0.25,,\r\n",
                                   "2005-03-09T14:05:07.900+01:00,12.5,,5,1e-05\r\n"};
        QCOMPARE(Csv(store, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max(), 2),
                 header + rows[0] + rows[1] + rows[2] + rows[3]);
        // The view's CSV ends before the view's end.
        QCOMPARE(Csv(store, a + 250, a + 900, 100), header + rows[1] + rows[2]);
        QCOMPARE(Csv(SampleStore(), 0, 1, 100), header);

        QBuffer closed;   // never opened: every write fails
        CsvWriter failing(store, a, a + 10);
        QVERIFY(failing.WriteSome(closed, 10));
        QVERIFY(failing.Failed());
    }

    // A record's stamp on 9 March 2005 and its values (P1 V, P1 A, P2 V, P2 A;
    // "-" for none), or "" for a line that is no record.
    void Records()
    {
        static const char binary[] = "\x00\xff\x01   \x02   050309 PM 01:00:0\x00";
        const std::pair<QByteArray, const char*> cases[] = {
            {"12.000\r   0.500\r   050309 PM 02:05:07\r", "14:05:07 12 0.5 - -"},
            {"P1: 12.000\r   0.500\r   P2: -5.000\r   1E-3\r   050309 AM 12:00:01", "00:00:01 12 0.5 -5 0.001"},
            {"ERROR - 101\r   +1.5E+00\r   050309 PM 12:30:00", "12:30:00 - 1.5 - -"},
            {"1   2   050230 PM 01:00:00", ""},   // 30 February
            {"1   2   3   050309 PM 01:00:00", ""},
            {QByteArray(binary, sizeof binary - 1), ""},
        };
        for (const auto& [line, expected] : cases) {
            const std::optional<LogRecord> r = ReadLogRecord(line);
            QStringList read;
            if (r && r->Date == QDate(2005, 3, 9))
                read << r->Time.toString(QStringLiteral("hh:mm:ss"));
            for (int s = 0; r && s < PlotSeriesCount; ++s)
                read << (r->Values[s] ? QString::number(*r->Values[s]) : QStringLiteral("-"));
            QVERIFY2(read.join(QLatin1Char(' ')) == QLatin1String(expected), line.constData());
        }
    }

    // A file larger than a slice, with lines cut across slices, garbage,
    // binary bytes, a 1 MB line, mixed layouts, LF and CR LF, no final line
    // end; the same file cancelled; an empty file and a missing one.
    void LoaderReadsAMixedFileInSlices()
    {
        QTemporaryDir dir;
        QByteArray bytes;
        for (int i = 0; i < 3000; ++i)
            bytes += DualRecord(i);
        bytes += "garbage line\n";
        bytes += QByteArray(1 << 20, 'x') + "\r\n";
        bytes += QByteArray("\x00\x01\xfe\xff\n", 5);
        bytes += "12.000\r   ERROR - 101\r   050309 PM 02:00:00\n";   // a single record among dual ones
        for (int i = 3000; i < 6000; ++i)
            bytes += DualRecord(i);
        bytes += "\n\r\n";
        bytes += "1.000\r   2.000\r   050309 PM 03:00:00";
        const QString path = dir.filePath(QStringLiteral("050309_MS.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();

        SampleStore store;
        LogLoader loader(store);
        QSignalSpy finished(&loader, &LogLoader::Finished);
        QVERIFY(loader.Start(path).Ok());
        int steps = 0;   // one slice per step, as the window reads it
        while (loader.Step())
            ++steps;
        QVERIFY(steps > bytes.size() / LogLoader::SliceBytes);
        QCOMPARE(QList<QVariantList>(finished), QList<QVariantList>{{true}});
        QCOMPARE(loader.Position(), qint64(bytes.size()));
        // Records, skipped lines, unreadable values, steps back (14:00 after
        // 14:49:59, kept in order), and samples of P1 V, P1 A and P2 A.
        QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5 %6 %7").arg(loader.Records()).arg(loader.Skipped()).arg(loader.Unreadable())
                     .arg(loader.Folds()).arg(store.Series(0).RawCount()).arg(store.Series(1).RawCount()).arg(store.Series(3).RawCount()),
                 QStringLiteral("6002 3 1 1 6002 6001 6000"));

        SampleStore none;
        const Outcome failure = LogLoader(none).Start(dir.filePath(QStringLiteral("none.txt")));
        QVERIFY(failure.Message().contains(QStringLiteral("none.txt")));
    }
};

int main(int argc, char** argv)
{
    UseCentralEuropeanTime();
    QCoreApplication app(argc, argv);
    TestPlotFiles test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_plot_files.moc"
