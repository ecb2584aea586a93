// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The measuring controls beside the others, and a measured run's end at a
// limit, a refused limit, a lost port and a report that cannot be written.
#include <QCheckBox>

#include "support/Languages.h"
#include "support/PatternWindow.h"

namespace {
struct Window : PatternWindow {
    explicit Window(bool measuring = true) : PatternWindow(false, measuring) {}
    QLineEdit* Field(const char* name) const { return FindControl<QLineEdit>(*w, name); }
    void Type(const char* name, const char* text)
    {
        Field(name)->setText(QString::fromUtf8(text));
        QTest::keyClick(Field(name), Qt::Key_Return);
    }
    QCheckBox* Measure() const { return FindControl<QCheckBox>(*w, "CheckMeasure"); }
    QString Summary() const { return FindControl<QLabel>(*w, "LabelRunSummary")->text(); }
};

QMap<QString, QRect> Placement(QWidget* window)
{
    QMap<QString, QRect> placed;
    for (QWidget* c : window->findChildren<QWidget*>())
        if (!c->objectName().isEmpty() && !c->objectName().startsWith(QLatin1String("qt_")))
            placed.insert(c->objectName(), QRect(c->mapTo(window, QPoint()), c->size()));
    return placed;
}
}

class TestPatternMeasure : public QObject {
    Q_OBJECT
private slots:
    void NothingElseMoves()
    {
        for (const char* language : {"ko", "en"}) {
            QVERIFY(UseLanguage(QLatin1String(language)));
            Window absent(false), present;
            const QMap<QString, QRect> before = Placement(absent.w), after = Placement(present.w);
            QVERIFY(before.size() > 30 && !before.contains(QStringLiteral("CheckMeasure")));
            for (auto it = before.begin(); it != before.end(); ++it)
                QVERIFY2(after.value(it.key()) == it.value(), qPrintable(QStringLiteral("%1 %2").arg(QLatin1String(language), it.key())));
        }
        QVERIFY(UseLanguage(QStringLiteral("ko")));
    }

    void CurrentLimitSwitchesOff()
    {
        Window p;
        p.Type("TextLimitCurrent", "0.5");   // which turns measuring on
        p.Steps({{"0.000", "5.000", "1.000"}, {"10.000", "0.000", "0.000"}});
        p.w->CmdRunP1_Click();
        p.w->Timer4_Timer();
        p.w->Timer4_Timer();
        QVERIFY(p.session.Reply(QStringLiteral("5.000\r")) && p.session.Reply(QStringLiteral("0.612")));
        QCOMPARE(p.port.Writes.last(), QByteArray("OUTP:STAT OFF\n"));
        QVERIFY(!FindControl<QTimer>(*p.w, "Timer4")->isActive() && !p.session.Reply(QStringLiteral("1.000")));
        QCOMPARE(p.session.Readings, (QStringList{"P1 V 5.000\r", "P1 A 0.612"}));
        QTRY_COMPARE(p.services.Titles, QStringList{"Tarvio"});
        QVERIFY(p.services.Messages.at(0).contains(QStringLiteral("0.612")) && p.services.Messages.at(0).contains(QStringLiteral("1단계")));
        QFile report(p.w->ReportPath());
        QVERIFY(report.open(QIODevice::ReadOnly) && report.readAll().endsWith(",current 0.612 > 0.500,limit\r\n"));
        QVERIFY(p.Summary().contains(QDir::toNativeSeparators(p.w->ReportPath())));
    }

    void RefusedLimitLostPortUnwritableReport()
    {
        Window p;
        p.session.Folder = p.Path("missing");
        p.Type("TextLimitVoltage", "열");
        QVERIFY(p.Field("TextLimitVoltage")->text() == QStringLiteral("ERROR") && !p.Measure()->isChecked());
        p.Steps({{"0.000", "5.000", "1.000"}});
        p.Measure()->setChecked(true);
        p.w->CmdRunP1_Click();   // a refused limit keeps the run from starting
        QVERIFY(!p.w->RunningP1() && p.services.Beeps == 1);
        p.Type("TextLimitVoltage", "");
        p.w->CmdRunP1_Click();
        p.port.Vanish(QStringLiteral("unplugged"));
        QVERIFY(!p.w->RunningP1());
        QTRY_COMPARE(p.services.Titles.size(), 2);
        QVERIFY(p.services.Messages.join(QString()).contains(p.Path("missing")));
        QVERIFY(p.Summary().contains(QStringLiteral("보낸 단계 0 (연속)")));
    }
};

QTEST_MAIN(TestPatternMeasure)
#include "test_pattern_measure.moc"
