// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The port dialog: what it shows on opening, what it remembers, and how it
// opens, closes and refuses.
#include <QApplication>
#include <QTimer>

#include "platform/CommInit.h"
#include "support/FakeConsole.h"
#include "support/FakeConsoleView.h"

namespace {
struct Dialog {
    FakeSerialPort port;
    FakeServices services;
    CommInitChoices choices;
    FakeConsoleView console;
    ConsoleController controller{choices, port, console};
    CommInit dialog{port, choices, services, controller};

    QStringList Selected() const
    {
        QStringList names;
        for (QRadioButton* r : dialog.findChildren<QRadioButton*>())
            if (r->isChecked())
                names << r->objectName();
        names.sort();
        return names;
    }
};

void Click(QRadioButton* option)
{
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(5, option->height() / 2));
}
}

class TestPortDialog : public QObject {
    Q_OBJECT
private slots:
    void OpenWithChosenFramingReopenAndClose()
    {
        Dialog d;
        d.dialog.Form_Load();
        QCOMPARE(d.Selected(), (QStringList{"Baud19200", "Com1", "Data8bit", "Flow_rtscts", "NoneParity", "Stop1bit"}));
        QVERIFY(!FindControl<QRadioButton>(d.dialog, "Flowcntlxonoff")->isEnabled());
        QVERIFY(!FindControl<QRadioButton>(d.dialog, "Flow_both")->isEnabled());
        for (QRadioButton* option : {FindControl<QRadioButton>(d.dialog, "Baud9600"), FindControl<QRadioButton>(d.dialog, "EvenParity"), FindControl<QRadioButton>(d.dialog, "Data7bit"), FindControl<QRadioButton>(d.dialog, "Stop2bit")})
            Click(option);
        d.dialog.CommInit_OK_Click();
        QVERIFY(d.port.IsOpen());
        QCOMPARE(d.port.PortNumber(), 1);
        QCOMPARE(d.port.Settings(), QStringLiteral("9600,E,7,2"));
        QCOMPARE(d.port.Handshaking(), 2);
        QCOMPARE(d.console.State, PortState::Open);
        QCOMPARE(d.console.SendButton, 1);
        QVERIFY(d.services.Messages.isEmpty());

        d.dialog.Form_Load();
        QCOMPARE(d.Selected(), (QStringList{"Baud9600", "Com1", "Data7bit", "EvenParity", "Flow_rtscts", "Stop2bit"}));
        // Open on an open port only tells the operator.
        Click(FindControl<QRadioButton>(d.dialog, "Baud300"));
        d.dialog.CommInit_OK_Click();
        QCOMPARE(d.services.Messages, QStringList{"통신포트가 이미 열려 있습니다."});
        QCOMPARE(d.port.Settings(), QStringLiteral("9600,E,7,2"));
        QCOMPARE(d.port.Opens, 1);
        QVERIFY(d.port.IsOpen());

        d.dialog.CommInit_Close_Click();
        QVERIFY(!d.port.IsOpen());
        QCOMPARE(d.console.State, PortState::Closed);
        QCOMPARE(d.console.SendButton, 0);
    }

    void CancelledClicksAreStillRemembered()
    {
        Dialog d;
        d.dialog.Form_Load();
        Click(FindControl<QRadioButton>(d.dialog, "OddParity"));
        Click(FindControl<QRadioButton>(d.dialog, "Com3"));
        d.dialog.CommInit_Cancel_Click();
        QVERIFY(!d.port.IsOpen());
        QCOMPARE(d.port.Settings(), QStringLiteral("19200,N,8,1"));
        d.dialog.Form_Load();
        // Parity comes from the remembered choice; the port number from the port itself.
        QCOMPARE(d.Selected(), (QStringList{"Baud19200", "Com1", "Data8bit", "Flow_rtscts", "OddParity", "Stop1bit"}));
    }

    void FailedOpenLeavesThePortClosedAndSaysWhy()
    {
        static const struct { OpenError error; const char* hint; } rows[] = {
            {OpenError::NotFound, "장치가 없습니다"}, {OpenError::PermissionDenied, "dialout"}, {OpenError::Other, "strange failure"}};
        for (const auto& r : rows) {
            Dialog d;
            d.port.NextOpen = OpenFailure(r.error, d.port.DeviceFor(1), QStringLiteral("strange failure"));
            d.dialog.Form_Load();
            d.dialog.CommInit_OK_Click();
            QVERIFY2(!d.port.IsOpen() && d.console.SendButton != 1, r.hint);
            const QString told = d.services.Messages.value(0);
            QVERIFY2(told.contains(QStringLiteral("/dev/fake1")) && told.contains(QString::fromUtf8(r.hint)), qPrintable(told));
        }
    }

    void ReturnFromTheDialogRefreshesTheConsole()
    {
        FakeConsole c(false);
        // Answer the modal dialog from inside its own loop, as the operator would.
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<CommInit*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            Click(FindControl<QRadioButton>(*dialog, "Com2"));
            Click(FindControl<QRadioButton>(*dialog, "Baud2400"));
            FindControl<QPushButton>(*dialog, "CommInit_OK")->click();
        });
        c.window.CmdComport_Click();
        QCOMPARE(FindControl<QLabel>(c.window, "sbrComm")->text(), QStringLiteral("COM 2 : 2400,N,8,1"));
        QVERIFY(FindControl<QGroupBox>(c.window, "FrameRedo")->isEnabled());
        QCOMPARE(FindControl<QLabel>(c.window, "LabelComportOpen")->text(), QStringLiteral("열렸음"));
        QVERIFY(FindControl<QPushButton>(c.window, "CmdStartStop")->isEnabled());
    }
};

QTEST_MAIN(TestPortDialog)
#include "test_port_dialog.moc"
