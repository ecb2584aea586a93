// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

#include "pattern/PatternEditing.h"
#include "pattern/RunEngine.h"
#include "pattern/RunReport.h"

// A pattern run that measures its output while it plays, guards the limits
// of the device under test and fills the run's report. It decides; the
// driver (the pattern window, tarvio-run) writes to the port and tells the
// operator. With measuring off it still fills the report and sends nothing.
//
// How a driver uses it, beside its RunEngine, on the run's 55 ms timer:
//
//   run.Start(settings, engine, steps × repetitions, LocalNow());   // right after engine.Start()
//   on every tick:
//     const RunEngine::Tick tick = engine.OnTick(forever, limit);
//     if (tick.Sent) port.Write(tick.Command);
//     if (!tick.Sent && engine.Finished(forever, limit) && run.Settled()) end it as Completed, asking nothing more;
//     const MeasuredRun::TickResult r = run.OnTick(SteadyMicros(), LocalNow(), engine, tick,
//         port.BytesToWrite() == 0, engine.StepDueNextTick(forever, limit));
//     if (!r.Query.isEmpty()) port.Write(r.Query);
//     if (r.TellUnanswered) say once that the supply does not answer;
//   on every reply line, before the console routes it (ConsoleController::TapReplies):
//     const MeasuredRun::Reply reply = run.OnReply(SteadyMicros(), line);
//     if (!reply.Claimed) the line goes where it would have gone;
//     if (reply.Reading) put reply.Text into the readings (voltage, or current, of the run's output);
//     if (reply.Trip) write LimitOffCommand, end the run as 실행 끝내기 does, show LimitTripMessage(*reply.Trip);
//   when the run ends, however it ends:
//     run.End(how);  then  WriteRunReport(run.Report(), folder + RunReportName(run.Report().StartedAt()));
//
// A measuring batch (voltage and current queries of the run's output, the
// ones monitoring uses for the model, ended by LF) goes out at most once per
// interval, never in a tick that sends a step or in the tick before one,
// never while the previous batch is unanswered or still waiting to leave
// the port. A batch unanswered for a few intervals is given up: its replies
// count as missing. After each repetition the supply's error queue is read,
// SYST:ERR? after SYST:ERR?, until it says NO ERROR, at most 16 times.
class MeasuredRun {
public:
    static constexpr int MinIntervalMs = 200;
    static constexpr int IntervalAtStartMs = 500;
    // A batch is given up after this many intervals without its replies.
    static constexpr int TimeoutIntervals = 3;
    static constexpr int MaxErrorReads = 16;

    struct Settings {
        int IntervalMs = 0;                        // 0: no measuring; otherwise at least MinIntervalMs
        bool NewModel = true;                      // averaging queries (MEAS:VOLTA?) or instantaneous ones
        std::optional<double> VoltageLimit, CurrentLimit;
        bool Measuring() const { return IntervalMs > 0; }
    };

    // A run begins (the engine has just started). stepsPlanned for the
    // report: steps × repetitions, 0 when it repeats for ever.
    void Start(const Settings& settings, const RunEngine& engine, int stepsPlanned, const QDateTime& wallNow);

    struct TickResult {
        QByteArray Query;            // write it after the tick's step, if any
        bool TellUnanswered = false; // the first batch of the run given up
    };
    // transmitted: nothing of ours waits to leave the port.
    // stepNext: the engine will send a step on the next tick.
    TickResult OnTick(qint64 nowUs, const QDateTime& wallNow, const RunEngine& engine, const RunEngine::Tick& tick,
                      bool transmitted, bool stepNext);

    enum class Quantity { Voltage, Current };
    struct LimitTrip {
        Quantity Which = Quantity::Voltage;
        double Reading = 0, Limit = 0;
        int Step = 0, Repetition = 0;
    };
    struct Reply {
        bool Claimed = false;        // it answered one of our queries
        bool Reading = false;        // a measuring reply (a number or not): Text goes into the readings
        Quantity Which = Quantity::Voltage;
        QString Text;                // as it came, line end removed
        bool SupplyError = false;    // an error the supply's queue held (Text)
        std::optional<LimitTrip> Trip;
    };
    Reply OnReply(qint64 nowUs, const QString& line);

    // Nothing asked is still unanswered and no error queue read is due:
    // a finished run may end without losing what it asked for.
    bool Settled() const { return expected_.empty() && !errorReadDue_; }
    bool Running() const { return running_; }
    void End(RunEnd how);

    int Output() const { return output_; }
    // Query batches and error queue reads written since Start.
    int QueriesSent() const { return queriesSent_; }
    const Settings& Current() const { return settings_; }
    const RunReport& Report() const { return report_; }

private:
    enum class Asked { Voltage, Current, Error };
    void GiveUp();

    Settings settings_;
    bool running_ = false;
    int output_ = 1;
    qint64 ticks_ = 0, firstTick_ = -1;
    qint64 lastBatchUs_ = -1, askedUs_ = 0;
    // What the replies still due answer, oldest first, and the row they belong to.
    std::vector<Asked> expected_;
    size_t askedForRow_ = 0;
    bool errorReadDue_ = false;
    int errorReads_ = 0;
    size_t errorRow_ = 0;
    bool toldUnanswered_ = false;
    int queriesSent_ = 0;
    RunReport report_;
};

// The switch-off a tripped limit sends, ended by LF.
extern const QByteArray LimitOffCommand;

// A limit field's text: empty is no limit; a positive number is taken with
// three decimals; anything else is refused and the field reads "ERROR".
FieldValue AcceptLimitValue(const QString& typed);
// The limit a field holds, if it holds one.
std::optional<double> LimitOf(const QString& fieldText);
// The measuring interval a field's text gives, at least MinIntervalMs; a
// text that is not a whole number keeps `current`.
int TypedMeasureInterval(const QString& typed, int current);

// What the "Tarvio" box says when a limit ended the run on `output`.
QString LimitTripMessage(int output, const MeasuredRun::LimitTrip& trip);
// Said once per run when the supply leaves a measuring batch unanswered.
QString UnansweredMessage(int output);
