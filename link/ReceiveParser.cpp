// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/ReceiveParser.h"

#include <QStringView>

namespace {

const Readout MeasuredReadouts[] = {
    Readout::P1Voltage, Readout::P1Current, Readout::P2Voltage, Readout::P2Current};
const Readout SetReadouts[] = {
    Readout::P1SetVoltage, Readout::P1SetCurrent, Readout::P2SetVoltage, Readout::P2SetCurrent};

// The k-th reply of a cycle answers the k-th query of the batch.
void RouteToReadout(ReceiveState& state, ReceiveTarget& target, const Readout* readouts)
{
    const int cycleLength = target.SingleLayoutSelected() ? 2 : 4;
    ++state.PollIndex;
    // Only a layout change between a batch and its replies gets here; dropping
    // or holding the line would merge it into the next one, so start afresh.
    if (state.PollIndex > cycleLength || state.PollIndex < 1)
        state.PollIndex = 1;
    target.ShowReadout(readouts[state.PollIndex - 1], state.LineBuffer);
    state.LineBuffer.clear();
    if (state.PollIndex == cycleLength)
        state.PollIndex = 0;
}

void RouteToMessages(ReceiveState& state, ReceiveTarget& target)
{
    // A CR LF reply is one line: the panel would show a CR of its own as a
    // second, empty one.
    QStringView line(state.LineBuffer);
    if (line.endsWith(QLatin1Char('\r')))
        line.chop(1);
    target.InsertInfoText(line.toString() + QLatin1String("\r\n"));
    state.LineBuffer.clear();
    if (++state.MessageLineCount > MaxMessageLines) {
        target.ClearInfoText();
        state.MessageLineCount = 0;
    }
}

void RouteLine(ReceiveState& state, ReceiveTarget& target)
{
    if (target.ClaimLine(state.LineBuffer)) {
        state.LineBuffer.clear();
        return;
    }
    const bool polling = target.PollTimerRunning();
    if (polling && target.MonitorModeSelected())
        RouteToReadout(state, target, MeasuredReadouts);
    else if (!polling && target.SetMonitorModeSelected())
        RouteToReadout(state, target, SetReadouts);
    else
        // Also the poll timer running outside monitor mode, which the mode
        // handlers never leave behind: showing the line beats holding it.
        RouteToMessages(state, target);
}

} // namespace

void ReceiveParser(ReceiveState& state, ReceiveTarget& target, const QString& text)
{
    const QStringView input(text);
    qsizetype pos = 0;
    while (pos < input.size()) {
        const qsizetype lineFeed = input.indexOf(QLatin1Char('\n'), pos);
        const qsizetype end = lineFeed < 0 ? input.size() : lineFeed;
        const qsizetype room = qMax<qsizetype>(0, MaxLineLength - state.LineBuffer.size());
        // A line of exactly the bound still waits for its own line feed.
        if (end - pos > room) {
            state.LineBuffer.append(input.mid(pos, room));
            pos += room;
            RouteLine(state, target);
            continue;
        }
        state.LineBuffer.append(input.mid(pos, end - pos));
        if (lineFeed < 0)
            break;
        pos = lineFeed + 1;
        RouteLine(state, target);
    }
}
