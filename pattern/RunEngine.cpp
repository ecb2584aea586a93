// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "pattern/RunEngine.h"

#include <QCoreApplication>

#include <climits>

#include "pattern/StepValues.h"

namespace {
// The count is shown as a 16-bit number; past it the run goes on uncounted.
constexpr int MaxRepeatsDone = 32767;
}

bool RunEngine::Start(const PatternTable& table, int output)
{
    return Start(LeadingSteps(table), output);
}

bool RunEngine::Start(std::vector<StepNumbers> steps, int output)
{
    if (steps.empty())
        return false;
    output_ = output == 2 ? 2 : 1;
    prefix_ = output_ == 2 ? QByteArrayLiteral("APPL P2,") : QByteArrayLiteral("APPL P1,");
    steps_ = std::move(steps);
    runTicks_ = 0;
    nextStep_ = 1;
    repeatsDone_ = 0;
    running_ = true;
    return true;
}

void RunEngine::Stop()
{
    runTicks_ = 0;
    nextStep_ = 1;
    repeatsDone_ = 0;
    running_ = false;
}

RunEngine::Tick RunEngine::OnTick(bool repeatForever, int repeatLimit)
{
    Tick tick;
    // A finished run does not even count the tick, so raising the limit
    // resumes exactly where it stopped.
    if (!running_ || Finished(repeatForever, repeatLimit))
        return tick;
    const StepNumbers& step = steps_[nextStep_ - 1];
    if (runTicks_ * TickSeconds >= step.Time) {
        tick.Sent = true;
        tick.StepTime = step.Time;
        tick.Command = prefix_ + ShortestDecimal(step.Voltage).toLatin1() + ',' + ShortestDecimal(step.Current).toLatin1()
            + '\r';
        ++nextStep_;
        if (nextStep_ > RunStepCount()) {
            nextStep_ = 1;
            if (repeatsDone_ < MaxRepeatsDone)
                ++repeatsDone_;
            tick.RepetitionDone = true;
        }
    }
    // The clock restarts only with a new repetition; while step 1 waits it
    // keeps counting, so a first step later than 0 s is still reached.
    if (tick.RepetitionDone)
        runTicks_ = 0;
    else if (runTicks_ < INT_MAX)
        ++runTicks_;
    return tick;
}

bool RunEngine::StepDueNextTick(bool repeatForever, int repeatLimit) const
{
    return running_ && !Finished(repeatForever, repeatLimit) && runTicks_ * TickSeconds >= steps_[nextStep_ - 1].Time;
}

RunEngine::Position RunEngine::LastSent() const
{
    if (nextStep_ > 1)
        return {nextStep_ - 1, repeatsDone_ + 1};
    if (repeatsDone_ > 0)
        return {RunStepCount(), repeatsDone_};
    return {};
}

QString RunLostMessage(int output, RunEngine::Position at)
{
    const QString where = at.Step == 0
                              ? QCoreApplication::translate("RunEngine", "첫 단계를 보내기 전")
                              : QCoreApplication::translate("RunEngine", "%1번째 반복, 마지막으로 보낸 단계 %2")
                                    .arg(at.Repetition)
                                    .arg(at.Step);
    return QCoreApplication::translate("RunEngine", "통신포트 연결이 끊어져 P%1 패턴 실행을 끝냈습니다 (%2).\n"
                                                    "출력 패턴은 자동으로 다시 시작하지 않습니다.")
        .arg(output)
        .arg(where);
}
