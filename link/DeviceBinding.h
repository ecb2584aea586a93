// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>

// Which operating-system device "COM n" stands for. The operator only ever
// picks a number; a bench may have USB adapters, on-board UARTs or, for
// practice, the simulated supply's pseudo-terminal.

// USB and ACM adapters first, each by name in natural order (ttyUSB2 before
// ttyUSB10), then the on-board ttyS ports, then anything else.
QStringList OrderSerialDevices(const QStringList& devices);

// n is 1-based. envValue is TARVIO_COMn (empty when unset); ordered is the
// result of OrderSerialDevices over what the machine really has.
QString BindDevice(int n, const QString& envValue, const QStringList& ordered, bool windows);
