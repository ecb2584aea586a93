// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The port dialog's remembered choices and load rules, without the dialog.
#include <QtTest>

#include "link/PortChoices.h"
#include "link/PortSettings.h"

class TestPortChoices : public QObject {
    Q_OBJECT
private slots:
    // What the port reports that no option stands for keeps the design default
    // shown, while the remembered choice takes the reported value.
    void LoadRules()
    {
        // The parity is the one remembered before the load.
        const struct { const char* name; int port; const char* settings; int flow; const char* parity; QList<int> shown;
                       int rememberedBaud; } cases[] = {
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
