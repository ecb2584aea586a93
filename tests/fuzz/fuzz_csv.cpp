// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The CSV export on any samples and any range: every sample of the range
// comes out once, in its series' column and at its own time, rows in time
// order, no row empty.
#include <QBuffer>
#include <QDateTime>

#include "FuzzCheck.h"
#include "plot/CsvExport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    // Four bytes a sample: series and break, time step, value.
    SampleStore store;
    const qint64 base = 1792198800000; // mid-2026, close to the end of summer time in Berlin
    qint64 t = base;
    for (size_t i = 3; i + 4 <= size; i += 4) {
        t += data[i + 1] * (data[i] & 0x40 ? 60000 : 7);
        if (data[i] & 0x80)
            store.BreakAll();
        const float v = float(qint16(data[i + 2] | data[i + 3] << 8)) / (data[i] & 0x20 ? 1000.0f : 3.0f);
        store.Append(data[i] & 3, t, v);
    }
    const qint64 t0 = base + data[0] * 997, t1 = t0 + data[1] * 60000 + 1;
    const int maxRows = 1 + data[2] % 40;

    // What each series should show: its samples in [t0, t1), as the cells write them.
    std::vector<std::pair<qint64, QByteArray>> expected[PlotSeriesCount];
    for (int s = 0; s < PlotSeriesCount; ++s)
        store.Series(s).ForEachRaw(t0, t1, [&](qint64 at, float v) {
            expected[s].emplace_back(at, QByteArray::number(double(v), 'g', 7));
        });

    CsvWriter writer(store, t0, t1);
    QBuffer out;
    FUZZ_CHECK(out.open(QIODevice::WriteOnly), "cannot open a buffer");
    while (!writer.WriteSome(out, maxRows)) {
    }
    const QList<QByteArray> lines = out.data().split('\n');
    FUZZ_CHECK(!writer.Failed() && lines.size() == writer.Rows() + 2 && lines.first() == "시각,P1 V,P1 A,P2 V,P2 A\r" && lines.last().isEmpty(),
               "the file's shape is not a header and a line a row");
    std::vector<std::pair<qint64, QByteArray>> written[PlotSeriesCount];
    qint64 last = std::numeric_limits<qint64>::min();
    for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
        FUZZ_CHECK(lines[i].endsWith('\r'), "a row without CR LF");
        const QList<QByteArray> cells = lines[i].chopped(1).split(',');
        FUZZ_CHECK(cells.size() == 1 + PlotSeriesCount, "a row without its five cells");
        const QDateTime when = QDateTime::fromString(QString::fromLatin1(cells[0]), Qt::ISODateWithMs);
        FUZZ_CHECK(when.isValid() && when.toMSecsSinceEpoch() >= last, "a row's time unreadable or out of order");
        last = when.toMSecsSinceEpoch();
        FUZZ_CHECK(lines[i] != cells[0] + ",,,,\r", "an empty row");
        for (int s = 0; s < PlotSeriesCount; ++s) {
            if (!cells[s + 1].isEmpty())
                written[s].emplace_back(last, cells[s + 1]);
        }
    }
    for (int s = 0; s < PlotSeriesCount; ++s)
        FUZZ_CHECK(written[s] == expected[s], "a series' samples lost, moved or rewritten");
    return 0;
}
