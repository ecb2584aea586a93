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

// Why a device server's connection did not become a line: the address is
// none, its name is unknown, nothing listens there, no route leads there, no
// answer within the connect timeout, or the server hung up before the line
// settled (its own words, if it said any, are the detail).
enum class ConnectError { BadAddress, UnknownHost, Refused, Unreachable, TimedOut, ClosedAtOnce, Other };
Outcome ConnectFailure(ConnectError error, const QString& address, const QString& host, const QString& detail);
// Told once when a network port opens whose far line the dialog's settings do
// not reach: a raw TCP stream, or a server that did not take the com port option.
QString RawNetworkNote(const QString& address);
QString ComPortRefusedNote(const QString& address);
