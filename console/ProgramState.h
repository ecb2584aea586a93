#pragma once
#include <QString>

#include "link/CommInit.h"
#include "link/ReceiveParser.h"

// Everything the program keeps between events, made once in main() and handed
// to each window by reference, so every test can start from a fresh one.
struct ProgramState {
    QString SendText;
    int RepeatIdle = -1;
    ReceiveState Receive;   // LineBuffer, PollIndex, MessageLineCount
    CommInitChoices Dialog;
    float PreviewMaxTime = 0;   // the last preview's largest step time
    QString LastSaveName;       // presets the next pattern save dialog
};
