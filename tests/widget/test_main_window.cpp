// The console window as the operator meets it: start-up state, layout, lamps,
// line-event messages and what happens when the device goes away.
#include <QAccessible>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

#include "console/ProgramState.h"
#include "console/frmMain.h"
#include "platform/Controls.h"
#include "support/FakeConsole.h"

namespace {
const QColor Grey(192, 192, 192);

struct Console : FakeConsole {
    Console() : FakeConsole(false) {}
    QList<QWidget*> P2Controls() const
    {
        return {window.LabelP2, window.LabelP2V, window.LabelP2A, window.Label_P2_Voltage, window.Label_P2_Current,
                window.Label_P2_Set_Voltage, window.Label_P2_Set_Current};
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
        QVERIFY(!c.window.CmdStartStop->isEnabled());
        QVERIFY(!c.window.FrameRedo->isEnabled());
        QCOMPARE(c.window.sbrComm->text(), QStringLiteral("COM 1 : 19200,N,8,1"));
        QCOMPARE(c.port.ReceiveThreshold(), 1);
        QVERIFY(c.port.RequestToSend());
        QVERIFY(!c.port.IsOpen());
        QCOMPARE(c.state.RepeatIdle, -1);
        // Only the lamp timer runs; every timer keeps exact ticks.
        QVERIFY(c.window.Timer2.isActive());
        QVERIFY(!c.window.Timer1.isActive() && !c.window.Timer3.isActive() && !c.window.Timer4.isActive());
        for (QLabel* r : c.window.findChildren<QLabel*>(QRegularExpression(QStringLiteral("^Label_P[12]_"))))
            QCOMPARE(r->text(), QStringLiteral("00.000"));
    }

    void LayoutFollowsTheOptionHoweverSelected_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("mouse") << 0;
        QTest::newRow("program") << 1;
        QTest::newRow("accessibility toggle") << 2;
    }
    void LayoutFollowsTheOptionHoweverSelected()
    {
        QFETCH(int, how);
        Console c;
        c.window.Label_P2_Voltage->setText(QStringLiteral("12.345"));
        auto select = [&](QRadioButton* option) {
            if (how == 0)
                ClickOption(option);
            else if (how == 1)
                option->setChecked(true);
            else
                option->toggle();
        };
        select(c.window.OptionDual);
        for (QWidget* w : c.P2Controls())
            QVERIFY2(w->isVisible(), qPrintable(w->objectName()));
        const QPoint p1Place = c.window.Label_P1_Voltage->pos();
        select(c.window.OptionSingle);
        for (QWidget* w : c.P2Controls())
            QVERIFY2(w->isHidden(), qPrintable(w->objectName()));
        QCOMPARE(c.window.Label_P1_Voltage->pos(), p1Place);
        QCOMPARE(c.window.Label_P2_Voltage->text(), QStringLiteral("12.345"));
    }

    void LineEventMessages_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("cts change") << 3 << QStringLiteral("CTS 회선에서 변경");
        QTest::newRow("break") << 1001 << QStringLiteral("정지 신호가 수신되었습니다.");
        QTest::newRow("framing") << 1004 << QStringLiteral("프레이밍 오류.");
        QTest::newRow("overrun") << 1006 << QStringLiteral("포트 넘침.");
        QTest::newRow("parity") << 1009 << QStringLiteral("패리티 오류.");
        for (int quiet : {1, 4, 5, 6, 7, 1005, 0, 9999, -1})
            QTest::addRow("quiet %d", quiet) << quiet << QString();
    }
    void LineEventMessages()
    {
        QFETCH(int, code);
        QFETCH(QString, message);
        Console c;
        c.OpenPort();
        c.window.TextInfo->InsertText(QStringLiteral("before\r\n"));
        emit c.port.LineEvent(code);
        const QString expected = message.isEmpty() ? QStringLiteral("before\n") : QStringLiteral("before\n") + message + QLatin1Char('\n');
        QCOMPARE(c.Info(), expected);
        QVERIFY(c.port.IsOpen());
        QCOMPARE(c.window.ShapeReceive->FillColor(), Grey);
    }

    void ReceiveLightsTheLampUntilTheNextLampTick()
    {
        Console c;
        c.OpenPort();
        c.port.Receive("12.3");
        QCOMPARE(c.window.ShapeReceive->FillColor(), QColor(255, 255, 0));
        QVERIFY(c.port.Waiting.isEmpty());
        c.window.Timer2_Timer();
        QCOMPARE(c.window.ShapeReceive->FillColor(), Grey);
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
        QVERIFY(!c.window.CmdStartStop->isEnabled());
        QVERIFY(!c.window.FrameRedo->isEnabled());
        // And it can be opened again once the device is back.
        QVERIFY(c.port.Open().Ok());
    }

    void OperatorSelectionIsNeverOverwritten()
    {
        Console c;
        TextPanel* info = c.window.TextInfo;
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
