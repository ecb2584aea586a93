// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/PortChoices.h"

#include <iterator>

namespace {
constexpr int BaudRates[] = {300, 600, 1200, 2400, 4800, 9600, 19200};
const char* const ParityCodes[] = {"N", "O", "E"};
constexpr int DataBitChoices[] = {7, 8};
constexpr int StopBitChoices[] = {1, 2};
constexpr int PortCount = 4, FlowCount = 4;

QString SignedNumber(int n)
{
    return n < 0 ? QString::number(n) : QLatin1Char(' ') + QString::number(n);
}

// The leading digits of the first three characters, as the load reads the baud rate.
int FirstThreeAsNumber(const QString& text)
{
    const QString head = text.left(3).trimmed();
    int value = 0;
    for (QChar c : head) {
        if (!c.isDigit())
            break;
        value = value * 10 + c.digitValue();
    }
    return value;
}

// The first three digits of a rate, which is all the load can compare.
int FirstThreeDigits(int rate)
{
    return QString::number(rate).left(3).toInt();
}
}

int ChoiceCount(ChoiceGroup group)
{
    switch (group) {
    case ChoiceGroup::Port: return PortCount;
    case ChoiceGroup::Baud: return int(std::size(BaudRates));
    case ChoiceGroup::Parity: return int(std::size(ParityCodes));
    case ChoiceGroup::DataBits: return int(std::size(DataBitChoices));
    case ChoiceGroup::StopBits: return int(std::size(StopBitChoices));
    case ChoiceGroup::Flow: return FlowCount;
    }
    return 0;
}

void RecordChoice(CommInitChoices& choices, ChoiceGroup group, int index)
{
    if (index < 0 || index >= ChoiceCount(group))
        return;
    switch (group) {
    case ChoiceGroup::Port: choices.SelectedPort = index + 1; break;
    case ChoiceGroup::Baud: choices.SelectedBaud = BaudRates[index]; break;
    case ChoiceGroup::Parity: choices.SelectedParity = QLatin1String(ParityCodes[index]); break;
    case ChoiceGroup::DataBits: choices.SelectedDataBits = DataBitChoices[index]; break;
    case ChoiceGroup::StopBits: choices.SelectedStopBits = StopBitChoices[index]; break;
    case ChoiceGroup::Flow: choices.SelectedFlow = index; break;
    }
}

DialogSelection LoadDialogChoices(CommInitChoices& choices, int portNumber, const QString& settings,
                                  int handshaking)
{
    DialogSelection shown;
    auto select = [&](ChoiceGroup group, int index) {
        shown.Index[int(group)] = index;
        RecordChoice(choices, group, index);
    };

    choices.SelectedPort = portNumber;
    if (portNumber >= 1 && portNumber <= PortCount)
        select(ChoiceGroup::Port, portNumber - 1);

    choices.SelectedBaud = FirstThreeAsNumber(settings);
    for (int i = 0; i < int(std::size(BaudRates)); ++i)
        if (choices.SelectedBaud == FirstThreeDigits(BaudRates[i])) {
            select(ChoiceGroup::Baud, i);
            break;
        }

    choices.SelectedFlow = handshaking;
    if (handshaking >= 0 && handshaking < FlowCount)
        select(ChoiceGroup::Flow, handshaking);

    // Framing is shown as last chosen in the dialog, not as the port reports it.
    for (int i = 0; i < int(std::size(ParityCodes)); ++i)
        if (choices.SelectedParity == QLatin1String(ParityCodes[i]))
            shown.Index[int(ChoiceGroup::Parity)] = i;
    for (int i = 0; i < int(std::size(DataBitChoices)); ++i)
        if (choices.SelectedDataBits == DataBitChoices[i])
            shown.Index[int(ChoiceGroup::DataBits)] = i;
    for (int i = 0; i < int(std::size(StopBitChoices)); ++i)
        if (choices.SelectedStopBits == StopBitChoices[i])
            shown.Index[int(ChoiceGroup::StopBits)] = i;
    return shown;
}

QString ComposeSettingsText(int baud, const QString& parity, int dataBits, int stopBits)
{
    return SignedNumber(baud) + QLatin1Char(',') + parity + QLatin1Char(',') + SignedNumber(dataBits)
           + QLatin1Char(',') + SignedNumber(stopBits);
}

QString ComposeSettingsText(const CommInitChoices& choices)
{
    return ComposeSettingsText(choices.SelectedBaud, choices.SelectedParity, choices.SelectedDataBits,
                               choices.SelectedStopBits);
}
