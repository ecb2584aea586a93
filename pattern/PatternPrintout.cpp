#include "pattern/PatternPrintout.h"

#include "pattern/PatternTable.h"

QString ComposePrintListing(const PatternTable& table)
{
    const QString rule(32, QLatin1Char('='));
    const QString end = QStringLiteral("\r\n");
    const QString gap = QStringLiteral("   ");
    QString listing = rule + end
        + QStringLiteral(" No.") + QStringLiteral(" 시간(초)") + QStringLiteral(" 전압(V) ") + QStringLiteral("전류(A)") + end
        + rule + end;
    const int steps = table.LeadingCompleteSteps();
    for (int n = 1; n <= steps; ++n) {
        const PatternStep step = table.Step(n);
        listing += QStringLiteral("  ") + QString::number(n) + gap + step.Time + gap + step.Voltage + gap + step.Current + end;
    }
    return listing + rule + end;
}
