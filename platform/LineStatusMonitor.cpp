// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/LineStatusMonitor.h"

#include <QSerialPort>

#include "platform/System.h"

LineStatusMonitor::LineStatusMonitor(QSerialPort* port, QObject* parent) : QObject(parent), port_(port)
{
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(PollMs);
    connect(&timer_, &QTimer::timeout, this, &LineStatusMonitor::Poll);
}

bool LineStatusMonitor::ReadCounters(LineCounters* out) const
{
    return ReadLineCounters(*port_, out);
}

void LineStatusMonitor::Start()
{
    if (ReadCounters(&last_))
        timer_.start();
}

void LineStatusMonitor::Stop()
{
    timer_.stop();
}

void LineStatusMonitor::Poll()
{
    LineCounters now;
    if (!ReadCounters(&now)) {
        timer_.stop();
        return;
    }
    const QList<int> codes = LineEventsBetween(last_, now);
    last_ = now;
    for (int code : codes)
        emit LineEvent(code);
}
