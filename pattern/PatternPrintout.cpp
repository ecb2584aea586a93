// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "pattern/PatternPrintout.h"

#include <QCoreApplication>

#include "pattern/PatternTable.h"

QString ComposePrintListing(const PatternTable& table)
{
    const QString rule(32, QLatin1Char('='));
    const QString end = QStringLiteral("\r\n");
    const QString gap = QStringLiteral("   ");
    QString listing = rule + end
        + QStringLiteral(" No.") + QCoreApplication::translate("PatternPrintout", " 시간(초)") + QCoreApplication::translate("PatternPrintout", " 전압(V) ") + QCoreApplication::translate("PatternPrintout", "전류(A)") + end
        + rule + end;
    const int steps = table.LeadingCompleteSteps();
    for (int n = 1; n <= steps; ++n) {
        const PatternStep step = table.Step(n);
        listing += QStringLiteral("  ") + QString::number(n) + gap + step.Time + gap + step.Voltage + gap + step.Current + end;
    }
    return listing + rule + end;
}
