// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/DeviceBinding.h"
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

namespace {
int DeviceRank(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    if (name.startsWith(QLatin1String("ttyUSB")) || name.startsWith(QLatin1String("ttyACM")))
        return 0;
    if (name.startsWith(QLatin1String("ttyS")))
        return 1;
    return 2;
}

// ttyUSB2 before ttyUSB10: compare the name's stem, then its trailing number.
bool NaturalLess(const QString& a, const QString& b)
{
    auto split = [](const QString& s) {
        int i = s.size();
        while (i > 0 && s.at(i - 1).isDigit())
            --i;
        return std::make_pair(s.left(i), s.mid(i).isEmpty() ? -1 : s.mid(i).toLongLong());
    };
    const auto sa = split(a), sb = split(b);
    if (sa.first != sb.first)
        return sa.first < sb.first;
    return sa.second < sb.second;
}
}

QStringList OrderSerialDevices(const QStringList& devices)
{
    QStringList ordered = devices;
    std::stable_sort(ordered.begin(), ordered.end(), [&](const QString& a, const QString& b) {
        const int ra = DeviceRank(a), rb = DeviceRank(b);
        if (ra != rb)
            return ra < rb;
        return NaturalLess(a, b);
    });
    return ordered;
}

QString BindDevice(int n, const QString& envValue, const QStringList& ordered, bool windows)
{
    if (!envValue.isEmpty())
        return envValue;
    if (windows)
        return QStringLiteral("COM%1").arg(n);
    if (n >= 1 && n <= ordered.size())
        return ordered.at(n - 1);
    return QStringLiteral("/dev/ttyS%1").arg(n - 1);
}

NetworkAddress ParseNetworkAddress(const QString& device)
{
    NetworkAddress address;
    QString rest;
    for (const auto& [scheme, kind] : {std::pair{QLatin1String("tcp://"), NetworkKind::Raw},
                                       std::pair{QLatin1String("rfc2217://"), NetworkKind::Rfc2217}})
        if (device.startsWith(scheme, Qt::CaseInsensitive)) {
            address.Kind = kind;
            rest = device.mid(scheme.size());
        }
    if (address.Kind == NetworkKind::None)
        return address;
    const qsizetype colon = rest.lastIndexOf(QLatin1Char(':'));
    QString host = rest.left(colon);
    const QString port = colon < 0 ? QString() : rest.mid(colon + 1);
    const bool bracketed = host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']'));
    if (bracketed)
        host = host.mid(1, host.size() - 2);
    bool ok = false;
    const uint number = port.toUInt(&ok);
    // Digits only: toUInt would take "+80" or " 80". An unbracketed colon
    // would make "::1:80" ambiguous, and a slash or blank is no host at all.
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,5}$"));
    static const QRegularExpression name(QStringLiteral("^[A-Za-z0-9._-]+$"));
    static const QRegularExpression ipv6(QStringLiteral("^[0-9A-Fa-f:.]*:[0-9A-Fa-f:.]*$"));
    const bool hostOk = (bracketed ? ipv6 : name).match(host).hasMatch();
    if (ok && number >= 1 && number <= 65535 && digits.match(port).hasMatch() && hostOk) {
        address.Host = host;
        address.Port = quint16(number);
    }
    return address;
}
