// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "link/PortChoices.h"
#include "pattern/PatternState.h"

// What outlives every window of the program, made once in main() and handed
// to each window by reference, so every test can start from a fresh one. The
// rest of the state lives with the object that uses it: the console's
// session (SendText, RepeatIdle, the receive state) and each window's own.
struct ProgramState {
    CommInitChoices Dialog;
    PatternState Pattern;   // PreviewMaxTime, LastSaveName
};
