// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// The eight numeric captions of the main window that reply lines can land in.
enum class Readout {
    P1Voltage, P1Current, P2Voltage, P2Current,
    P1SetVoltage, P1SetCurrent, P2SetVoltage, P2SetCurrent
};

// The parser's part of the program-wide state: the unfinished line, the
// position in the polling cycle, and the parser's lines now in TextInfo.
struct ReceiveState {
    QString LineBuffer;
    int PollIndex = 0;
    int MessageLineCount = 0;
};

// What the parser reads from and writes to the main window.
class ReceiveTarget {
public:
    virtual ~ReceiveTarget() = default;
    virtual bool PollTimerRunning() const = 0;       // Timer3 running
    virtual bool MonitorModeSelected() const = 0;    // OptionMonitorCmd
    virtual bool SetMonitorModeSelected() const = 0; // OptionSetCmd
    virtual bool SingleLayoutSelected() const = 0;   // OptionSingle
    virtual void ShowReadout(Readout which, const QString& text) = 0;
    virtual void InsertInfoText(const QString& text) = 0; // at TextInfo's insertion point
    virtual void ClearInfoText() = 0;
    // Offered every line first (its CR kept, its LF not): true when it
    // answered someone's own query and so goes nowhere else.
    virtual bool ClaimLine(const QString& line) { return (void)line, false; }
};

// A device that never ends its lines must not grow LineBuffer without bound:
// a character that would take the unfinished line past this length first
// routes the line as it stands (a line of exactly this length still waits
// for its own line feed, so it is never followed by a spurious empty line).
constexpr int MaxLineLength = 4096;

// Most lines the parser leaves in TextInfo before emptying it.
constexpr int MaxMessageLines = 100;

// Cuts received text into lines at each line feed (a carriage return is kept
// as an ordinary character) and routes each line by the mode, poll timer and
// layout as they are at that line feed. Text after the last line feed waits in
// state.LineBuffer for the next call.
void ReceiveParser(ReceiveState& state, ReceiveTarget& target, const QString& text);
