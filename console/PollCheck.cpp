// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/PollCheck.h"

namespace {
// Quiet for this share of the interval after a full cycle: a supply that
// keeps pace has long finished, while one whose replies are spread over the
// interval (an instrument at its limit) never is.
constexpr int QuietPercent = 60;
// Ticks in a row found at the same point mid-cycle before the cycle restarts.
constexpr int MisalignedTicksToRealign = 2;
constexpr int SilentIntervals = 3;
}

void PollCheck::Start(qint64 now)
{
    *this = PollCheck();
    startedAt_ = now;
}

void PollCheck::ReplyArrived(qint64 now)
{
    if (silent_ && firstAfterSilence_ < 0)
        firstAfterSilence_ = now;
    lastByteAt_ = lastReplyAt_ = now;
    ++repliesSinceTick_;
}

PollCheck::Verdict PollCheck::Tick(qint64 now, const Facts& facts)
{
    Verdict v;
    v.LastReplyAt = lastReplyAt_;
    const int replies = repliesSinceTick_;
    repliesSinceTick_ = 0;

    if (silent_ && replies > 0) {
        silent_ = false;
        v.SilenceEnded = true;
        v.GapMs = firstAfterSilence_ - silenceFrom_;
        firstAfterSilence_ = -1;
    }
    const qint64 heardAt = lastReplyAt_ < 0 ? startedAt_ : lastReplyAt_;
    if (!silent_ && replies == 0 && now - heardAt >= qint64(SilentIntervals) * facts.IntervalMs) {
        silent_ = true;
        silenceFrom_ = heardAt;
        v.SilenceBegan = true;
    }

    const bool settled = facts.Transmitted && !facts.HalfLine && replies == facts.CycleLength
                         && lastByteAt_ >= 0 && (now - lastByteAt_) * 100 >= qint64(QuietPercent) * facts.IntervalMs;
    if (!settled) {
        misalignedTicks_ = 0;
        return v;
    }
    if (facts.PollIndex == 0) {
        misalignedTicks_ = 0;
        realignTold_ = false;
        return v;
    }
    misalignedTicks_ = facts.PollIndex == misalignedAt_ ? misalignedTicks_ + 1 : 1;
    misalignedAt_ = facts.PollIndex;
    if (misalignedTicks_ >= MisalignedTicksToRealign) {
        v.Realign = true;
        v.TellRealign = !realignTold_;
        realignTold_ = true;
        misalignedTicks_ = 0;
    }
    return v;
}
