// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The console window as the operator meets it: start-up state, layout, lamps,
// line-event messages and what happens when the device goes away.
#include "support/FakeConsole.h"

namespace {
const QColor Grey(192, 192, 192);

struct Console : FakeConsole {
    Console() : FakeConsole(false) {}
    QList<QWidget*> P2Controls() const
    {
        return {FindControl<QLabel>(window, "LabelP2"), FindControl<QLabel>(window, "LabelP2V"), FindControl<QLabel>(window, "LabelP2A"), FindControl<QLabel>(window, "Label_P2_Voltage"), FindControl<QLabel>(window, "Label_P2_Current"),
                FindControl<QLabel>(window, "Label_P2_Set_Voltage"), FindControl<QLabel>(window, "Label_P2_Set_Current")};
    }
};

void ClickOption(QRadioButton* option)
{
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(5, option->height() / 2));
}
}

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void StartUpState()
    {
        Console c;
        for (QWidget* w : c.P2Controls())
            QVERIFY2(w->isHidden(), qPrintable(w->objectName()));
        QVERIFY(!FindControl<QPushButton>(c.window, "CmdStartStop")->isEnabled());
        QVERIFY(!FindControl<QGroupBox>(c.window, "FrameRedo")->isEnabled());
        QCOMPARE(FindControl<QLabel>(c.window, "sbrComm")->text(), QStringLiteral("COM 1 : 19200,N,8,1"));
        QVERIFY(!c.port.IsOpen());
        // Only the lamp timer runs (the controller's test has the port's set-up and the intervals).
        QVERIFY(FindControl<QTimer>(c.window, "Timer2")->isActive());
        QVERIFY(!FindControl<QTimer>(c.window, "Timer1")->isActive() && !FindControl<QTimer>(c.window, "Timer3")->isActive() && !FindControl<QTimer>(c.window, "Timer4")->isActive());
        for (QLabel* r : c.window.findChildren<QLabel*>(QRegularExpression(QStringLiteral("^Label_P[12]_"))))
            QCOMPARE(r->text(), QStringLiteral("00.000"));
    }

    // By mouse, by the program, and by an accessibility tool's toggle.
    void LayoutFollowsTheOptionHoweverSelected()
    {
        for (int how = 0; how < 3; ++how) {
            Console c;
            FindControl<QLabel>(c.window, "Label_P2_Voltage")->setText(QStringLiteral("12.345"));
            auto select = [&](QRadioButton* option) {
                if (how == 0)
                    ClickOption(option);
                else if (how == 1)
                    option->setChecked(true);
                else
                    option->toggle();
            };
            select(FindControl<QRadioButton>(c.window, "OptionDual"));
            for (QWidget* w : c.P2Controls())
                QVERIFY2(w->isVisible(), qPrintable(QStringLiteral("%1 by way %2").arg(w->objectName()).arg(how)));
            const QPoint p1Place = FindControl<QLabel>(c.window, "Label_P1_Voltage")->pos();
            select(FindControl<QRadioButton>(c.window, "OptionSingle"));
            for (QWidget* w : c.P2Controls())
                QVERIFY2(w->isHidden(), qPrintable(QStringLiteral("%1 by way %2").arg(w->objectName()).arg(how)));
            QCOMPARE(FindControl<QLabel>(c.window, "Label_P1_Voltage")->pos(), p1Place);
            QCOMPARE(FindControl<QLabel>(c.window, "Label_P2_Voltage")->text(), QStringLiteral("12.345"));
        }
    }

    // Each event adds its message, or nothing, and leaves the port open and the lamp grey.
    void LineEventMessages()
    {
        static const struct { int code; const char* message; } rows[] = {
            {3, "CTS 회선에서 변경"}, {1001, "정지 신호가 수신되었습니다."}, {1004, "프레이밍 오류."}, {1006, "포트 넘침."},
            {1009, "패리티 오류."}, {1, ""}, {4, ""}, {5, ""}, {6, ""}, {7, ""}, {1005, ""}, {0, ""}, {9999, ""}, {-1, ""}};
        Console c;
        c.OpenPort();
        QString expected;
        for (const auto& r : rows) {
            emit c.port.LineEvent(r.code);
            if (*r.message)
                expected += QString::fromUtf8(r.message) + QLatin1Char('\n');
            QVERIFY2(c.Info() == expected, qPrintable(QStringLiteral("code %1: %2").arg(r.code).arg(c.Info())));
        }
        QVERIFY(c.port.IsOpen());
        QCOMPARE(FindControl<Lamp>(c.window, "ShapeReceive")->FillColor(), Grey);
    }

    void ReceiveLightsTheLampUntilTheNextLampTick()
    {
        Console c;
        c.OpenPort();
        c.port.Receive("12.3");
        QCOMPARE(FindControl<Lamp>(c.window, "ShapeReceive")->FillColor(), QColor(255, 255, 0));
        QVERIFY(c.port.Waiting.isEmpty());
        c.window.Timer2_Timer();
        QCOMPARE(FindControl<Lamp>(c.window, "ShapeReceive")->FillColor(), Grey);
    }

    void DeviceLostIsReportedOnceAndClosesThePort()
    {
        Console c;
        c.OpenPort();
        c.port.Vanish(QStringLiteral("Input/output error"));
        c.port.Vanish(QStringLiteral("Input/output error"));
        QVERIFY(!c.port.IsOpen());
        QCOMPARE(c.Info().count(QStringLiteral("/dev/fake1")), 1);
        QVERIFY(c.Info().contains(QStringLiteral("Input/output error")));
        QVERIFY(!FindControl<QPushButton>(c.window, "CmdStartStop")->isEnabled());
        QVERIFY(!FindControl<QGroupBox>(c.window, "FrameRedo")->isEnabled());
        // And it can be opened again once the device is back.
        QVERIFY(c.port.Open().Ok());
    }

    void OperatorSelectionIsNeverOverwritten()
    {
        Console c;
        TextPanel* info = FindControl<TextPanel>(c.window, "TextInfo");
        info->InsertText(QStringLiteral("reply one\r\nreply two\r\n"));
        QTextCursor select(info->document());
        select.setPosition(0);
        select.setPosition(9, QTextCursor::KeepAnchor);
        info->setTextCursor(select);
        info->InsertText(QStringLiteral("A\r\n"));
        info->InsertText(QStringLiteral("B\r\n"));
        QCOMPARE(info->toPlainText(), QStringLiteral("reply oneA\nB\n\nreply two\n"));
        QCOMPARE(info->textCursor().selectedText(), QStringLiteral("reply one"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
