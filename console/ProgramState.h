#pragma once
#include <QString>

#include "link/PortChoices.h"
#include "link/ReceiveParser.h"
#include "pattern/StepArrays.h"

// Everything the program keeps between events, made once in main() and handed
// to each window by reference, so every test can start from a fresh one.
struct ProgramState {
    QString SendText;
    int RepeatIdle = -1;
    ReceiveState Receive;   // LineBuffer, PollIndex, MessageLineCount
    CommInitChoices Dialog;
    StepArrays Steps;           // StepTime, StepVoltage, StepCurrent
    float PreviewMaxTime = 0;   // the last preview's largest step time
    QString LastSaveName;       // presets the next pattern save dialog
};
