// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What the console window adds to the controller: a repeat ending with its
// port or mode, the pattern window's hand-back, the log tick's echo and file,
// the message panel, the lamps and the composer, with the timers' handlers
// called directly.
#include <QPointer>
#include <QWindow>

#include "platform/CommInit.h"
#include "support/FakeConsole.h"
#include "support/Rows.h"

namespace {
const QColor Grey(192, 192, 192);

struct Console : FakeConsole {
    void Press(std::initializer_list<const char*> buttons)
    {
        for (const char* name : buttons)
            QTest::mouseClick(FindControl<QPushButton>(window, name), Qt::LeftButton);
    }
    QString Field() const { return FindControl<QLineEdit>(window, "TextCommand")->text(); }
    QByteArray Log() const
    {
        QFile f(logDir.filePath(QStringLiteral("050309_MS.txt")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // 열기 in the port dialog on COM `number`, then the return to the console.
    void OpenThroughTheDialog(const char* number)
    {
        CommInit dialog(port, state.Dialog, services, window.Controller());
        dialog.Form_Load();
        FindControl<QRadioButton>(dialog, number)->setChecked(true);
        dialog.CommInit_OK_Click();
        window.Form_Activate();
    }
};
}

class TestConsoleModes : public QObject {
    Q_OBJECT
private slots:
    // A repeat ends with its port and with line mode, as after 명령 중지,
    // and a port opened again does not bring it back. It goes on only when
    // the port it was started on comes back under it.
    void RepeatEndsWithItsPortOrItsMode()
    {
        enum Action { Close, Reopen, Lost, OtherPort, SamePort, Monitor, Pattern };
        static const struct { const char* name; Action action; bool goesOn; } rows[] = {
            {"닫기", Close, false}, {"닫기, then 열기", Reopen, false}, {"port lost", Lost, false},
            {"열기 on COM 2 after COM 1 closed under it", OtherPort, false}, {"열기 on COM 1 again", SamePort, true},
            {"monitor mode", Monitor, false}, {"pattern window", Pattern, false}};
        for (const auto& r : rows) {
            Console c;
            FindControl<QCheckBox>(c.window, "CheckRedo")->setChecked(true);
            FindControl<QLineEdit>(c.window, "TextCommand")->setText(QStringLiteral("MEAS:VOLT? P1"));
            c.window.CmdStartStop_Click();
            if (r.action == Close || r.action == Reopen)
                c.window.Controller().CloseRequested();
            if (r.action == Reopen)
                c.OpenPort();
            if (r.action == Lost)
                c.port.Vanish(QStringLiteral("unplugged"));
            if (r.action == OtherPort || r.action == SamePort) {
                c.port.Close();
                c.OpenThroughTheDialog(r.action == OtherPort ? "Com2" : "Com1");
                QVERIFY2(c.port.IsOpen(), r.name);
            }
            if (r.action == Monitor || r.action == Pattern)
                FindControl<QRadioButton>(c.window, r.action == Monitor ? "OptionMonitorCmd" : "OptionPatternCmd")->setChecked(true);
            ROW_COMPARE(r.name, FindControl<QTimer>(c.window, "Timer1")->isActive(), r.goesOn);
            ROW_COMPARE(r.name, c.window.Controller().RepeatIdle(), !r.goesOn);
            ROW_COMPARE(r.name, FindControl<QPushButton>(c.window, "CmdStartStop")->text(), r.goesOn ? QStringLiteral("명령 중지") : QStringLiteral("명령 전송"));
            if (r.action < Monitor)
                ROW_COMPARE(r.name, FindControl<QGroupBox>(c.window, "FrameModelSelect")->isEnabled(), !r.goesOn);
            ROW_COMPARE(r.name, c.port.Writes.size(), 0);   // the first send waits for a tick
            if (QWidget* pattern = c.window.PatternWindow())
                pattern->close();
        }
    }

    // The window manager's close ends the program even with the pattern
    // window open and running: nothing stays open, nothing more is sent.
    // Closing the pattern window alone hands the console back in line mode.
    void ClosingTheConsoleEndsEverything()
    {
        for (const bool console : {true, false}) {
            Console c;
            FindControl<QRadioButton>(c.window, "OptionPatternCmd")->setChecked(true);
            QPointer<QWidget> pattern = c.window.PatternWindow();
            QVERIFY(pattern && pattern->isVisible() && !c.window.isEnabled());
            if (!console) {
                pattern->close();
                QVERIFY(c.window.isEnabled() && FindControl<QRadioButton>(c.window, "OptionLineCmd")->isChecked());
                continue;
            }
            c.window.windowHandle()->close();
            QVERIFY(!c.window.isVisible());
            QVERIFY(!pattern || !pattern->isVisible());
            QVERIFY(!c.port.IsOpen());
        }
    }

    // A record holds only what was measured since the last one, every readout
    // of the layout having answered; the panel's echo shows no CR of the supply's.
    void LogTickEchoesAndAppends()
    {
        const struct { const char* name; bool dual; QList<QByteArray> replies; QString echo; QByteArray log; } rows[] = {
            {"single, CR LF replies, silence, then one fresh readout", false, {"1.500\r\n0.250\r\n", "", "1.600\r\n"},
             "1.500   0.250   050309 PM 02:05:07\n1.600   0.250   050309 PM 02:05:07\n",
             "1.500\r   0.250\r   050309 PM 02:05:07\r\n1.600\r   0.250\r   050309 PM 02:05:07\r\n"},
            {"dual waits for P2", true, {"1.500\n0.250\n", "12.000\n1.200\n"},
             "P1: 1.500   0.250   050309 PM 02:05:07\nP2: 12.000   1.200   050309 PM 02:05:07\n",
             "P1: 1.500   0.250   P2: 12.000   1.200   050309 PM 02:05:07\r\n"}};
        for (const auto& r : rows) {
            Console c;
            FindControl<QRadioButton>(c.window, r.dual ? "OptionDual" : "OptionSingle")->setChecked(true);
            FindControl<QRadioButton>(c.window, "OptionMonitorCmd")->setChecked(true);
            c.window.Timer4_Timer();   // nothing measured yet
            for (const QByteArray& replies : r.replies) {
                c.port.Receive(replies);
                c.window.Timer4_Timer();
            }
            ROW_COMPARE(r.name, c.Info(), r.echo);
            ROW_COMPARE(r.name, c.Log(), r.log);
        }
    }

    // Lines of one read go in at once, yet the panel ends up as it would
    // line by line, the parser's emptying every hundred lines included; and
    // days of echo keep only the latest lines.
    void ReadsReachThePanelAsLineByLine()
    {
        Console c;
        TextPanel reference;
        int count = 0;
        QByteArray flood;
        for (int i = 0; i < 250; ++i) {
            const QByteArray line = "reply " + QByteArray::number(i);
            flood += line + '\n';
            reference.InsertText(QString::fromLatin1(line) + QStringLiteral("\r\n"));
            if (++count > MaxMessageLines) {
                reference.ClearText();
                count = 0;
            }
        }
        for (int from = 0, size = 1; from < flood.size(); from += size, size = size * 3 % 1000 + 7)
            c.port.Receive(flood.mid(from, size));
        QCOMPARE(c.Info(), reference.toPlainText());

        for (int i = 0; i < frmMain::MaxInfoLines + 300; ++i)
            emit c.port.LineEvent(1004);
        FindControl<TextPanel>(c.window, "TextInfo")->InsertText(QStringLiteral("latest\r\n"));
        QVERIFY(FindControl<TextPanel>(c.window, "TextInfo")->document()->blockCount() <= frmMain::MaxInfoLines + 1);
        QVERIFY(c.Info().endsWith(QStringLiteral("latest\n")));
    }

    // Each event adds its message, or nothing, and leaves the port open and
    // the lamp grey; a reply lights the lamp until the next lamp tick. A lost
    // device is told once, however often it is reported.
    void LineEventMessages()
    {
        static const struct { int code; const char* message; } rows[] = {
            {3, "CTS 회선에서 변경"}, {1004, "프레이밍 오류."}, {1, ""}, {9999, ""}};
        Console c;
        QString expected;
        for (const auto& r : rows) {
            emit c.port.LineEvent(r.code);
            if (*r.message)
                expected += QString::fromUtf8(r.message) + QLatin1Char('\n');
            QVERIFY2(c.Info() == expected, qPrintable(QStringLiteral("code %1: %2").arg(r.code).arg(c.Info())));
        }
        QVERIFY(c.port.IsOpen());
        Lamp* lamp = FindControl<Lamp>(c.window, "ShapeReceive");
        QCOMPARE(lamp->FillColor(), Grey);
        c.port.Receive("12.3");
        QCOMPARE(lamp->FillColor(), QColor(255, 255, 0));
        c.window.Timer2_Timer();
        QCOMPARE(lamp->FillColor(), Grey);
        c.port.Vanish(QStringLiteral("Input/output error"));
        c.port.Vanish(QStringLiteral("Input/output error"));   // the same loss, reported again
        QCOMPARE(c.Info().count(QStringLiteral("/dev/fake1")), 1);
    }

    // A keyword starts afresh, keys always work at the end whatever the
    // caret; Enter sends, and Up recalls what was sent, not the polling.
    void ComposerButtonsEnterAndHistory()
    {
        Console c;
        c.Press({"CmdAPPL", "CmdP1", "CmdComma", "Cmd1", "CmdOS", "CmdON", "CmdDel"});
        FindControl<QLineEdit>(c.window, "TextCommand")->setCursorPosition(0);
        c.Press({"CmdOFF", "CmdSpace", "CmdDot", "Cmd5"});
        QCOMPARE(c.Field(), QStringLiteral("OUTP:STAT OOFF .5"));
        QCOMPARE(FindControl<QLabel>(c.window, "sbrInfo")->text(), QStringLiteral("OUTP:STAT {ON|OFF} : 출력 제어 상태 설정"));
        c.Press({"CmdStartStop"});
        QCOMPARE(c.port.Written(), QByteArray("OUTP:STAT OOFF .5\n"));
        QVERIFY(!FindControl<QTimer>(c.window, "Timer1")->isActive());   // no repeat asked for
        QLineEdit* field = FindControl<QLineEdit>(c.window, "TextCommand");
        field->setFocus();
        field->setText(QStringLiteral("*IDN?"));
        QTest::keyClick(field, Qt::Key_Return);
        FindControl<QPushButton>(c.window, "CmdStartStop")->setEnabled(false);
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(c.port.Writes.mid(1), (QList<QByteArray>{"*IDN?\n"}));
        FindControl<QRadioButton>(c.window, "OptionMonitorCmd")->setChecked(true);
        c.window.Timer3_Timer();
        FindControl<QRadioButton>(c.window, "OptionLineCmd")->setChecked(true);
        field->setText(QStringLiteral("OUT"));
        QTest::keyClick(field, Qt::Key_Up);
        QCOMPARE(c.Field(), QStringLiteral("*IDN?"));
        QTest::keyClick(field, Qt::Key_Down);
        QCOMPARE(c.Field(), QStringLiteral("OUT"));
    }
};

QTEST_MAIN(TestConsoleModes)
#include "test_console_modes.moc"
