// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The port dialog: what it shows on opening, what it remembers, and how it
// opens, closes and refuses.
#include <QApplication>
#include <QTimer>

#include "platform/CommInit.h"
#include "support/FakeConsole.h"

namespace {
struct Dialog {
    FakeSerialPort port;
    FakeServices services;
    CommInitChoices choices;
    QLabel label{QStringLiteral("닫혔음")};
    QPushButton send;
    CommInit dialog{port, choices, services, &label, &send};
    Dialog() { send.setEnabled(false); }

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
        QVERIFY(!d.dialog.Flowcntlxonoff->isEnabled());
        QVERIFY(!d.dialog.Flow_both->isEnabled());
        for (QRadioButton* option : {d.dialog.Baud9600, d.dialog.EvenParity, d.dialog.Data7bit, d.dialog.Stop2bit})
            Click(option);
        d.dialog.CommInit_OK_Click();
        QVERIFY(d.port.IsOpen());
        QCOMPARE(d.port.PortNumber(), 1);
        QCOMPARE(d.port.Settings(), QStringLiteral("9600,E,7,2"));
        QCOMPARE(d.port.Handshaking(), 2);
        QCOMPARE(d.label.text(), QStringLiteral("열렸음"));
        QVERIFY(d.send.isEnabled());
        QVERIFY(d.services.Messages.isEmpty());

        d.dialog.Form_Load();
        QCOMPARE(d.Selected(), (QStringList{"Baud9600", "Com1", "Data7bit", "EvenParity", "Flow_rtscts", "Stop2bit"}));
        // Open on an open port only tells the operator.
        Click(d.dialog.Baud300);
        d.dialog.CommInit_OK_Click();
        QCOMPARE(d.services.Messages, QStringList{"통신포트가 이미 열려 있습니다."});
        QCOMPARE(d.port.Settings(), QStringLiteral("9600,E,7,2"));
        QCOMPARE(d.port.Opens, 1);
        QVERIFY(d.port.IsOpen());

        d.dialog.CommInit_Close_Click();
        QVERIFY(!d.port.IsOpen());
        QCOMPARE(d.label.text(), QStringLiteral("닫혔음"));
        QVERIFY(!d.send.isEnabled());
    }

    void CancelledClicksAreStillRemembered()
    {
        Dialog d;
        d.dialog.Form_Load();
        Click(d.dialog.OddParity);
        Click(d.dialog.Com3);
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
            d.port.NextOpen = OpenResult{r.error, QString(), QStringLiteral("strange failure")};
            d.dialog.Form_Load();
            d.dialog.CommInit_OK_Click();
            QVERIFY2(!d.port.IsOpen() && !d.send.isEnabled(), r.hint);
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
            Click(dialog->Com2);
            Click(dialog->Baud2400);
            dialog->CommInit_OK->click();
        });
        c.window.CmdComport_Click();
        QCOMPARE(c.window.sbrComm->text(), QStringLiteral("COM 2 : 2400,N,8,1"));
        QVERIFY(c.window.FrameRedo->isEnabled());
        QCOMPARE(c.window.LabelComportOpen->text(), QStringLiteral("열렸음"));
        QVERIFY(c.window.CmdStartStop->isEnabled());
    }
};

QTEST_MAIN(TestPortDialog)
#include "test_port_dialog.moc"
