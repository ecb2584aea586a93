// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "pattern/RunReport.h"

#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

void ReadingSpan::Add(double value)
{
    Min = Count == 0 ? value : std::min(Min, value);
    Max = Count == 0 ? value : std::max(Max, value);
    Last = value;
    ++Count;
}

double PercentileOf(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const double rank = std::ceil(p / 100.0 * double(values.size()));
    const size_t index = size_t(std::clamp(rank, 1.0, double(values.size()))) - 1;
    return values[index];
}

void RunReport::Begin(int output, int stepsPlanned, const QDateTime& begun)
{
    *this = RunReport();
    begun_ = begun;
    output_ = output;
    stepsPlanned_ = stepsPlanned;
}

void RunReport::StepSent(qint64 nowUs, const QDateTime& wallNow, double plannedMs, int repetition, int step,
                         double stepTime, double setVoltage, double setCurrent)
{
    if (rows_.empty())
        firstUs_ = nowUs;
    ReportRow row;
    row.Repetition = repetition;
    row.Step = step;
    row.StepTime = stepTime;
    row.PlannedMs = plannedMs;
    row.SentMs = SinceFirstMs(nowUs);
    row.SentAt = wallNow;
    row.SetVoltage = setVoltage;
    row.SetCurrent = setCurrent;
    rows_.push_back(row);
}

double RunReport::SinceFirstMs(qint64 nowUs) const
{
    return rows_.empty() ? 0 : double(nowUs - firstUs_) / 1000.0;
}

RunSummary RunReport::Summary() const
{
    RunSummary s;
    s.StepsSent = int(rows_.size());
    s.StepsPlanned = stepsPlanned_;
    s.OutsideLimits = outsideLimits_;
    s.End = end_;
    std::vector<double> late;
    late.reserve(rows_.size());
    for (const ReportRow& row : rows_) {
        late.push_back(row.LateMs());
        s.Readings += row.Voltage.Count + row.Current.Count;
        s.Unreadable += row.Unreadable;
        s.Missing += row.Missing;
        s.SupplyErrors += int(row.SupplyErrors.size());
    }
    s.LateMedianMs = PercentileOf(late, 50);
    s.LateP99Ms = PercentileOf(late, 99);
    s.LateMaxMs = late.empty() ? 0 : *std::max_element(late.begin(), late.end());
    return s;
}

namespace {
const char* EndWord(RunEnd end)
{
    switch (end) {
    case RunEnd::Running: return "";
    case RunEnd::Completed: return "completed";
    case RunEnd::Stopped: return "stopped";
    case RunEnd::LimitTripped: return "limit";
    case RunEnd::PortLost: return "port lost";
    case RunEnd::Closed: return "window closed";
    }
    return "";
}

QString Fixed(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

// A field as CSV has it: quoted when it holds a separator, a quote or a line end.
QString Field(const QString& text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n'))
        && !text.contains(QLatin1Char('\r')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1String("\""), QLatin1String("\"\"")) + QLatin1Char('"');
}

void AddSpan(QStringList& fields, const ReadingSpan& span)
{
    fields << QString::number(span.Count);
    if (span.Count == 0)
        fields << QString() << QString() << QString();
    else
        fields << Fixed(span.Min, 3) << Fixed(span.Max, 3) << Fixed(span.Last, 3);
}
}

QByteArray RunReport::Csv() const
{
    QString text = QStringLiteral(
        "repetition,step,step_time_s,planned_ms,sent_ms,late_ms,sent_at,set_voltage_v,set_current_a,"
        "voltage_readings,voltage_min_v,voltage_max_v,voltage_last_v,"
        "current_readings,current_min_a,current_max_a,current_last_a,"
        "unreadable,missing,supply_errors,limit_trip,run_end\r\n");
    for (size_t i = 0; i < rows_.size(); ++i) {
        const ReportRow& r = rows_[i];
        QStringList fields{QString::number(r.Repetition), QString::number(r.Step), Fixed(r.StepTime, 3),
                           Fixed(r.PlannedMs, 0), Fixed(r.SentMs, 3), Fixed(r.LateMs(), 3),
                           r.SentAt.toOffsetFromUtc(r.SentAt.offsetFromUtc()).toString(Qt::ISODateWithMs),
                           Fixed(r.SetVoltage, 3), Fixed(r.SetCurrent, 3)};
        AddSpan(fields, r.Voltage);
        AddSpan(fields, r.Current);
        fields << QString::number(r.Unreadable) << QString::number(r.Missing) << Field(r.SupplyErrors.join(QLatin1String("; ")))
               << Field(r.LimitTrip) << QLatin1String(i + 1 == rows_.size() ? EndWord(end_) : "");
        text += fields.join(QLatin1Char(',')) + QLatin1String("\r\n");
    }
    return text.toUtf8();
}

QString RunReportName(const QDateTime& start)
{
    return start.toString(QStringLiteral("yyMMdd_HHmmss")) + QStringLiteral("_RUN.csv");
}

Outcome WriteRunReport(const RunReport& report, const QString& path)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(report.Csv()) >= 0 && file.commit())
        return Outcome();
    return Outcome::Failed(QCoreApplication::translate("RunReport", "실행 보고서를 저장하지 못했습니다: %1\n%2")
                               .arg(QDir::toNativeSeparators(path), file.errorString()),
                           file.errorString());
}

QString RunSummaryText(const RunSummary& s)
{
    const QString sent = s.StepsPlanned > 0
        ? QCoreApplication::translate("RunReport", "보낸 단계 %1 / %2").arg(s.StepsSent).arg(s.StepsPlanned)
        : QCoreApplication::translate("RunReport", "보낸 단계 %1 (연속)").arg(s.StepsSent);
    const QStringList lines{
        sent,
        QCoreApplication::translate("RunReport", "늦음 중앙값 / p99 / 최대: %1 / %2 / %3 ms")
            .arg(Fixed(s.LateMedianMs, 1), Fixed(s.LateP99Ms, 1), Fixed(s.LateMaxMs, 1)),
        QCoreApplication::translate("RunReport", "측정 %1 (읽을 수 없음 %2, 응답 없음 %3)")
            .arg(s.Readings)
            .arg(s.Unreadable)
            .arg(s.Missing),
        QCoreApplication::translate("RunReport", "한계를 넘은 측정 %1").arg(s.OutsideLimits),
        QCoreApplication::translate("RunReport", "공급기가 알린 오류 %1").arg(s.SupplyErrors)};
    return lines.join(QLatin1Char('\n'));
}
