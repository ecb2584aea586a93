// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QIODevice>
#include <QString>

#include "plot/SampleStore.h"

// ISO 8601 local time with milliseconds and the UTC offset, "+09:00" style.
QString IsoLocalTime(qint64 msecsSinceEpoch);

// Writes the raw samples of [t0, t1) as CSV (UTF-8, CR LF, one row per
// moment, P1 V, P1 A, P2 V, P2 A with empty cells where a series has no
// sample at that moment), a slice of rows at a time so a long run never
// holds up the window.
class CsvWriter {
public:
    CsvWriter(const SampleStore& store, qint64 t0, qint64 t1);

    // Writes up to maxRows more rows (the header first); true when all are written.
    bool WriteSome(QIODevice& out, int maxRows);
    bool Failed() const { return failed_; }
    qint64 Rows() const { return rows_; }

private:
    struct Cursor {
        std::vector<std::pair<qint64, float>> Pending;
        std::size_t Next = 0;
        qint64 From;   // where the next batch starts
        bool Done = false;
    };
    bool Refill(int series);

    const SampleStore& store_;
    qint64 t1_;
    Cursor cursors_[PlotSeriesCount];
    bool headerWritten_ = false;
    bool failed_ = false;
    qint64 rows_ = 0;
};
