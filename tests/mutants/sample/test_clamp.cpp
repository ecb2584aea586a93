// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtTest>

int Clamp(int value, int low, int high);
bool Within(int value, int low, int high);

class TestClamp : public QObject {
    Q_OBJECT
private slots:
    // No value at a bound: two mutants survive (the compiler proves value >= high
    // the same as value > high, and its object comes out byte-identical).
    void Clamps()
    {
        QCOMPARE(Clamp(5, 1, 10), 5);
        QCOMPARE(Clamp(-1, 1, 10), 1);
        QCOMPARE(Clamp(11, 1, 10), 10);
    }
    void Within_()
    {
        QVERIFY(Within(1, 1, 10));
        QVERIFY(!Within(0, 1, 10));
    }
    // Catches only what the others catch too.
    void WithinAgain() { QVERIFY(!Within(11, 1, 10)); }
};

QTEST_APPLESS_MAIN(TestClamp)
#include "test_clamp.moc"
