// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

#include "core/Outcome.h"

// The dialog's remembered choices; they outlive the dialog and every opening.
struct CommInitChoices {
    int SelectedPort = 0;
    int SelectedBaud = 0;
    int SelectedFlow = 0;
    QString SelectedParity;
    int SelectedDataBits = 0;
    int SelectedStopBits = 0;
    // Reopen a lost device by itself when it comes back.
    bool AutoReconnect = true;
};

// The dialog's option groups, each a row of mutually exclusive options.
enum class ChoiceGroup { Port, Baud, Parity, DataBits, StopBits, Flow };
constexpr int ChoiceGroupCount = 6;

// How many options a group offers, in the dialog's order (COM 1..4; 300..19200 bps;
// None, Odd, Even; 7, 8 bits; 1, 2 bits; None, XON/XOFF, RTS/CTS, both).
int ChoiceCount(ChoiceGroup group);

// Stores what option `index` of `group` stands for in the remembered choices.
// The one place that knows which value each option means.
void RecordChoice(CommInitChoices& choices, ChoiceGroup group, int index);

// The option index per group the dialog shows on opening; -1 would mean none,
// which the design defaults never leave.
struct DialogSelection {
    int Index[ChoiceGroupCount] = {0, 6, 0, 1, 0, 2};   // COM 1, 19200, N, 8, 1, RTS/CTS
    int operator[](ChoiceGroup g) const { return Index[int(g)]; }
};

// The dialog's load: the port number, baud rate and flow control are read
// back from the port (and remembered), parity and the bit counts come from
// the remembered choices. The baud rate is recognised by the leading digits
// of the settings text's first three characters, so "1200" and "120" both
// mean 1200 bps; anything not listed keeps the design default.
DialogSelection LoadDialogChoices(CommInitChoices& choices, int portNumber, const QString& settings,
                                  int handshaking);

// Composes the settings text the port is given: "<b>,<p>,<d>,<s>" with the
// blank the number-to-text conversion reserves for a sign before each number.
QString ComposeSettingsText(int baud, const QString& parity, int dataBits, int stopBits);
QString ComposeSettingsText(const CommInitChoices& choices);

// What the port dialog asks of the port's owner: 열기 on a closed port with
// the choices as they now stand, and 닫기, whether or not the port is open.
class PortRequests {
public:
    virtual ~PortRequests() = default;
    virtual Outcome OpenRequested(const CommInitChoices& choices) = 0;
    virtual void CloseRequested() = 0;
};
