// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/CsvExport.h"

#include <QDateTime>
#include <limits>

namespace {
// Samples fetched per series at a time while merging.
constexpr int BatchSamples = 4096;

QByteArray Cell(float v)
{
    return QByteArray::number(double(v), 'g', 7);
}
}

QString IsoLocalTime(qint64 msecsSinceEpoch)
{
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch, Qt::LocalTime);
    const int offset = local.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return local.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"))
        + QStringLiteral("%1%2:%3")
              .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
              .arg(minutes / 60, 2, 10, QLatin1Char('0'))
              .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

CsvWriter::CsvWriter(const SampleStore& store, qint64 t0, qint64 t1) : store_(store), t1_(t1)
{
    for (Cursor& c : cursors_)
        c.From = t0;
}

bool CsvWriter::Refill(int series)
{
    Cursor& c = cursors_[series];
    if (c.Next < c.Pending.size())
        return true;
    if (c.Done)
        return false;
    c.Pending.clear();
    c.Next = 0;
    // Batches end at a time boundary so samples sharing a moment stay together.
    qint64 last = std::numeric_limits<qint64>::min();
    store_.Series(series).ForEachRaw(c.From, t1_, [&](qint64 t, float v) {
        if (int(c.Pending.size()) >= BatchSamples && t != last)
            return;
        c.Pending.emplace_back(t, v);
        last = t;
    });
    if (c.Pending.empty()) {
        c.Done = true;
        return false;
    }
    c.From = last + 1;
    return true;
}

bool CsvWriter::WriteSome(QIODevice& out, int maxRows)
{
    QByteArray text;
    if (!headerWritten_) {
        text += "시각,P1 V,P1 A,P2 V,P2 A\r\n";
        headerWritten_ = true;
    }
    bool done = false;
    for (int row = 0; row < maxRows; ++row) {
        qint64 moment = std::numeric_limits<qint64>::max();
        for (int s = 0; s < PlotSeriesCount; ++s)
            if (Refill(s))
                moment = std::min(moment, cursors_[s].Pending[cursors_[s].Next].first);
        if (moment == std::numeric_limits<qint64>::max()) {
            done = true;
            break;
        }
        text += IsoLocalTime(moment).toUtf8();
        for (int s = 0; s < PlotSeriesCount; ++s) {
            text += ',';
            Cursor& c = cursors_[s];
            if (c.Next < c.Pending.size() && c.Pending[c.Next].first == moment) {
                text += Cell(c.Pending[c.Next].second);
                // A second sample of one series at the same moment gets its own row.
                ++c.Next;
            }
        }
        text += "\r\n";
        ++rows_;
    }
    if (out.write(text) != text.size())
        failed_ = true;
    return done || failed_;
}
