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
#include "support/Ser2Net.h"
#include "support/SimProcess.h"

// How COM 1 reaches the simulated supply: its pseudo-terminal, or the real
// ser2net serving it on loopback as a raw TCP stream or with RFC 2217.
enum class Via { Pty, Tcp, Rfc2217 };
Q_DECLARE_METATYPE(Via)

// The whole console on the real serial device, COM 1 bound to a simulated
// supply started with the given options; message boxes are answered by a fake.
struct ConsoleBench {
    SimProcess sim;
    std::unique_ptr<Ser2Net> server;
    QString com1;
    ProgramState state;
    FakeServices services;
    QtSerialDevice port{[this](int n) { return n == 1 ? com1 : QStringLiteral("/nonexistent/com%1").arg(n); }};
    frmMain window{state, port, services};

    explicit ConsoleBench(QStringList simArgs = {}, Via via = Via::Pty) : sim(simArgs), com1(sim.Link())
    {
        if (via != Via::Pty && sim.Ok()) {
            server = std::make_unique<Ser2Net>(sim.Link(), via == Via::Tcp ? Ser2Net::Mode::Raw : Ser2Net::Mode::Rfc2217);
            com1 = QStringLiteral("%1://127.0.0.1:%2").arg(via == Via::Tcp ? "tcp" : "rfc2217").arg(server->Port());
        }
        window.show();
    }
    // The simulator, and ser2net in front of it when there is one, are up.
    bool Ok() { return sim.Ok() && (!server || server->Start()); }

    // 통신포트, then 열기, as the operator does it; a device server answers later.
    // Each name is an option the operator selects first.
    void OpenThroughTheDialog(const QStringList& options = {})
    {
        QTimer::singleShot(0, [options] {
            if (auto* dialog = qobject_cast<CommInit*>(QApplication::activeModalWidget())) {
                for (const QString& name : options)
                    FindControl<QRadioButton>(*dialog, qPrintable(name))->click();
                FindControl<QPushButton>(*dialog, "CommInit_OK")->click();
            }
        });
        window.CmdComport_Click();
        QTRY_VERIFY_WITH_TIMEOUT(!port.Opening(), 15000);
    }
    void Send(const QString& command)
    {
        FindControl<QLineEdit>(window, "TextCommand")->setText(command);
        window.CmdStartStop_Click();
    }
    QString Info() const { return FindControl<TextPanel>(window, "TextInfo")->toPlainText(); }
};
