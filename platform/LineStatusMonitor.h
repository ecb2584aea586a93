// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>
#include <QTimer>

#include "link/LineEvents.h"

class QSerialPort;

// Qt 6 no longer reports framing, parity, overrun and break, and drops bad
// bytes silently; the kernel still counts them. Polling the counters on the GUI
// thread turns their movements into line events. A device that keeps no
// counters (a pseudo-terminal) switches the monitor off without a word.
class LineStatusMonitor : public QObject {
    Q_OBJECT
public:
    static constexpr int PollMs = 150;

    explicit LineStatusMonitor(QSerialPort* port, QObject* parent = nullptr);
    void Start();   // takes the baseline; call right after a successful open
    void Stop();
    bool Active() const { return timer_.isActive(); }

signals:
    void LineEvent(int code);

private:
    bool ReadCounters(LineCounters* out) const;
    void Poll();

    QSerialPort* port_;
    QTimer timer_;
    LineCounters last_;
};
