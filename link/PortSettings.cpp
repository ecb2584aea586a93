// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/PortSettings.h"
#include <QStringList>

bool PortSettings::Parse(const QString& text, PortSettings* out)
{
    const QStringList fields = text.split(QLatin1Char(','));
    if (fields.size() != 4)
        return false;
    bool okBaud = false, okData = false, okStop = false;
    PortSettings s;
    s.Baud = fields[0].trimmed().toInt(&okBaud);
    const QString parity = fields[1].trimmed().toUpper();
    s.DataBits = fields[2].trimmed().toInt(&okData);
    s.StopBits = fields[3].trimmed().toInt(&okStop);
    if (!okBaud || !okData || !okStop || s.Baud <= 0)
        return false;
    if (parity != QLatin1String("N") && parity != QLatin1String("O") && parity != QLatin1String("E"))
        return false;
    if (s.DataBits < 5 || s.DataBits > 8 || (s.StopBits != 1 && s.StopBits != 2))
        return false;
    s.Parity = parity.at(0);
    *out = s;
    return true;
}

QString PortSettings::ToText() const
{
    return QStringLiteral("%1,%2,%3,%4").arg(Baud).arg(Parity).arg(DataBits).arg(StopBits);
}
