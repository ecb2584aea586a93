// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/ReferenceTexts.h"

#include <QStringList>
#include <algorithm>

#include "console/CommandTable.h"

namespace {
const QString LineEnd = QStringLiteral("\r\n");
constexpr int CommandColumn = 16;
constexpr int ErrorColumn = 20;

QStringList CommandLines()
{
    QList<CommandEntry> entries = CommandTable();
    std::sort(entries.begin(), entries.end(),
              [](const CommandEntry& a, const CommandEntry& b) { return a.ListPosition < b.ListPosition; });
    QStringList lines;
    for (const CommandEntry& e : entries)
        lines << DashedLead(e.Keyword, CommandColumn) + TableText(e.ListText);
    return lines;
}

QStringList ErrorLines()
{
    QStringList lines;
    for (const ErrorEntry& e : ErrorTable())
        lines << DashedLead(e.Error, ErrorColumn) + TableText(e.MeaningText);
    return lines;
}

QStringList ModelLines()
{
    QStringList lines;
    for (const ModelSeries& series : ModelList()) {
        if (!lines.isEmpty())
            lines << QString();
        lines << series.Banner << QString();
        int number = 0;
        for (const auto& [model, rating] : series.Models) {
            ++number;
            // Numbers 1 to 9 take two blanks after their point, so every model starts in column 6.
            lines << QStringLiteral(" %1.%2%3 (%4)")
                         .arg(number)
                         .arg(number < 10 ? QStringLiteral("  ") : QStringLiteral(" "), model, rating);
        }
    }
    return lines;
}
}

QString DashedLead(const QString& keyword, int descriptionColumn)
{
    const int dashes = std::max(1, descriptionColumn - 1 - int(keyword.size()) - 2);
    return keyword + QLatin1Char(' ') + QString(dashes, QLatin1Char('-')) + QLatin1Char(' ');
}

QString ReferenceText(ReferenceList list)
{
    switch (list) {
    case ReferenceList::Commands:
        return CommandLines().join(LineEnd);
    case ReferenceList::Errors:
        return ErrorLines().join(LineEnd) + LineEnd;
    case ReferenceList::Models:
        return ModelLines().join(LineEnd);
    }
    return QString();
}
