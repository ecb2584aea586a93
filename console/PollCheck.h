// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QtGlobal>

// Watches monitoring from poll tick to poll tick: notices a supply that has
// stopped answering while the line stays open, and a cycle that a lost or an
// unasked reply has put out of step, so that replies would land in the wrong
// readouts for good.
//
// A cycle is judged only at a tick where the line has settled: the last batch
// has left our buffer, no reply is half received, exactly one cycle's worth
// of replies came since the previous tick and the line has then been quiet for
// most of the interval. A slow line or a slow instrument is still busy at the
// tick (its replies trail the polls), so it is never judged, and never
// realigned; a supply that keeps pace but lost or added a line is judged at
// every tick and found standing mid-cycle.
class PollCheck {
public:
    struct Facts {
        bool Transmitted = true;   // nothing of ours waits to go out
        bool HalfLine = false;     // a reply has begun but not ended
        int CycleLength = 2;       // replies a batch asks for
        int PollIndex = 0;         // where the cycle stands (0: at its start)
        int IntervalMs = 200;
    };
    struct Verdict {
        bool Realign = false;         // restart the cycle at its first reply
        bool TellRealign = false;     // the first realignment of an episode
        bool SilenceBegan = false;    // no reply for about three intervals
        bool SilenceEnded = false;    // replies again after a silence
        qint64 LastReplyAt = -1;      // monotonic; -1 when none came since Start
        qint64 GapMs = 0;             // with SilenceEnded: from the last reply before to the first after
    };

    // Polling began or resumed: nothing is owed yet.
    void Start(qint64 now);
    // Bytes came in; a reply line is one of them.
    void BytesArrived(qint64 now) { lastByteAt_ = now; }
    void ReplyArrived(qint64 now);
    Verdict Tick(qint64 now, const Facts& facts);

    bool Silent() const { return silent_; }

private:
    qint64 startedAt_ = 0, lastByteAt_ = -1, lastReplyAt_ = -1, silenceFrom_ = -1, firstAfterSilence_ = -1;
    int repliesSinceTick_ = 0;
    int misalignedTicks_ = 0, misalignedAt_ = 0;
    bool realignTold_ = false, silent_ = false;
};
