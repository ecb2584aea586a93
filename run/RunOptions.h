// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>
#include <optional>

#include "link/PortChoices.h"

// How a run ended, as the shell reads it.
namespace RunExit {
constexpr int Done = 0;
constexpr int Tripped = 1;        // a limit tripped, the supply reported errors, records were lost
constexpr int Usage = 2;          // a wrong command line or a pattern file that cannot be read
constexpr int PortUnavailable = 3;
constexpr int PortLost = 4;       // during a pattern run, which never restarts by itself
constexpr int Interrupted = 130;  // SIGINT or SIGTERM
}

enum class RunJob { Help, Version, Pattern, Monitor };

// Everything the command line chose; what it left out holds the console's defaults.
struct RunOptions {
    RunJob Job = RunJob::Help;
    QString PatternPath;
    int Output = 1;                  // pattern: P1 or P2
    int Repeat = 1;                  // pattern: 1..100, or 0 for ever (the repeat spinner's value)
    bool DualLayout = false;         // monitor: two outputs
    bool NewModel = true;
    int IntervalMs = 500;            // monitor: the log interval, the console's 500..60000
    qint64 ForMs = 0;                // monitor: 0 runs until a signal
    QString LogFolder;               // empty: the console's rule
    int PortNumber = 1;
    QString PortPath;                // a device path instead of COM n
    CommInitChoices Choices;         // baud, framing and flow as the port dialog keeps them
    bool Quiet = false;
    bool OffOnStop = false;
    std::optional<int> MeasureMs;
    std::optional<double> LimitVoltage, LimitCurrent;
    QString ReportPath;
};

// The command line after the program's name. On a mistake, *error says which
// option and why, in one line, and the result is nothing.
std::optional<RunOptions> ParseRunOptions(const QStringList& arguments, QString* error);

// "8h", "90m", "45s", "1h30m", or plain seconds, as milliseconds; nothing
// when the text is not a positive duration.
std::optional<qint64> ParseDuration(const QString& text);

// What --help prints, the exit codes included.
QString RunHelpText();
