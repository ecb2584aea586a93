// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <cstdio>

// Where a pattern run stands, for its progress line.
struct PatternProgress {
    int Repetition = 1, Repetitions = 1;   // Repetitions 0: for ever
    int Step = 0, Steps = 0;
    qint64 ElapsedMs = 0;
    QString Voltage, Current;              // the last values sent or measured
};
// "repetition 2/5  step 3/12  00:01:23  12.5 V  1 A"
QString FormatPatternProgress(const PatternProgress& p);

// Where monitoring stands.
struct MonitorProgress {
    qint64 ElapsedMs = 0;
    qint64 Records = 0;
    bool Dual = false;
    QString Readings[4];                   // P1 V, P1 I, P2 V, P2 I as the supply sent them
};
// "00:12:00  1440 records  P1 12.000 V 1.000 A  P2 5.000 V 0.200 A"
QString FormatMonitorProgress(const MonitorProgress& p);

// stderr as the runner uses it: on a terminal one status line that is
// rewritten in place, with messages printed above it; elsewhere only the
// lines that are meant to stay. Quiet drops the progress, never a message.
class ProgressOutput {
public:
    ProgressOutput(std::FILE* out, bool terminal, bool quiet) : out_(out), terminal_(terminal), quiet_(quiet) {}
    ~ProgressOutput() { Finish(); }

    bool Terminal() const { return terminal_; }
    // The status line, shown only on a terminal.
    void Status(const QString& text);
    // A progress line that stays (a repetition done, an hour of monitoring).
    void Milestone(const QString& text);
    // Something the operator must read: a fault, a refusal, the outcome.
    void Message(const QString& text);
    // What a run leaves behind (its report and summary): on a terminal and
    // off one, but not with quiet.
    void Closing(const QString& text);
    // Leaves the status line as it last read and ends it.
    void Finish();

private:
    void Write(const QString& text);
    void ClearStatus();

    std::FILE* out_;
    bool terminal_, quiet_;
    bool statusShown_ = false;
    QString status_;
};
