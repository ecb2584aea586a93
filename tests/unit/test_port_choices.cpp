// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
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

    // What the port reports that no option stands for keeps the design default
    // shown, while the remembered choice takes the reported value.
    void LoadRules()
    {
        const struct {
            const char* name;
            int port;
            const char* settings;
            int flow;
            const char* parity;   // remembered before the load
            QList<int> shown;
            int rememberedBaud;
        } cases[] = {
            {"design defaults", 1, "19200,N,8,1", 2, "", {0, 6, 0, 1, 0, 2}, 19200},
            {"unlisted baud", 2, "38400,N,8,1", 0, "", {1, 6, 0, 1, 0, 0}, 384},
            {"1200 read as its first three digits", 4, "1200,N,8,1", 3, "", {3, 2, 0, 1, 0, 3}, 1200},
            {"port and flow out of range", 5, "300,N,8,1", 7, "", {0, 0, 0, 1, 0, 2}, 300},
            {"parity from the choice, not the port", 1, "19200,E,7,2", 2, "O", {0, 6, 1, 1, 0, 2}, 19200},
        };
        for (const auto& k : cases) {
            CommInitChoices c;
            c.SelectedParity = QString::fromLatin1(k.parity);
            const DialogSelection s = LoadDialogChoices(c, k.port, QString::fromLatin1(k.settings), k.flow);
            QList<int> indices;
            for (int g = 0; g < ChoiceGroupCount; ++g)
                indices << s.Index[g];
            QVERIFY2(indices == k.shown, k.name);
            QVERIFY2(c.SelectedBaud == k.rememberedBaud && c.SelectedPort == k.port && c.SelectedFlow == k.flow, k.name);
        }
    }
};

QTEST_GUILESS_MAIN(TestPortChoices)
#include "test_port_choices.moc"
