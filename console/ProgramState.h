// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

#include "link/PortChoices.h"
#include "link/ReceiveParser.h"
#include "pattern/PatternState.h"

// Everything the program keeps between events, made once in main() and handed
// to each window by reference, so every test can start from a fresh one.
struct ProgramState {
    QString SendText;
    int RepeatIdle = -1;
    ReceiveState Receive;   // LineBuffer, PollIndex, MessageLineCount
    CommInitChoices Dialog;
    PatternState Pattern;   // Steps, PreviewMaxTime, LastSaveName
};
