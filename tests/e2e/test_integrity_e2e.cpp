// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The console against a supply that misbehaves with the line still open: it
// falls silent, loses a reply, adds one, or answers slowly. Nothing is logged
// that was not measured, and every readout keeps its own quantity.
#include <QTemporaryDir>

#include "console/QueryBatch.h"
#include "support/ConsoleBench.h"

namespace {
// The console monitoring the simulated supply, its log in a folder of its own.
struct Monitoring : ConsoleBench {
    QTemporaryDir logs;
    Monitoring(const QStringList& simArgs, bool dual) : ConsoleBench(simArgs)
    {
        window.Controller().LogFolder = logs.path();
        OpenThroughTheDialog();
        FindControl<QRadioButton>(window, dual ? "OptionDual" : "OptionSingle")->setChecked(true);
        FindControl<QRadioButton>(window, "OptionMonitorCmd")->setChecked(true);
    }
};

// The demonstration supply: P1 at 5 V and P2 at 12 V into about 10 ohms each.
bool ReadoutsInStep(const frmMain& w)
{
    const auto shown = [&w](const char* name) { return FindControl<QLabel>(w, name)->text().trimmed().toDouble(); };
    return qAbs(shown("Label_P1_Voltage") - 5) < 0.5 && qAbs(shown("Label_P1_Current") - 0.5) < 0.2
           && qAbs(shown("Label_P2_Voltage") - 12) < 0.5 && qAbs(shown("Label_P2_Current") - 1.2) < 0.3;
}
}

class TestIntegrityE2E : public QObject {
    Q_OBJECT
private slots:
    void CycleStaysInStep_data()
    {
        QTest::addColumn<QStringList>("fault");
        QTest::addColumn<bool>("realigns");
        QTest::newRow("lost reply") << QStringList{"--drop-reply", "6"} << true;
        QTest::newRow("unasked line") << QStringList{"--stray-after", "6"} << true;
        QTest::newRow("300 baud") << QStringList{"--baud", "300"} << false;
        QTest::newRow("slow instrument") << QStringList{"--reply-delay", "150"} << false;
    }
    void CycleStaysInStep()
    {
        QFETCH(QStringList, fault);
        QFETCH(bool, realigns);
        Monitoring b(QStringList{"--demo", "--no-noise"} + fault, true);
        QVERIFY(b.sim.Ok());
        QTRY_VERIFY_WITH_TIMEOUT(b.sim.RecordText().count(QStringLiteral("\tOUT\t")) >= 24, 30000);
        QTRY_VERIFY_WITH_TIMEOUT(ReadoutsInStep(b.window), 5000);
        QCOMPARE(b.Info().count(QStringLiteral("모니터 순서를 처음부터 다시 맞췄습니다")), realigns ? 1 : 0);
        // Realigning sends nothing of its own: the line carries the batch, over and over.
        const QStringList batch = BuildMonitorBatch(false, true).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const QStringList commands = b.sim.Commands();
        for (int i = 0; i < commands.size(); ++i)
            QCOMPARE(commands.at(i), batch.at(i % batch.size()));
    }

    // A supply that stops answering behind an open line is a gap in the log
    // and one line in the panel each way, not records of its last readouts.
    void SilenceIsAGap()
    {
        Monitoring b({"--demo", "--silent-after", "2", "--silent-for", "3"}, false);
        QVERIFY(b.sim.Ok());
        QTRY_VERIFY_WITH_TIMEOUT(b.Info().contains(QStringLiteral("응답 없음 (마지막 응답 ")), 15000);
        const int atSilence = int(LogLines(b.logs.path()).size());
        QVERIFY(atSilence > 0);
        QTRY_VERIFY_WITH_TIMEOUT(b.Info().contains(QStringLiteral("응답 다시 받음 (끊긴 시간 00:00:0")), 15000);
        QVERIFY2(int(LogLines(b.logs.path()).size()) <= atSilence + 1, qPrintable(QString::number(int(LogLines(b.logs.path()).size()) - atSilence)));
        QTRY_VERIFY_WITH_TIMEOUT(int(LogLines(b.logs.path()).size()) >= atSilence + 3, 10000);
        QCOMPARE(b.Info().count(QStringLiteral("응답 없음")), 1);
        QCOMPARE(b.Info().count(QStringLiteral("응답 다시 받음")), 1);
    }
};

QTEST_MAIN(TestIntegrityE2E)
#include "test_integrity_e2e.moc"
