// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/QueryBatch.h"

namespace {

QString BuildBatch(const QString& voltageQuery, const QString& currentQuery, bool singleLayout)
{
    QString batch;
    const int outputs = singleLayout ? 1 : 2;
    for (int output = 1; output <= outputs; ++output) {
        const QString target = QStringLiteral(" P%1\n").arg(output);
        batch += voltageQuery + target;
        batch += currentQuery + target;
    }
    return batch;
}

} // namespace

QString BuildMonitorBatch(bool singleLayout, bool newModel)
{
    if (newModel)
        return BuildBatch(QStringLiteral("MEAS:VOLTA?"), QStringLiteral("MEAS:CURRA?"), singleLayout);
    return BuildBatch(QStringLiteral("MEAS:VOLT?"), QStringLiteral("MEAS:CURR?"), singleLayout);
}

QString BuildSetMonitorBatch(bool singleLayout)
{
    return BuildBatch(QStringLiteral("SOUR:VOLT?"), QStringLiteral("SOUR:CURR?"), singleLayout);
}

int PollIntervalMs(bool singleLayout)
{
    return singleLayout ? 200 : 400;
}
