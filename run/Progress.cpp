// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/Progress.h"

#include "link/ReconnectWatch.h"

namespace {
QString Reading(const QString& text)
{
    // A reply keeps its line end in the readouts; a progress line does not.
    const QString t = text.trimmed();
    return t.isEmpty() ? QStringLiteral("-") : t;
}
}

QString FormatPatternProgress(const PatternProgress& p)
{
    const QString of = p.Repetitions == 0 ? QStringLiteral("∞") : QString::number(p.Repetitions);
    QString line = QStringLiteral("repetition %1/%2  step %3/%4  %5")
                       .arg(p.Repetition)
                       .arg(of)
                       .arg(p.Step)
                       .arg(p.Steps)
                       .arg(FormatDuration(p.ElapsedMs));
    if (!p.Voltage.isEmpty() || !p.Current.isEmpty())
        line += QStringLiteral("  %1 V  %2 A").arg(Reading(p.Voltage), Reading(p.Current));
    return line;
}

QString FormatMonitorProgress(const MonitorProgress& p)
{
    QString line = QStringLiteral("%1  %2 records  P1 %3 V %4 A")
                       .arg(FormatDuration(p.ElapsedMs))
                       .arg(p.Records)
                       .arg(Reading(p.Readings[0]), Reading(p.Readings[1]));
    if (p.Dual)
        line += QStringLiteral("  P2 %1 V %2 A").arg(Reading(p.Readings[2]), Reading(p.Readings[3]));
    return line;
}

void ProgressOutput::Write(const QString& text)
{
    std::fputs(text.toUtf8().constData(), out_);
    std::fflush(out_);
}

void ProgressOutput::ClearStatus()
{
    if (statusShown_)
        Write(QStringLiteral("\r\x1b[K"));
    statusShown_ = false;
}

void ProgressOutput::Status(const QString& text)
{
    if (quiet_ || !terminal_ || (statusShown_ && text == status_))
        return;
    status_ = text;
    Write(QStringLiteral("\r") + text + QStringLiteral("\x1b[K"));
    statusShown_ = true;
}

void ProgressOutput::Milestone(const QString& text)
{
    // On a terminal the status line already says it.
    if (quiet_ || terminal_)
        return;
    Write(text + QLatin1Char('\n'));
}

void ProgressOutput::Message(const QString& text)
{
    const bool redraw = statusShown_;
    ClearStatus();
    Write(text + QLatin1Char('\n'));
    if (redraw) {
        Write(status_ + QStringLiteral("\x1b[K"));
        statusShown_ = true;
    }
}

void ProgressOutput::Closing(const QString& text)
{
    if (!quiet_)
        Message(text);
}

void ProgressOutput::Finish()
{
    if (statusShown_)
        Write(QStringLiteral("\n"));
    statusShown_ = false;
}
