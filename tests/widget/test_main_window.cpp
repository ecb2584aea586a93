// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The console window as the operator meets it: lamps, line-event messages,
// a device that goes away and the composer.
#include "support/FakeConsole.h"

namespace {
const QColor Grey(192, 192, 192);

struct Console : FakeConsole {
    using FakeConsole::FakeConsole;
    void Press(std::initializer_list<const char*> buttons)
    {
        for (const char* name : buttons)
            QTest::mouseClick(FindControl<QPushButton>(window, name), Qt::LeftButton);
    }
    QString Field() const { return FindControl<QLineEdit>(window, "TextCommand")->text(); }
};
}

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    // Each event adds its message, or nothing, and leaves the port open and
    // the lamp grey; a reply lights the lamp until the next lamp tick.
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
    }

    void DeviceLostIsReportedOnceAndClosesThePort()
    {
        Console c;
        c.port.Vanish(QStringLiteral("Input/output error"));
        c.port.Vanish(QStringLiteral("Input/output error"));
        QVERIFY(!c.port.IsOpen());
        QCOMPARE(c.Info().count(QStringLiteral("/dev/fake1")), 1);
        QVERIFY(c.Info().contains(QStringLiteral("Input/output error")));
        QVERIFY(!FindControl<QPushButton>(c.window, "CmdStartStop")->isEnabled());
        QVERIFY(c.port.Open().Ok());   // and it opens again once the device is back
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

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
