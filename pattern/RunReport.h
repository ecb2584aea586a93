// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

#include "core/Outcome.h"

// What a pattern run did, one row per step sent: when it was due and when it
// really went out, what it set and what was measured while it held. It only
// collects; MeasuredRun (or a driver that does not measure) fills it, and
// WriteRunReport puts it in a CSV file when the run has ended, however it ended.
//
// Times are monotonic microseconds as the driver's clock gives them
// (SteadyMicros); the report keeps them relative to the run's first command,
// and the wall clock read at that command dates the rows.

// How a run came to its end.
enum class RunEnd { Running, Completed, Stopped, LimitTripped, PortLost, Closed };

// Readings of one quantity during one step.
struct ReadingSpan {
    int Count = 0;
    double Min = 0, Max = 0, Last = 0;
    void Add(double value);
};

struct ReportRow {
    int Repetition = 1;
    int Step = 1;
    double StepTime = 0;        // the table's time, seconds into the repetition
    double PlannedMs = 0;       // the tick it was due on, from the run's first command
    double SentMs = 0;          // when it was written to the port, from the run's first command
    QDateTime SentAt;           // wall clock
    double SetVoltage = 0, SetCurrent = 0;
    ReadingSpan Voltage, Current;
    int Unreadable = 0;         // replies that were not a number
    int Missing = 0;            // replies that never came
    QStringList SupplyErrors;   // the error queue read after this step's repetition, "NO ERROR" left out
    QString LimitTrip;          // "current 0.612 > 0.500" on the row where a limit ended the run

    double LateMs() const { return SentMs - PlannedMs; }
};

// Nearest rank: the smallest value with at least p percent of them at or below it.
double PercentileOf(std::vector<double> values, double p);

struct RunSummary {
    int StepsSent = 0;
    int StepsPlanned = 0;         // 0: repeating for ever
    double LateMedianMs = 0, LateP99Ms = 0, LateMaxMs = 0;
    int Readings = 0, Unreadable = 0, Missing = 0;
    int OutsideLimits = 0;
    int SupplyErrors = 0;
    RunEnd End = RunEnd::Running;
};

class RunReport {
public:
    // A new run on `output`, begun at wall time `begun`: stepsPlanned is
    // steps × repetitions, 0 when it repeats for ever.
    void Begin(int output, int stepsPlanned, const QDateTime& begun);
    // A step went out. The first one sets the origin of every time in the report.
    void StepSent(qint64 nowUs, const QDateTime& wallNow, double plannedMs, int repetition, int step,
                  double stepTime, double setVoltage, double setCurrent);
    // The rows of the report, in the order the steps went out.
    const std::vector<ReportRow>& Rows() const { return rows_; }
    std::vector<ReportRow>& Rows() { return rows_; }
    // Microseconds since the first step went out (0 before it).
    double SinceFirstMs(qint64 nowUs) const;
    bool Started() const { return !rows_.empty(); }
    void CountOutsideLimits() { ++outsideLimits_; }
    void End(RunEnd how) { end_ = how; }

    int Output() const { return output_; }
    // When the first command went out, or the run began if none did.
    QDateTime StartedAt() const { return rows_.empty() ? begun_ : rows_.front().SentAt; }
    RunEnd Ended() const { return end_; }
    RunSummary Summary() const;
    // The CSV text: UTF-8, a header row, one row per step sent, CR LF line ends.
    QByteArray Csv() const;

private:
    int output_ = 1;
    int stepsPlanned_ = 0;
    int outsideLimits_ = 0;
    qint64 firstUs_ = 0;
    RunEnd end_ = RunEnd::Running;
    QDateTime begun_;
    std::vector<ReportRow> rows_;
};

// "yymmdd_hhmmss_RUN.csv" for a run whose first command went out at `start`.
QString RunReportName(const QDateTime& start);
// Writes the report whole, or leaves what was there: a failure names the
// file and says why.
Outcome WriteRunReport(const RunReport& report, const QString& path);
// The summary as the operator reads it, one line for each thing.
QString RunSummaryText(const RunSummary& summary);
