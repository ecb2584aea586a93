// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/EnumeratedPorts.h"

#include "link/DeviceBinding.h"

QString EnumeratedPorts::PortName(const QString& path)
{
    QString name = path.trimmed();
    for (const char* prefix : {"\\\\.\\", "//./"})
        if (name.startsWith(QLatin1String(prefix)))
            name = name.mid(4);
    return name.toUpper();
}

DeviceKind EnumeratedPorts::KindOf(const QString& path) const
{
    // Whether a device server is back only a connection can tell: always worth a try.
    if (ParseNetworkAddress(path).Valid())
        return DeviceKind::Device;
    const QString wanted = PortName(path);
    for (const QString& name : present_())
        if (PortName(name) == wanted)
            return DeviceKind::Device;
    return DeviceKind::Missing;
}
