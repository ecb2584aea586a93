// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The trend plot beside the console: it records from the start, only
// listens, and its window opens on demand.
#include <QElapsedTimer>
#include <QPushButton>
#include <QRadioButton>
#include <memory>

#include "console/frmMain.h"
#include "plot/PlotWindow.h"
#include "plot/Readings.h"

void frmMain::ConnectPlot()
{
    auto monotonic = std::make_shared<QElapsedTimer>();
    monotonic->start();
    plotReadings_ = std::make_unique<LiveReadings>([monotonic] { return monotonic->elapsed(); },
                                                   [] { return QDateTime::currentDateTime(); });
    LiveReadings* readings = plotReadings_.get();
    connect(this, &frmMain::ReadoutShown, this,
            [readings](Readout which, const QString& text) { readings->ReadoutShown(which, text); });
    connect(this, &frmMain::ReadingsInterrupted, this, [readings] { readings->Interrupted(); });
    for (QRadioButton* option : {OptionSingle, OptionDual, OptionLineCmd, OptionMonitorCmd, OptionSetCmd,
                                 OptionPatternCmd})
        connect(option, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                emit ReadingsInterrupted();
        });
    // Runs after the port dialog has closed: the port may have been reopened elsewhere.
    connect(CmdComport, &QPushButton::clicked, this, &frmMain::ReadingsInterrupted);
    connect(CmdGraph, &QPushButton::clicked, this, &frmMain::CmdGraph_Click);
}

void frmMain::CmdGraph_Click()
{
    // No parent: a disabled console (the pattern window open) leaves the plot usable.
    if (!plotWindow_)
        plotWindow_ = std::make_unique<PlotWindow>(*plotReadings_, services_);
    plotWindow_->show();
    plotWindow_->raise();
    plotWindow_->activateWindow();
}
