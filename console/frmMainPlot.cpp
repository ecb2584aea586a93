// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The trend plot beside the console: it records from the start, only
// listens, and its window opens on demand.
#include <QPushButton>
#include <memory>

#include "console/frmMain.h"
#include "plot/PlotWindow.h"
#include "plot/Readings.h"

void frmMain::ConnectPlot()
{
    // The readings' own clock, so that a sample sits where its reply arrived.
    plotReadings_ = std::make_unique<LiveReadings>(SteadyNow, LocalNow);
    LiveReadings* plot = plotReadings_.get();
    ConsoleReadings* readings = &controller_.Readings();
    connect(readings, &ConsoleReadings::Arrived, this, [plot](Readout which, const QString& text, qint64 at) {
        if (IsMeasured(which))
            plot->Measured(OutputSeries(which), text, at);
        else
            plot->SetValue(OutputSeries(which), text, at);
    });
    connect(readings, &ConsoleReadings::Interrupted, this, [plot] { plot->Interrupted(); });
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
