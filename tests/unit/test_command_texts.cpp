// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The command table and the texts made from it: the three reference lists
// byte for byte, and the command history (help lines: the composer's test).
#include <QSet>
#include <QtTest>


#include "console/CommandHistory.h"
#include "console/CommandTable.h"
#include "console/ReferenceTexts.h"

class TestCommandTexts : public QObject {
    Q_OBJECT
private slots:
    void TableShape()
    {
        QCOMPARE(CommandTable().size(), 24);
        QSet<QString> buttons, places, positions;
        for (const CommandEntry& e : CommandTable()) {
            buttons << QString::fromLatin1(e.Button);
            places << QStringLiteral("%1,%2").arg(e.Row).arg(e.Column);
            positions << QString::number(e.ListPosition);
            // Parameters follow one blank; a keyword that takes none is complete.
            QCOMPARE(e.FieldText, e.SyntaxText.isEmpty() ? e.Keyword : e.Keyword + QLatin1Char(' '));
            if (!e.SyntaxText.isEmpty())
                QVERIFY(e.SyntaxText.startsWith(e.FieldText));
        }
        QCOMPARE(buttons.size(), 24);
        QCOMPARE(places.size(), 24);
        QCOMPARE(positions.size(), 24);
        QCOMPARE(KeypadKeys().size(), 18);
        QCOMPARE(ErrorTable().size(), 10);
    }

    // The three lists byte for byte where it shows: line count, the line ends
    // and sample lines as "index:exact line".
    void ReferenceLists()
    {
        const struct { ReferenceList list; int lines; bool endsWithLineEnd; QStringList samples; } cases[] = {
            {ReferenceList::Commands, 24, false,
             {"0:SOUR:VOLT ---- 전압 설정", "4:SOUR:FLOW? --- 제어모드 읽기(CV/CC)?", "5:APPL --------- 전압,전류 동시 설정",
              "18:OUTP:TRACK? -- 출력 동시 제어상태 읽기", "23:*CLS --------- 에러 상태 모두 지우기"}},
            {ReferenceList::Errors, 11, true,
             {"0:NO ERROR --------- 오류 없음", "1:ERROR - 1 -------- 냉각팬 #1 오류", "9:ERROR - 106 ------ Min. 입력수치 확인 하세요", "10:"}},
            {ReferenceList::Models, 27, false,
             {"0:**** MORVANTE DELTRIX R-Series ***********", "1:", "2: 1.  QPX-30R03 (30V/3A)", "8: 7.  QPX-120R1.5 (120V/1.5A)",
              "12: 11. QPX-30R05DD (30V/5A x2, 2 Line Display)", "13:", "14:**** MORVANTE DELTRIX T-Series *************", "15:",
              "25: 10. QPX-30T03DD (30V/3A x2, 2 Line Display)"}},
        };
        for (const auto& k : cases) {
            const QString text = ReferenceText(k.list);
            QCOMPARE(text.endsWith(QStringLiteral("\r\n")), k.endsWithLineEnd);
            QVERIFY(!text.contains(QRegularExpression(QStringLiteral("\r(?!\n)|(?<!\r)\n"))));   // CR LF only
            const QStringList split = text.split(QStringLiteral("\r\n"));
            QCOMPARE(split.size(), k.lines);
            for (const QString& sample : k.samples) {
                const int colon = sample.indexOf(QLatin1Char(':'));
                QCOMPARE(split.at(sample.left(colon).toInt()), sample.mid(colon + 1));
            }
        }
    }

    void HistoryRecallsLikeAShell()
    {
        CommandHistory h;
        QCOMPARE(h.Older(QStringLiteral("typing")), QStringLiteral("typing"));   // nothing to recall
        h.Add(QStringLiteral("*IDN?"));
        h.Add(QStringLiteral("APPL P1,1,1"));
        h.Add(QStringLiteral("APPL P1,1,1"));   // an immediate repeat is one entry
        h.Add(QString());
        QCOMPARE(h.Size(), 2);
        QCOMPARE(h.Older(QStringLiteral("OUTP")), QStringLiteral("APPL P1,1,1"));
        QCOMPARE(h.Older(QStringLiteral("APPL P1,1,1")), QStringLiteral("*IDN?"));
        QCOMPARE(h.Older(QStringLiteral("*IDN?")), QStringLiteral("*IDN?"));   // stays at the oldest
        QCOMPARE(h.Newer(QStringLiteral("*IDN?")), QStringLiteral("APPL P1,1,1"));
        QCOMPARE(h.Newer(QStringLiteral("APPL P1,1,1")), QStringLiteral("OUTP"));   // back to what was typed
        QCOMPARE(h.Newer(QStringLiteral("OUTP")), QStringLiteral("OUTP"));

        for (int i = 0; i < 60; ++i)
            h.Add(QString::number(i));
        QCOMPARE(h.Size(), CommandHistory::MaxEntries);
        QString oldest;
        for (int i = 0; i < 60; ++i)
            oldest = h.Older(oldest);
        QCOMPARE(oldest, QStringLiteral("10"));
    }
};

QTEST_APPLESS_MAIN(TestCommandTexts)
#include "test_command_texts.moc"
