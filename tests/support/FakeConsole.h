// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include "console/ProgramState.h"
#include "console/frmMain.h"
#include "platform/Controls.h"
#include "support/Fakes.h"

// The console window on a fake port, shown; its log goes to a scratch folder
// and its clock stands at 9 March 2005, 14:05:07.
struct FakeConsole {
    ProgramState state;
    FakeSerialPort port;
    FakeServices services;
    frmMain window{state, port, services};
    QTemporaryDir logDir;

    explicit FakeConsole(bool open = true)
    {
        window.Controller().LogFolder = logDir.path();
        window.Controller().LogClock = [] { return QDateTime(QDate(2005, 3, 9), QTime(14, 5, 7)); };
        window.show();
        if (open)
            OpenPort();
    }
    // As the port dialog leaves things after 열기, then the return to the console.
    void OpenPort()
    {
        port.Open();
        window.Form_Activate();
    }
    QString Info() const { return FindControl<TextPanel>(window, "TextInfo")->toPlainText(); }
};
