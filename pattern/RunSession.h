// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <functional>

// What a measured pattern run needs of the console's session besides the
// port: which queries the model takes, a first look at each reply line, the
// readings its replies go into, the message panel and the log folder. The
// console's session (ConsoleController) is one, in the window and in tarvio-run.
class RunSession {
public:
    virtual ~RunSession() = default;
    virtual bool NewModelSelected() const = 0;
    // Every reply line is offered to the tap first (its CR kept); a line it
    // claims goes nowhere else. An empty tap ends that.
    virtual void TapReplies(std::function<bool(const QString& line)> tap) = 0;
    // A measured value of output 1 or 2, exactly as it came, into the readings.
    virtual void Measured(int output, bool current, const QString& text) = 0;
    // One line in the message panel.
    virtual void Tell(const QString& line) = 0;
    // Where the run's report goes: the measurement log's folder.
    virtual QString ReportFolder() = 0;
};
