// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The composer and the reference panel as the operator uses them: buttons,
// keypad, help line, Enter and history, and the three reference lists.
#include <QApplication>
#include <QClipboard>
#include <QScrollBar>

#include "console/ReferenceTexts.h"
#include "support/FakeConsole.h"

namespace {
struct Console : FakeConsole {
    void Press(std::initializer_list<const char*> buttons)
    {
        for (const char* name : buttons) {
            auto* b = window.findChild<QPushButton*>(QLatin1String(name));
            QVERIFY2(b, name);
            QTest::mouseClick(b, Qt::LeftButton);
        }
    }
    QString Field() const { return FindControl<QLineEdit>(window, "TextCommand")->text(); }
    QString Help() const { return FindControl<QLabel>(window, "sbrInfo")->text(); }
};
}

class TestComposer : public QObject {
    Q_OBJECT
private slots:
    void ButtonsComposeAndSend()
    {
        Console c;
        c.Press({"CmdDel"});
        QCOMPARE(c.Field(), QString());
        c.Press({"CmdAPPL", "CmdP1", "CmdComma", "Cmd1", "Cmd0", "CmdComma", "Cmd2", "CmdSpace", "CmdSpace"});
        QCOMPARE(c.Field(), QStringLiteral("APPL P1,10,2  "));
        QCOMPARE(c.Help(), QStringLiteral("APPL {P1|P2}{,<전압>|MIN|MAX}{,<전류>|MIN|MAX} : 전압,전류 동시 설정"));
        c.Press({"CmdMVQ"});   // a keyword starts afresh
        QCOMPARE(c.Field(), QStringLiteral("MEAS:VOLT? "));
        QCOMPARE(c.Help(), QStringLiteral("MEAS:VOLT? {P1|P2} : 순간 측정 전압 읽기"));
        c.Press({"CmdOS", "CmdON", "CmdDel"});
        QCOMPARE(c.Field(), QStringLiteral("OUTP:STAT O"));
        // The caret does not matter: keys always work at the end.
        FindControl<QLineEdit>(c.window, "TextCommand")->setCursorPosition(0);
        c.Press({"CmdOFF", "CmdDel"});
        QCOMPARE(c.Field(), QStringLiteral("OUTP:STAT OOF"));
        QCOMPARE(c.Help(), QStringLiteral("OUTP:STAT {ON|OFF} : 출력 제어 상태 설정"));

        c.Press({"CmdSV", "CmdP1", "CmdComma", "Cmd1", "Cmd2", "CmdDot", "Cmd5", "CmdStartStop"});
        QCOMPARE(c.port.Written(), QByteArray("SOUR:VOLT P1,12.5\n"));
        QVERIFY(!FindControl<QTimer>(c.window, "Timer1")->isActive());   // no repeat asked for
        c.Press({"CmdIDNQ", "CmdStartStop"});
        QCOMPARE(c.port.Writes.last(), QByteArray("*IDN?\n"));
    }

    void EnterSendsAndUpDownRecallSentCommandsOnly()
    {
        Console c;
        QLineEdit* field = FindControl<QLineEdit>(c.window, "TextCommand");
        field->setFocus();
        for (const char* command : {"*IDN?", "APPL P1,5,1"}) {
            field->setText(QString::fromLatin1(command));
            QTest::keyClick(field, Qt::Key_Return);
        }
        QCOMPARE(c.port.Written(), QByteArray("*IDN?\nAPPL P1,5,1\n"));
        FindControl<QPushButton>(c.window, "CmdStartStop")->setEnabled(false);
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(c.port.Writes.size(), 2);
        FindControl<QRadioButton>(c.window, "OptionMonitorCmd")->setChecked(true);   // polling is not the operator's history
        c.window.Timer3_Timer();
        FindControl<QRadioButton>(c.window, "OptionLineCmd")->setChecked(true);
        field->setText(QStringLiteral("OUT"));
        QTest::keyClick(field, Qt::Key_Up);
        QCOMPARE(c.Field(), QStringLiteral("APPL P1,5,1"));
        QTest::keyClick(field, Qt::Key_Up);
        QCOMPARE(c.Field(), QStringLiteral("*IDN?"));
        QTest::keyClick(field, Qt::Key_Down);
        QTest::keyClick(field, Qt::Key_Down);
        QCOMPARE(c.Field(), QStringLiteral("OUT"));
    }

    void ReferencePanelShowsTheChosenList()
    {
        Console c;
        SpacedTextPanel* panel = FindControl<SpacedTextPanel>(c.window, "TextMessage");
        auto shown = [](ReferenceList list) { return ReferenceText(list).replace(QStringLiteral("\r\n"), QStringLiteral("\n")); };
        QCOMPARE(panel->toPlainText(), shown(ReferenceList::Commands));
        QCOMPARE(panel->textCursor().position(), 1);
        FindControl<QRadioButton>(c.window, "OptionError")->setChecked(true);
        QCOMPARE(panel->toPlainText(), shown(ReferenceList::Errors));
        FindControl<QRadioButton>(c.window, "OptionETC")->setChecked(true);
        FindControl<QRadioButton>(c.window, "OptionETC")->toggle();   // an accessibility tool re-selecting it must not double it
        FindControl<QRadioButton>(c.window, "OptionETC")->setChecked(true);
        c.window.ShowReferenceText();
        QCOMPARE(panel->toPlainText(), shown(ReferenceList::Models));
        QCOMPARE(panel->textCursor().position(), 1);
        QCOMPARE(panel->verticalScrollBar()->value(), 0);
        panel->selectAll();
        panel->copy();
        QCOMPARE(QApplication::clipboard()->text(), shown(ReferenceList::Models));
    }
};

QTEST_MAIN(TestComposer)
#include "test_composer.moc"
