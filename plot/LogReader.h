// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QObject>
#include <QTime>
#include <QTimer>
#include <optional>

#include "core/Outcome.h"
#include "plot/SampleStore.h"

// One record of a measurement log file: its own date and time and the
// readings it holds (one output's two for a single record, four for a dual).
struct LogRecord {
    QDate Date;
    QTime Time;
    bool Dual = false;
    std::optional<double> Values[PlotSeriesCount];
};

// A log line, without its line end, as a record; nothing when the line is
// not one.
std::optional<LogRecord> ReadLogRecord(QByteArrayView line);

// Places log records on a time line in file order. Where the clock went back
// (the hour that comes twice when summer time ends, or a clock set back) the
// records keep their order: a repeated hour is read at the later offset, any
// other step back continues from the last moment. Each such place is a fold.
// A local time the clock skipped reads as Qt reads it.
class LogTimeline {
public:
    qint64 Place(const QDate& date, const QTime& time, bool* fold);

private:
    bool any_ = false;
    qint64 last_ = 0;
    qint64 shift_ = 0;
    bool secondPass_ = false;
    QDateTime cachedHour_;
    qint64 hourEarliest_ = 0, hourLatest_ = 0;
};

// Reads a measurement log into a sample store a slice at a time on the event
// loop, so a file of any size opens while the window keeps answering. Lines
// are bounded: a longer one is skipped without being held.
class LogLoader : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxLineLength = 4096;
    // A few milliseconds of reading on these machines: the window answers
    // between slices, also while a redraw of the growing plot shares the loop.
    static constexpr qint64 SliceBytes = 16 * 1024;

    explicit LogLoader(SampleStore& store, QObject* parent = nullptr);

    // Opens the file and starts reading on the event loop.
    Outcome Start(const QString& path);
    void Cancel();
    // Reads one slice; false once the file is read, failed or cancelled.
    bool Step();

    bool Running() const { return file_.isOpen(); }
    qint64 Position() const { return position_; }
    qint64 Size() const { return size_; }
    qint64 Records() const { return records_; }
    qint64 Skipped() const { return skipped_; }
    qint64 Unreadable() const { return unreadable_; }
    qint64 Folds() const { return folds_.size(); }
    const std::vector<qint64>& FoldTimes() const { return folds_; }
    // How the reading ended, or is going so far.
    const Outcome& Result() const { return result_; }

signals:
    void Progress();
    // ok is false when reading failed or was cancelled.
    void Finished(bool ok);

private:
    void TakeLine(QByteArrayView line);
    void Stop(bool ok);

    SampleStore& store_;
    QFile file_;
    QTimer timer_;
    QByteArray pending_;
    bool overlong_ = false;
    LogTimeline timeline_;
    qint64 position_ = 0, size_ = 0;
    qint64 records_ = 0, skipped_ = 0, unreadable_ = 0;
    std::vector<qint64> folds_;
    Outcome result_;
};
