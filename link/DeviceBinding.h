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

// A serial line on a device server: "tcp://HOST:PORT" for a raw TCP stream,
// "rfc2217://HOST:PORT" for Telnet with the com port option. HOST is a name,
// an IPv4 address or an IPv6 address in brackets. Anything else is a device path.
enum class NetworkKind { None, Raw, Rfc2217 };
struct NetworkAddress {
    NetworkKind Kind = NetworkKind::None;
    QString Host;
    quint16 Port = 0;   // 0: the scheme was there but the address after it is not one
    bool Valid() const { return Kind != NetworkKind::None && Port != 0; }
};
NetworkAddress ParseNetworkAddress(const QString& device);
