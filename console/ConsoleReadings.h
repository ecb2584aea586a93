// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>
#include <QString>
#include <array>

#include "core/Clock.h"
#include "link/ReceiveParser.h"

// One readout as data: the reply exactly as it came (its carriage return
// too, when the supply sends one) and the monotonic time it arrived.
struct Reading {
    QString Text = QStringLiteral("00.000");
    qint64 ArrivedAt = -1;   // never, while it still shows its start caption
};

// The console's eight readouts, measured and set values of P1 and P2. The
// receive routing writes them; the readout labels, the measurement log and
// the trend plot observe them, so none of them reads another's controls.
class ConsoleReadings : public QObject {
    Q_OBJECT
public:
    explicit ConsoleReadings(MonotonicClock clock, QObject* parent = nullptr);

    const Reading& Of(Readout which) const { return readings_[int(which)]; }
    void Arrive(Readout which, const QString& text);
    // The readings stop here (a mode or layout change, the port dialog, a
    // lost port), so that nothing joins the readings on either side.
    void Interrupt() { emit Interrupted(); }

signals:
    void Arrived(Readout which, const QString& text, qint64 at);
    void Interrupted();

private:
    MonotonicClock clock_;
    std::array<Reading, 8> readings_;
};

// Measured readouts come first, in the order the receive routing fills them.
inline bool IsMeasured(Readout which)
{
    return which == Readout::P1Voltage || which == Readout::P1Current || which == Readout::P2Voltage
        || which == Readout::P2Current;
}

// The plot's series a readout belongs to: 0 and 1 are P1's voltage and
// current, 2 and 3 P2's; a set value belongs to the series it sets.
inline int OutputSeries(Readout which)
{
    switch (which) {
    case Readout::P1Voltage: case Readout::P1SetVoltage: return 0;
    case Readout::P1Current: case Readout::P1SetCurrent: return 1;
    case Readout::P2Voltage: case Readout::P2SetVoltage: return 2;
    case Readout::P2Current: case Readout::P2SetCurrent: return 3;
    }
    return 0;
}
