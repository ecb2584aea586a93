// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "pattern/MeasuredRun.h"

#include <QCoreApplication>
#include <QLocale>

#include <cmath>

#include "pattern/StepValues.h"

const QByteArray LimitOffCommand = QByteArrayLiteral("OUTP:STAT OFF\n");

namespace {
constexpr int MaxIntervalMs = 60000;

std::optional<double> PlainNumber(const QString& text)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString QuantityWord(MeasuredRun::Quantity which)
{
    return which == MeasuredRun::Quantity::Voltage ? QCoreApplication::translate("MeasuredRun", "전압")
                                                   : QCoreApplication::translate("MeasuredRun", "전류");
}
}

void MeasuredRun::Start(const Settings& settings, const RunEngine& engine, int stepsPlanned, const QDateTime& wallNow)
{
    settings_ = settings;
    if (settings_.Measuring())
        settings_.IntervalMs = qBound(MinIntervalMs, settings_.IntervalMs, MaxIntervalMs);
    running_ = true;
    output_ = engine.Output();
    ticks_ = 0;
    firstTick_ = -1;
    lastBatchUs_ = -1;
    expected_.clear();
    errorReadDue_ = false;
    errorReads_ = 0;
    toldUnanswered_ = false;
    queriesSent_ = 0;
    report_.Begin(output_, stepsPlanned, wallNow);
}

MeasuredRun::TickResult MeasuredRun::OnTick(qint64 nowUs, const QDateTime& wallNow, const RunEngine& engine,
                                            const RunEngine::Tick& tick, bool transmitted, bool stepNext)
{
    TickResult result;
    if (!running_)
        return result;
    ++ticks_;
    if (tick.Sent) {
        if (firstTick_ < 0)
            firstTick_ = ticks_;
        const RunEngine::Position at = engine.LastSent();
        const StepNumbers& step = engine.Steps().at(size_t(at.Step - 1));
        report_.StepSent(nowUs, wallNow, double(ticks_ - firstTick_) * RunTimerMs, at.Repetition, at.Step, step.Time,
                         step.Voltage, step.Current);
        if (tick.RepetitionDone && settings_.Measuring()) {
            errorReadDue_ = true;
            errorReads_ = 0;
            errorRow_ = report_.Rows().size() - 1;
        }
    }
    if (!settings_.Measuring())
        return result;
    const qint64 intervalUs = qint64(settings_.IntervalMs) * 1000;
    if (!expected_.empty() && nowUs - askedUs_ >= TimeoutIntervals * intervalUs) {
        GiveUp();
        result.TellUnanswered = !toldUnanswered_;
        toldUnanswered_ = true;
    }
    // A query shares no tick with a step, nor the one before it, so a step
    // never waits behind a query on the line.
    if (tick.Sent || stepNext || !transmitted || !expected_.empty() || !report_.Started())
        return result;
    if (errorReadDue_) {
        ++errorReads_;
        ++queriesSent_;
        expected_ = {Asked::Error};
        askedUs_ = nowUs;
        result.Query = QByteArrayLiteral("SYST:ERR?\n");
        return result;
    }
    if (lastBatchUs_ >= 0 && nowUs - lastBatchUs_ < intervalUs)
        return result;
    const QByteArray target = QByteArrayLiteral(" P") + QByteArray::number(output_) + '\n';
    result.Query = settings_.NewModel ? "MEAS:VOLTA?" + target + "MEAS:CURRA?" + target
                                      : "MEAS:VOLT?" + target + "MEAS:CURR?" + target;
    ++queriesSent_;
    expected_ = {Asked::Voltage, Asked::Current};
    askedForRow_ = report_.Rows().size() - 1;
    askedUs_ = lastBatchUs_ = nowUs;
    return result;
}

void MeasuredRun::GiveUp()
{
    for (const Asked asked : expected_) {
        if (asked == Asked::Error) {
            // The queue is read again after the next repetition.
            errorReadDue_ = false;
            ++report_.Rows()[errorRow_].Missing;
        } else {
            ++report_.Rows()[askedForRow_].Missing;
        }
    }
    expected_.clear();
}

MeasuredRun::Reply MeasuredRun::OnReply(qint64, const QString& line)
{
    Reply reply;
    if (!running_ || expected_.empty())
        return reply;
    reply.Claimed = true;
    reply.Text = line;
    if (reply.Text.endsWith(QLatin1Char('\r')))
        reply.Text.chop(1);
    const Asked asked = expected_.front();
    expected_.erase(expected_.begin());
    if (asked == Asked::Error) {
        const QString said = reply.Text.trimmed();
        if (said.compare(QLatin1String("NO ERROR"), Qt::CaseInsensitive) == 0) {
            errorReadDue_ = false;
            return reply;
        }
        reply.SupplyError = true;
        report_.Rows()[errorRow_].SupplyErrors << said;
        if (errorReads_ >= MaxErrorReads)
            errorReadDue_ = false;
        return reply;
    }
    reply.Reading = true;
    reply.Which = asked == Asked::Voltage ? Quantity::Voltage : Quantity::Current;
    ReportRow& row = report_.Rows()[askedForRow_];
    const std::optional<double> value = PlainNumber(reply.Text);
    if (!value) {
        ++row.Unreadable;
        return reply;
    }
    (reply.Which == Quantity::Voltage ? row.Voltage : row.Current).Add(*value);
    const std::optional<double>& limit = reply.Which == Quantity::Voltage ? settings_.VoltageLimit : settings_.CurrentLimit;
    if (limit && *value > *limit) {
        report_.CountOutsideLimits();
        reply.Trip = LimitTrip{reply.Which, *value, *limit, row.Step, row.Repetition};
        row.LimitTrip = QStringLiteral("%1 %2 > %3")
                            .arg(QLatin1String(reply.Which == Quantity::Voltage ? "voltage" : "current"),
                                 FormatThreeDecimals(*value), FormatThreeDecimals(*limit));
    }
    return reply;
}

void MeasuredRun::End(RunEnd how)
{
    if (!running_)
        return;
    running_ = false;
    expected_.clear();
    errorReadDue_ = false;
    report_.End(how);
}

FieldValue AcceptLimitValue(const QString& typed)
{
    if (typed.trimmed().isEmpty())
        return {QString(), true};
    const std::optional<double> value = PlainNumber(typed);
    if (!value || LeadingNumber(FormatThreeDecimals(*value)) <= 0)
        return {QStringLiteral("ERROR"), false};
    return {FormatThreeDecimals(*value), true};
}

std::optional<double> LimitOf(const QString& fieldText)
{
    const std::optional<double> value = PlainNumber(fieldText);
    if (!value || *value <= 0)
        return std::nullopt;
    return value;
}

int TypedMeasureInterval(const QString& typed, int current)
{
    const double value = LeadingNumber(typed);
    if (!(value > 0))
        return current;
    return int(qBound<long long>((long long)MeasuredRun::MinIntervalMs, RoundHalfEven(value), (long long)MaxIntervalMs));
}

QString LimitTripMessage(int output, const MeasuredRun::LimitTrip& trip)
{
    const QString unit = trip.Which == MeasuredRun::Quantity::Voltage ? QStringLiteral("V") : QStringLiteral("A");
    return QCoreApplication::translate("MeasuredRun", "%1 한계 %4 %3를 넘는 측정값 %2 %3: P%5 출력을 끄고 패턴 실행을 "
                                                      "끝냈습니다.\n(%6번째 반복, %7단계)")
        .arg(QuantityWord(trip.Which), FormatThreeDecimals(trip.Reading), unit, FormatThreeDecimals(trip.Limit))
        .arg(output)
        .arg(trip.Repetition)
        .arg(trip.Step);
}

QString UnansweredMessage(int output)
{
    return QCoreApplication::translate("MeasuredRun", "공급기가 P%1 측정 질의에 답하지 않습니다. 빠진 측정값은 "
                                                      "실행 보고서에 셉니다.")
        .arg(output);
}
