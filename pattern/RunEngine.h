// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>

#include "pattern/PatternTable.h"
#include "pattern/StepNumbers.h"

// Pattern time credited per tick: the run timer fires every 55 ms, so the
// credited time is the time that really passed.
constexpr double TickSeconds = 0.055;
constexpr int RunTimerMs = 55;

// Plays a pattern on one output: at each timer tick decides whether the next
// step is due and which command it sends, and counts repetitions. It owns
// the steps it plays: editing the table during a run changes nothing.
class RunEngine {
public:
    // Takes the table's leading complete steps (each cell read with
    // LeadingNumber) and starts counting from step 1. False, with the run
    // state untouched, when row 1 is incomplete: there is nothing to play.
    bool Start(const PatternTable& table, int output /*1 or 2*/);
    bool Start(std::vector<StepNumbers> steps, int output);
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
    Tick OnTick(bool repeatForever, int repeatLimit);

    bool Running() const { return running_; }
    int Output() const { return output_; }   // of the current or last run
    const std::vector<StepNumbers>& Steps() const { return steps_; }
    int RunStepCount() const { return int(steps_.size()); }
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
    // The next OnTick with these settings will send a step.
    bool StepDueNextTick(bool repeatForever, int repeatLimit) const;

private:
    bool running_ = false;
    int output_ = 0;
    QByteArray prefix_;
    std::vector<StepNumbers> steps_;
    int nextStep_ = 1;
    int runTicks_ = 0;
    int repeatsDone_ = 0;
};

// What the operator is told when the line is lost under a run on `output`.
QString RunLostMessage(int output, RunEngine::Position at);
