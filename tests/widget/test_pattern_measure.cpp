// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The pattern window's measuring controls: where they stand, what they take,
// and a measured run's end at a limit, at a lost port and at a report that
// cannot be written.
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
    // A measured run on P1 up to its first batch of queries.
    void RunToFirstQuery()
    {
        Steps({{"0.000", "5.000", "1.000"}, {"10.000", "0.000", "0.000"}});
        w->CmdRunP1_Click();
        w->Timer4_Timer();
        w->Timer4_Timer();
    }
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

    void FieldRules()
    {
        Window p;
        QVERIFY(!p.Measure()->isChecked());
        QCOMPARE(p.Field("TextMeasureInterval")->text(), QStringLiteral("500"));
        p.Type("TextMeasureInterval", "150");
        QCOMPARE(p.Field("TextMeasureInterval")->text(), QStringLiteral("200"));
        p.Type("TextLimitVoltage", "열");
        QCOMPARE(p.Field("TextLimitVoltage")->text(), QStringLiteral("ERROR"));
        QVERIFY(!p.Measure()->isChecked());
        p.Type("TextLimitCurrent", "0.5");
        QCOMPARE(p.Field("TextLimitCurrent")->text(), QStringLiteral("0.500"));
        QVERIFY(p.Measure()->isChecked());
        // A refused limit keeps the run from starting.
        p.Steps({{"0.000", "5.000", "1.000"}});
        p.w->CmdRunP1_Click();
        QVERIFY(!p.w->RunningP1());
        QCOMPARE(p.services.Beeps, 1);
    }

    void CurrentLimitSwitchesOff()
    {
        Window p;
        p.Type("TextLimitCurrent", "0.5");
        p.RunToFirstQuery();
        QCOMPARE(p.port.Writes, (QList<QByteArray>{"APPL P1,5,1\r", "MEAS:VOLTA? P1\nMEAS:CURRA? P1\n"}));
        QVERIFY(p.session.Reply(QStringLiteral("5.000\r")));
        QVERIFY(p.session.Reply(QStringLiteral("0.612")));
        QCOMPARE(p.port.Writes.last(), QByteArray("OUTP:STAT OFF\n"));
        QVERIFY(!p.w->RunningP1() && !FindControl<QTimer>(*p.w, "Timer4")->isActive());
        QCOMPARE(p.session.Readings, (QStringList{"P1 V 5.000\r", "P1 A 0.612"}));
        QTRY_COMPARE(p.services.Titles, QStringList{"Tarvio"});
        QVERIFY(p.services.Messages.at(0).contains(QStringLiteral("0.612")) && p.services.Messages.at(0).contains(QStringLiteral("1단계")));
        QFile report(p.w->ReportPath());
        QVERIFY(report.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = report.readAll().split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines.at(1).endsWith(",current 0.612 > 0.500,limit\r"));
        QVERIFY(p.Summary().contains(QDir::toNativeSeparators(p.w->ReportPath())));
        QVERIFY(!p.session.Reply(QStringLiteral("1.000")));   // nothing asked any more
    }

    void LostPortAndUnwritableReport()
    {
        Window p;
        p.session.Folder = p.Path("missing");
        p.Measure()->setChecked(true);
        p.RunToFirstQuery();
        p.port.Vanish(QStringLiteral("unplugged"));
        QVERIFY(!p.w->RunningP1());
        QTRY_COMPARE(p.services.Titles.size(), 2);
        QVERIFY(p.services.Messages.join(QString()).contains(p.Path("missing")));
        QVERIFY(p.Summary().contains(QStringLiteral("보낸 단계 1 (연속)")));
        QVERIFY(p.w->ReportPath().isEmpty());
    }
};

QTEST_MAIN(TestPatternMeasure)
#include "test_pattern_measure.moc"
