// The whole console against the simulated supply: open COM 1 through the
// dialog, talk to the instrument, and lose it.
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "console/ProgramState.h"
#include "console/frmMain.h"
#include "link/CommInit.h"
#include "platform/Controls.h"
#include "platform/QtSerialDevice.h"
#include "support/Fakes.h"
#include "support/SimProcess.h"

namespace {
struct Bench {
    SimProcess sim;
    ProgramState state;
    FakeServices services;
    QtSerialDevice port{[this](int n) { return n == 1 ? sim.Link() : QStringLiteral("/nonexistent/com%1").arg(n); }};
    frmMain window{state, port, services};

    explicit Bench(QStringList simArgs = {}) : sim(simArgs) { window.show(); }
    void OpenThroughTheDialog()
    {
        QTimer::singleShot(0, [] {
            if (auto* dialog = qobject_cast<CommInit*>(QApplication::activeModalWidget()))
                dialog->CommInit_OK->click();
        });
        window.CmdComport_Click();
    }
    QString Info() const { return window.TextInfo->toPlainText(); }
};
}

class TestConsoleSim : public QObject {
    Q_OBJECT
private slots:
    void OpensComOneAndTalksToTheSupply()
    {
        Bench b;
        QVERIFY(b.sim.Ok());
        b.OpenThroughTheDialog();
        QVERIFY2(b.services.Messages.isEmpty(), qPrintable(b.services.Messages.join('\n')));
        QVERIFY(b.port.IsOpen());
        QCOMPARE(b.window.LabelComportOpen->text(), QStringLiteral("열렸음"));
        QCOMPARE(b.window.sbrComm->text(), QStringLiteral("COM 1 : 19200,N,8,1"));

        // Composed with the buttons: exactly the five characters and a line feed.
        QTest::mouseClick(b.window.findChild<QPushButton*>(QStringLiteral("CmdIDNQ")), Qt::LeftButton);
        QTest::mouseClick(b.window.CmdStartStop, Qt::LeftButton);
        QTRY_VERIFY(b.sim.RecordText().contains(QStringLiteral("\tLF\t*IDN?\n")));
        QCOMPARE(b.sim.Commands(), QStringList{QStringLiteral("*IDN?")});
        QTRY_VERIFY(b.Info().contains(QStringLiteral("QPX-")));
    }

    void DualMonitoringFillsTheReadouts()
    {
        Bench b({QStringLiteral("--outputs"), QStringLiteral("2"), QStringLiteral("--no-noise")});
        QVERIFY(b.sim.Ok());
        b.OpenThroughTheDialog();
        b.window.TextCommand->setText(QStringLiteral("APPL P2,7.5,1"));
        b.window.CmdStartStop_Click();
        b.window.TextCommand->setText(QStringLiteral("OUTP:STAT ON"));
        b.window.CmdStartStop_Click();
        b.window.OptionDual->setChecked(true);
        b.window.OptionMonitorCmd->setChecked(true);
        QVERIFY(b.window.Timer3.isActive());
        QCOMPARE(b.window.Timer3.interval(), 400);
        QTRY_COMPARE(b.window.Label_P2_Voltage->text(), QStringLiteral("7.500"));
        QVERIFY(!b.window.CmdComport->isEnabled());
        QVERIFY(b.sim.Commands().contains(QStringLiteral("MEAS:CURRA? P2")));
    }

    void SupplyVanishingDuringMonitoringIsReportedOnce()
    {
        Bench b({QStringLiteral("--vanish-after"), QStringLiteral("1.0")});
        QVERIFY(b.sim.Ok());
        b.OpenThroughTheDialog();
        b.window.OptionMonitorCmd->setChecked(true);
        QTRY_VERIFY_WITH_TIMEOUT(!b.port.IsOpen(), 10000);
        QTest::qWait(300);   // a pty left open would flood the panel by now
        QCOMPARE(b.Info().count(QStringLiteral("통신포트 연결이 끊어졌습니다")), 1);
        QVERIFY(b.Info().contains(b.sim.Link()));
        QCOMPARE(b.window.LabelComportOpen->text(), QStringLiteral("닫혔음"));
        QVERIFY(!b.window.Timer3.isActive());
        QVERIFY(b.window.CmdComport->isEnabled());
        QVERIFY(b.port.ErrorCallbackCount() <= 3);
    }
};

QTEST_MAIN(TestConsoleSim)
#include "test_console_sim.moc"
