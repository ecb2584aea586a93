// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

#include "console/ProgramState.h"
#include "console/frmMain.h"
#include "platform/CommInit.h"
#include "platform/Controls.h"
#include "platform/QtSerialDevice.h"
#include "support/Fakes.h"
#include "support/SimProcess.h"

// The whole console on the real serial device, COM 1 bound to a simulated
// supply started with the given options; message boxes are answered by a fake.
struct ConsoleBench {
    SimProcess sim;
    ProgramState state;
    FakeServices services;
    QtSerialDevice port{[this](int n) { return n == 1 ? sim.Link() : QStringLiteral("/nonexistent/com%1").arg(n); }};
    frmMain window{state, port, services};

    explicit ConsoleBench(QStringList simArgs = {}) : sim(simArgs) { window.show(); }

    // 통신포트, then 열기, as the operator does it.
    void OpenThroughTheDialog()
    {
        QTimer::singleShot(0, [] {
            if (auto* dialog = qobject_cast<CommInit*>(QApplication::activeModalWidget()))
                FindControl<QPushButton>(*dialog, "CommInit_OK")->click();
        });
        window.CmdComport_Click();
    }
    void Send(const QString& command)
    {
        FindControl<QLineEdit>(window, "TextCommand")->setText(command);
        window.CmdStartStop_Click();
    }
    QString Info() const { return FindControl<TextPanel>(window, "TextInfo")->toPlainText(); }
};
