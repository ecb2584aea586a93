// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The console, its port dialog and the pattern window in either language:
// English leaves no Hangul in any text a control shows, and Korean, the
// default, keeps its captions exactly, even after English was shown.
#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTextEdit>
#include <QtTest>

#include "plot/PlotWindow.h"

#include "console/CommandTable.h"
#include "pattern/frmPattern.h"
#include "platform/CommInit.h"
#include "support/FakeConsole.h"
#include "support/Languages.h"

namespace {
const QString CutOff = QStringLiteral("CUT OFF ");

// A caption needs the width its control asks for; given less, it is clipped.
bool Clipped(QWidget* w)
{
    if (auto* g = qobject_cast<QGroupBox*>(w))
        return !g->title().isEmpty() && g->fontMetrics().horizontalAdvance(g->title()) + 16 > g->width();
    if (auto* l = qobject_cast<QLabel*>(w))
        return !l->text().isEmpty() && !l->wordWrap() && l->sizeHint().width() > l->width();
    // A push button asks for a minimum width whatever its caption, so its caption is measured.
    if (auto* b = qobject_cast<QPushButton*>(w))
        return b->fontMetrics().horizontalAdvance(b->text()) + 8 > b->width();
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return !b->text().isEmpty() && b->sizeHint().width() > b->width();
    return false;
}

// Every text a person can read on the window's visible controls, by where it
// is, and each caption that does not fit its control.
QStringList ShownTexts(QWidget* window)
{
    QStringList texts{window->windowTitle()};
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (QWidget* w : widgets) {
        if (!w->isVisibleTo(window) && w != window)
            continue;
        const QString where = w->objectName() + QLatin1Char(':');
        if (Clipped(w))
            texts << CutOff + where + QString::number(w->width()) + QLatin1Char('<') + QString::number(w->sizeHint().width());
        texts << where + w->toolTip() << where + w->accessibleName() << where + w->accessibleDescription();
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            texts << where + b->text();
        if (auto* l = qobject_cast<QLabel*>(w))
            texts << where + l->text();
        if (auto* g = qobject_cast<QGroupBox*>(w))
            texts << where + g->title();
        if (auto* e = qobject_cast<QLineEdit*>(w))
            texts << where + e->text();
        if (auto* e = qobject_cast<QPlainTextEdit*>(w))
            texts << where + e->toPlainText();
        if (auto* e = qobject_cast<QTextEdit*>(w))
            texts << where + e->toPlainText();
        if (auto* t = qobject_cast<QTableView*>(w))
            for (int c = 0; c < t->model()->columnCount(); ++c)
                texts << where + t->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    }
    return texts;
}

// The console with each reference list and each keyword's help line shown,
// the port dialog that opened it, and the pattern window with its run and line-edit captions.
QStringList EverythingShown()
{
    FakeConsole c(false);
    QStringList texts;
    // Opened through the dialog, as the operator does.
    CommInit dialog(c.port, c.state.Dialog, c.services, c.window.Controller());
    dialog.show();
    texts << ShownTexts(&dialog);
    FindControl<QPushButton>(dialog, "CommInit_OK")->click();
    c.window.Form_Activate();
    if (!c.port.IsOpen())
        return {QStringLiteral("port not open")};
    for (QRadioButton* list : {FindControl<QRadioButton>(c.window, "OptionCommand"), FindControl<QRadioButton>(c.window, "OptionError"), FindControl<QRadioButton>(c.window, "OptionETC")}) {
        list->setChecked(true);
        texts << ShownTexts(&c.window);
    }
    for (const CommandEntry& e : CommandTable()) {
        c.window.findChild<QPushButton*>(QLatin1String(e.Button))->click();
        texts << FindControl<QLabel>(c.window, "sbrInfo")->text();
    }
    FindControl<QPushButton>(c.window, "CmdGraph")->click();
    if (!c.window.Plot())
        return {QStringLiteral("no plot window")};
    texts << ShownTexts(c.window.Plot());
    c.window.Plot()->close();
    FindControl<QRadioButton>(c.window, "OptionPatternCmd")->setChecked(true);
    auto* pattern = qobject_cast<frmPattern*>(c.window.PatternWindow());
    if (!pattern)
        return {QStringLiteral("no pattern window")};
    texts << ShownTexts(pattern);
    pattern->Table().SetStep(1, {"0.000", "200.000", "1.000"});   // beyond the supply: the refusal note shows
    pattern->Table().SetStep(2, {"1.000", "5.000", "1.000"});
    pattern->ShowTable();
    pattern->DrawPatternPreview();
    FindControl<UpDown>(*pattern, "UpDownReDo")->SetValue(0);
    pattern->CmdEdit_Click();
    texts << ShownTexts(pattern);
    pattern->CmdRunP1_Click();
    texts << ShownTexts(pattern);
    pattern->CmdRunP1_Click();
    pattern->close();
    return texts;
}

const QRegularExpression Hangul(QStringLiteral("[\\x{1100}-\\x{11FF}\\x{3130}-\\x{318F}\\x{AC00}-\\x{D7A3}]"));
}

class TestLanguages : public QObject {
    Q_OBJECT
private slots:
    // English leaves no Hangul and clips nothing; Korean keeps its captions
    // exactly, also after English was shown: a table translated once and kept
    // would leave English behind.
    void EachLanguageShowsItsOwn()
    {
        QVERIFY(UseLanguage(QStringLiteral("ko")));
        const QStringList before = EverythingShown();
        for (const char* shown : {" 통신 시험용 프로그램 (RS-232C)", "CmdStartStop:명령 전송", "CmdComport:통신포트",
                                  "LabelComportOpen:열렸음", "OptionLineCmd:라인 명령", "OptionMonitorCmd:모니터 명령",
                                  "OptionSetCmd:설정 모니터 명령", "OptionPatternCmd:패턴 출력 명령", "CheckRedo:시간 간격 적용",
                                  "FrameRedo:명령어 반복 전송", "OptionETC:기타 정보", "CommInit_OK:열기",
                                  "CmdRunP1:실행 끝내기", "CmdEdit:셀 편집", "TextReDo:연속", " 출력 패턴 만들기"})
            QVERIFY2(before.contains(QString::fromUtf8(shown)), shown);
        QVERIFY(before.join(QString()).contains(QStringLiteral("MEAS:CURRS? -- 순간 전류 여러개 읽기")));

        QVERIFY(UseLanguage(QStringLiteral("en")));
        const QStringList english = EverythingShown();
        QVERIFY(english.size() > 100);
        QStringList korean = english.filter(Hangul);
        korean.removeDuplicates();
        QVERIFY2(korean.isEmpty(), qPrintable(korean.join(QLatin1Char('\n'))));
        // The keywords and model numbers are the instrument's own words in either language.
        QVERIFY(english.join(QString()).contains(QStringLiteral("MEAS:CURRS? -- Measure current samples")));
        QVERIFY(english.join(QString()).contains(QStringLiteral("QPX-30R03D")));

        QVERIFY(UseLanguage(QStringLiteral("ko")));
        QCOMPARE(EverythingShown(), before);
        QCOMPARE(before.filter(CutOff) + english.filter(CutOff), QStringList());
    }
};

QTEST_MAIN(TestLanguages)
#include "test_languages.moc"
