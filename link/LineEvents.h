// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QList>
#include <QString>

#include "core/Outcome.h"

// The operator's message for a line event, or an empty text for the events
// that show nothing (transmit, receive, the quieter line-state changes).
QString LineEventMessage(int code);

// Error and line-state counters of a UART, as the kernel keeps them.
struct LineCounters {
    quint32 Cts = 0, Dsr = 0, Ring = 0, Dcd = 0;
    quint32 Frame = 0, Overrun = 0, Parity = 0, Break = 0, BufOverrun = 0;
};

// The line events that happened between two readings of the counters, one
// event per counter that moved (a burst of a thousand framing errors is one line).
QList<int> LineEventsBetween(const LineCounters& before, const LineCounters& after);

// Why a device would not open, as far as the operator can act on it.
enum class OpenError { NotFound, Busy, PermissionDenied, Other };

// The failures the operator must act on, in the operator's words. An open
// failure keeps the system's words as its detail.
Outcome OpenFailure(OpenError error, const QString& device, const QString& detail);
QString DeviceLostMessage(const QString& device, const QString& reason);
