// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/LogReader.h"

#include <QCoreApplication>
#include <QDateTime>
#include <tuple>

#include "core/LogRecordFormat.h"
#include "plot/Readings.h"

std::optional<LogRecord> ReadLogRecord(QByteArrayView line)
{
    const std::optional<LogRecordFields> fields = SplitLogRecord(line);
    if (!fields)
        return std::nullopt;
    LogRecord r;
    r.Date = fields->Date;
    r.Time = fields->Time;
    r.Dual = fields->Dual;
    for (int s = 0; s < (r.Dual ? 4 : 2); ++s)
        r.Values[s] = ReadReading(fields->Readouts[s]);
    return r;
}

namespace {
// The earliest and latest moments a local date and time can mean: they
// differ only in the hour that comes twice when summer time ends.
std::pair<qint64, qint64> LocalMoments(const QDate& date, const QTime& time)
{
    constexpr qint64 Hours3 = 3 * 3600 * 1000;
    const qint64 guess = QDateTime(date, time).toMSecsSinceEpoch();
    qint64 earliest = guess, latest = guess;
    for (qint64 probe : {guess - Hours3, guess + Hours3}) {
        const int offset = QDateTime::fromMSecsSinceEpoch(probe).offsetFromUtc();
        const qint64 moment = QDateTime(date, time, Qt::OffsetFromUTC, offset).toMSecsSinceEpoch();
        if (QDateTime::fromMSecsSinceEpoch(moment).offsetFromUtc() == offset) {
            earliest = std::min(earliest, moment);
            latest = std::max(latest, moment);
        }
    }
    return {earliest, latest};
}
}

qint64 LogTimeline::Place(const QDate& date, const QTime& time, bool* fold)
{
    *fold = false;
    // Each local-time conversion reads the zone anew: once an hour is enough,
    // as clocks change on the hour.
    if (!cachedHour_.isValid() || cachedHour_.date() != date || cachedHour_.time().hour() != time.hour()) {
        cachedHour_ = QDateTime(date, QTime(time.hour(), 0));
        std::tie(hourEarliest_, hourLatest_) = LocalMoments(date, QTime(time.hour(), 0));
    }
    const qint64 intoHour = (time.minute() * 60 + time.second()) * 1000 + time.msec();
    const qint64 earliest = hourEarliest_ + intoHour, latest = hourLatest_ + intoHour;
    qint64 t = earliest + shift_;
    if (any_ && t < last_) {
        if (latest + shift_ >= last_) {
            // The second pass through a repeated hour: one fold where it starts.
            t = latest + shift_;
            *fold = !secondPass_;
            secondPass_ = true;
        } else {
            *fold = true;
            shift_ += last_ - t;
            t = last_;
            secondPass_ = false;
        }
    } else {
        secondPass_ = false;
    }
    any_ = true;
    last_ = t;
    return t;
}

LogLoader::LogLoader(SampleStore& store, QObject* parent) : QObject(parent), store_(store)
{
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, [this] { Step(); });
}

Outcome LogLoader::Start(const QString& path)
{
    file_.setFileName(path);
    if (!file_.open(QIODevice::ReadOnly))
        return Outcome::Failed(
            QCoreApplication::translate("LogReader", "로그 파일을 열 수 없습니다: %1\n%2").arg(path, file_.errorString()),
            file_.errorString());
    size_ = file_.size();
    timer_.start();
    return Outcome();
}

void LogLoader::Cancel()
{
    if (file_.isOpen())
        Stop(false);
}

void LogLoader::Stop(bool ok)
{
    timer_.stop();
    file_.close();
    emit Finished(ok);
}

bool LogLoader::Step()
{
    if (!file_.isOpen())
        return false;
    const QByteArray slice = file_.read(SliceBytes);
    if (slice.isEmpty()) {
        if (file_.error() != QFileDevice::NoError) {
            result_ = Outcome::Failed(
                QCoreApplication::translate("LogReader", "로그 파일을 끝까지 읽지 못했습니다: %1").arg(file_.errorString()),
                file_.errorString());
            Stop(false);
            return false;
        }
        if (!pending_.isEmpty() || overlong_)
            TakeLine(pending_);
        pending_.clear();
        Stop(true);
        return false;
    }
    position_ += slice.size();
    qsizetype from = 0;
    while (from < slice.size()) {
        const qsizetype lf = slice.indexOf('\n', from);
        const qsizetype end = lf < 0 ? slice.size() : lf;
        if (!overlong_) {
            if (pending_.size() + (end - from) > MaxLineLength) {
                overlong_ = true;
                pending_.clear();
            } else {
                pending_.append(slice.constData() + from, end - from);
            }
        }
        if (lf < 0)
            break;
        TakeLine(pending_);
        pending_.clear();
        from = lf + 1;
    }
    emit Progress();
    return true;
}

void LogLoader::TakeLine(QByteArrayView line)
{
    if (overlong_) {
        overlong_ = false;
        ++skipped_;
        return;
    }
    const std::optional<LogRecord> record = ReadLogRecord(line);
    if (!record) {
        if (!line.trimmed().isEmpty())
            ++skipped_;
        return;
    }
    bool fold = false;
    const qint64 t = timeline_.Place(record->Date, record->Time, &fold);
    if (fold) {
        folds_.push_back(t);
        store_.BreakAll();
    }
    ++records_;
    const int count = record->Dual ? 4 : 2;
    for (int s = 0; s < count; ++s) {
        if (record->Values[s])
            store_.Append(s, t, float(*record->Values[s]));
        else
            ++unreadable_;
    }
}
