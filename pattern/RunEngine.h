// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>

#include "pattern/PatternTable.h"
#include "pattern/StepArrays.h"

// Pattern time credited per tick: the run timer fires every 55 ms, so the
// credited time is the time that really passed.
constexpr double TickSeconds = 0.055;
constexpr int RunTimerMs = 55;

// Plays a pattern on one output: at each timer tick decides whether the next
// step is due and which command it sends, and counts repetitions.
class RunEngine {
public:
    // Copies the table's leading complete steps into the arrays (each cell
    // read with LeadingNumber) and starts counting from step 1. False, with
    // the run state untouched, when row 1 is incomplete: there is nothing to play.
    bool Start(const PatternTable& table, StepArrays& arrays, int output /*1 or 2*/);
    // Ends the run: RunTicks 0, NextStep 1, RepeatsDone 0. Sends nothing.
    void Stop();

    struct Tick {
        bool Sent = false;
        QByteArray Command;        // "APPL Pn,V,I" and CR alone
        double StepTime = 0;       // of the step sent, for the progress marker
        bool RepetitionDone = false;
    };
    // One timer tick. repeatLimit is the repeat spinner's value as it stands
    // now; with it reached (and not repeating forever) the tick does nothing.
    Tick OnTick(const StepArrays& arrays, bool repeatForever, int repeatLimit);

    bool Running() const { return running_; }
    int Output() const { return output_; }   // of the current or last run
    QString RunPrefix() const { return prefix_; }
    int RunStepCount() const { return stepCount_; }
    int NextStep() const { return nextStep_; }
    int RunTicks() const { return runTicks_; }
    int RepeatsDone() const { return repeatsDone_; }

    // The step last sent (0: none yet) and the repetition it belongs to, from 1.
    struct Position {
        int Step = 0;
        int Repetition = 1;
    };
    Position LastSent() const;

    // The repeat setting changed: counting starts again.
    void ResetRepeatsDone() { repeatsDone_ = 0; }
    bool Finished(bool repeatForever, int repeatLimit) const
    {
        return !repeatForever && repeatsDone_ >= repeatLimit;
    }

private:
    bool running_ = false;
    int output_ = 0;
    QString prefix_;
    int stepCount_ = 0;
    int nextStep_ = 1;
    int runTicks_ = 0;
    int repeatsDone_ = 0;
};

// What the operator is told when the line is lost under a run on `output`.
QString RunLostMessage(int output, RunEngine::Position at);
