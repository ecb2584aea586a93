// The port dialog's remembered choices and load rules, without the dialog.
#include <QtTest>

#include "link/PortChoices.h"
#include "link/PortSettings.h"

class TestPortChoices : public QObject {
    Q_OBJECT
private slots:
    // Every option of every group, chosen, opened with and shown again on the
    // next opening, is the same option: the baud rate makes the trip through
    // the port's own settings text, the rest through the remembered choices.
    void EveryChoiceRoundTrips()
    {
        const ChoiceGroup groups[] = {ChoiceGroup::Port,     ChoiceGroup::Baud,     ChoiceGroup::Parity,
                                      ChoiceGroup::DataBits, ChoiceGroup::StopBits, ChoiceGroup::Flow};
        for (ChoiceGroup group : groups)
            for (int index = 0; index < ChoiceCount(group); ++index) {
                CommInitChoices chosen;
                for (ChoiceGroup g : groups)
                    RecordChoice(chosen, g, DialogSelection()[g]);
                RecordChoice(chosen, group, index);

                PortSettings opened;
                QVERIFY(PortSettings::Parse(ComposeSettingsText(chosen), &opened));
                CommInitChoices remembered = chosen;
                const DialogSelection shown =
                    LoadDialogChoices(remembered, chosen.SelectedPort, opened.ToText(), chosen.SelectedFlow);
                for (ChoiceGroup g : groups)
                    QVERIFY2(shown[g] == (g == group ? index : DialogSelection()[g]),
                             qPrintable(QStringLiteral("group %1 option %2, group %3 shows %4")
                                            .arg(int(group)).arg(index).arg(int(g)).arg(shown[g])));
                QCOMPARE(remembered.SelectedBaud, chosen.SelectedBaud);
            }
    }

    void ChoicesComposeTheSettingsText()
    {
        CommInitChoices c;
        RecordChoice(c, ChoiceGroup::Baud, 5);
        RecordChoice(c, ChoiceGroup::Parity, 2);
        RecordChoice(c, ChoiceGroup::DataBits, 0);
        RecordChoice(c, ChoiceGroup::StopBits, 1);
        QCOMPARE(ComposeSettingsText(c), QStringLiteral(" 9600,E, 7, 2"));
        RecordChoice(c, ChoiceGroup::Baud, 7);   // no such option: the choice stands
        RecordChoice(c, ChoiceGroup::Flow, -1);
        QCOMPARE(c.SelectedBaud, 9600);
        QCOMPARE(c.SelectedFlow, 0);
    }

    // What the port reports that no option stands for keeps the design default
    // shown, while the remembered choice takes the reported value.
    void LoadRules_data()
    {
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<int>("flow");
        QTest::addColumn<QString>("parity");   // remembered before the load
        QTest::addColumn<QList<int>>("shown");
        QTest::addColumn<int>("rememberedBaud");
        QTest::newRow("design defaults") << 1 << "19200,N,8,1" << 2 << "" << QList<int>{0, 6, 0, 1, 0, 2} << 19200;
        QTest::newRow("unlisted baud") << 2 << "38400,N,8,1" << 0 << "" << QList<int>{1, 6, 0, 1, 0, 0} << 384;
        QTest::newRow("1200 read as its first three digits")
            << 4 << "1200,N,8,1" << 3 << "" << QList<int>{3, 2, 0, 1, 0, 3} << 1200;
        QTest::newRow("port and flow out of range") << 5 << "300,N,8,1" << 7 << "" << QList<int>{0, 0, 0, 1, 0, 2} << 300;
        QTest::newRow("parity from the choice, not the port")
            << 1 << "19200,E,7,2" << 2 << "O" << QList<int>{0, 6, 1, 1, 0, 2} << 19200;
    }
    void LoadRules()
    {
        QFETCH(int, port);
        QFETCH(QString, settings);
        QFETCH(int, flow);
        QFETCH(QString, parity);
        QFETCH(QList<int>, shown);
        CommInitChoices c;
        c.SelectedParity = parity;
        const DialogSelection s = LoadDialogChoices(c, port, settings, flow);
        QList<int> indices;
        for (int g = 0; g < ChoiceGroupCount; ++g)
            indices << s.Index[g];
        QCOMPARE(indices, shown);
        QTEST(c.SelectedBaud, "rememberedBaud");
        QCOMPARE(c.SelectedPort, port);
        QCOMPARE(c.SelectedFlow, flow);
    }
};

QTEST_GUILESS_MAIN(TestPortChoices)
#include "test_port_choices.moc"
