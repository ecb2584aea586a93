// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/DeviceBinding.h"
#include <QFileInfo>
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
