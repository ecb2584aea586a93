// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The port dialog: what it shows on opening, what it remembers, and how it
// opens and closes.
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

void Click(QWidget& dialog, std::initializer_list<const char*> options)
{
    for (const char* name : options) {
        QRadioButton* option = FindControl<QRadioButton>(dialog, name);
        QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(5, option->height() / 2));
    }
}
}

class TestPortDialog : public QObject {
    Q_OBJECT
private slots:
    // Clicks of a cancelled dialog are remembered, the port number is the
    // port's own; 열기 opens with the chosen framing, a second 열기 only tells.
    void OpenWithChosenFramingReopenAndClose()
    {
        Dialog d;
        d.dialog.Form_Load();
        QCOMPARE(d.Selected(), (QStringList{"Baud19200", "Com1", "Data8bit", "Flow_rtscts", "NoneParity", "Stop1bit"}));
        QVERIFY(!FindControl<QRadioButton>(d.dialog, "Flowcntlxonoff")->isEnabled() && !FindControl<QRadioButton>(d.dialog, "Flow_both")->isEnabled());
        Click(d.dialog, {"OddParity", "Com3"});
        d.dialog.CommInit_Cancel_Click();
        QVERIFY(!d.port.IsOpen());
        d.dialog.Form_Load();
        QCOMPARE(d.Selected(), (QStringList{"Baud19200", "Com1", "Data8bit", "Flow_rtscts", "OddParity", "Stop1bit"}));
        Click(d.dialog, {"Baud9600", "EvenParity", "Data7bit", "Stop2bit"});
        d.dialog.CommInit_OK_Click();
        QCOMPARE(d.port.Settings(), QStringLiteral("9600,E,7,2"));
        QCOMPARE(d.port.Handshaking(), 2);
        QCOMPARE(d.console.SendButton, 1);
        QVERIFY(d.port.IsOpen() && d.services.Messages.isEmpty());
        Click(d.dialog, {"Baud300"});
        d.dialog.CommInit_OK_Click();
        QCOMPARE(d.services.Messages, QStringList{"통신포트가 이미 열려 있습니다."});
        QCOMPARE(d.port.Settings(), QStringLiteral("9600,E,7,2"));
        d.dialog.CommInit_Close_Click();
        QVERIFY(!d.port.IsOpen());
        QCOMPARE(d.console.SendButton, 0);
    }

};

QTEST_MAIN(TestPortDialog)
#include "test_port_dialog.moc"
