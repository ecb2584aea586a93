// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include "pattern/RunEngine.h"
#include "platform/QtSerialDevice.h"
#include "run/HeadlessConsole.h"
#include "run/Progress.h"
#include "run/RunOptions.h"
#include "run/SignalPipe.h"

// One job of tarvio-run from its start to its exit code: the port opened as
// the port dialog opens it, then the console's monitor mode, or a pattern
// played by the run engine on the pattern window's 55 ms timer. Stopping
// (the end, a signal, a lost port) sends nothing more, switches the output
// off when asked to, waits for the last bytes to leave and reports the code.
class Runner : public QObject {
    Q_OBJECT
public:
    Runner(const RunOptions& options, ProgressOutput& progress);

    // Reads the pattern file, opens the port and starts the job. An exit
    // code when it cannot start; -1 when the job runs on the event loop.
    int Start();

signals:
    void Finished(int exitCode);

private:
    // The port is open: the job itself begins.
    void Begin();
    int StartPattern();
    void PlayPattern();
    void PatternTick();
    void PatternPortLost();
    void StartMonitor();
    void ShowStatus();
    QString MonitorLine() const;
    PatternProgress PatternPosition() const;
    void End(int exitCode);
    void DrainAndFinish();

    const RunOptions options_;
    ProgressOutput& progress_;
    CommInitChoices choices_;
    QtSerialDevice port_;
    HeadlessConsole console_;
    SignalPipe signals_;
    PatternTable table_;
    RunEngine engine_;
    QTimer runTimer_, stopAfter_, hourly_, status_, drain_;
    QElapsedTimer since_, draining_;
    bool ending_ = false;
    int exitCode_ = RunExit::Done;
};
