// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// Framing of the line as the port dialog composes it and the port reads it back.
struct PortSettings {
    int Baud = 19200;
    QChar Parity = QLatin1Char('N');
    int DataBits = 8;
    int StopBits = 1;

    // Accepts "19200,N,8,1" with optional blanks around each field
    // (the dialog writes " 9600,E, 7, 2"). Returns false and leaves *out
    // untouched when the text is not four such fields.
    static bool Parse(const QString& text, PortSettings* out);
    QString ToText() const;   // normalised: "19200,N,8,1"
    bool operator==(const PortSettings& o) const {
        return Baud == o.Baud && Parity == o.Parity && DataBits == o.DataBits && StopBits == o.StopBits;
    }
};

// Flow-control modes, numbered as the port reports them.
namespace Handshake {
constexpr int None = 0;
constexpr int XonXoff = 1;
constexpr int RtsCts = 2;
constexpr int RtsXonXoff = 3;
}
