// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/LineStatusMonitor.h"

#include <QSerialPort>

#ifdef Q_OS_LINUX
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif

LineStatusMonitor::LineStatusMonitor(QSerialPort* port, QObject* parent) : QObject(parent), port_(port)
{
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(PollMs);
    connect(&timer_, &QTimer::timeout, this, &LineStatusMonitor::Poll);
}

bool LineStatusMonitor::ReadCounters(LineCounters* out) const
{
#ifdef Q_OS_LINUX
    if (!port_->isOpen())
        return false;
    serial_icounter_struct c{};
    if (::ioctl(static_cast<int>(port_->handle()), TIOCGICOUNT, &c) != 0)
        return false;
    out->Cts = c.cts;
    out->Dsr = c.dsr;
    out->Ring = c.rng;
    out->Dcd = c.dcd;
    out->Frame = c.frame;
    out->Overrun = c.overrun;
    out->Parity = c.parity;
    out->Break = c.brk;
    out->BufOverrun = c.buf_overrun;
    return true;
#else
    Q_UNUSED(out);
    return false;
#endif
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
