// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The console, its port dialog and the pattern window in either language:
// English leaves no Hangul in any text a control shows, and Korean, the
// default, keeps its captions exactly, even after English was shown.
#include <QAbstractButton>
#include <QRegularExpression>

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
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            texts << where + b->text();
        if (auto* l = qobject_cast<QLabel*>(w))
            texts << where + l->text();
        if (auto* g = qobject_cast<QGroupBox*>(w))
            texts << where + g->title();
    }
    return texts;
}

// The port dialog, the console it opened and the pattern window.
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
    texts << ShownTexts(&c.window);
    FindControl<QRadioButton>(c.window, "OptionPatternCmd")->setChecked(true);
    auto* pattern = qobject_cast<frmPattern*>(c.window.PatternWindow());
    if (!pattern)
        return {QStringLiteral("no pattern window")};
    texts << ShownTexts(pattern);
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
                                  "CmdEdit:라인 편집", " 출력 패턴 만들기"})
            QVERIFY2(before.contains(QString::fromUtf8(shown)), shown);

        QVERIFY(UseLanguage(QStringLiteral("en")));
        const QStringList english = EverythingShown();
        QVERIFY(english.size() > 50);
        QStringList korean = english.filter(Hangul);
        korean.removeDuplicates();
        QVERIFY2(korean.isEmpty(), qPrintable(korean.join(QLatin1Char('\n'))));

        QVERIFY(UseLanguage(QStringLiteral("ko")));
        QCOMPARE(EverythingShown(), before);
        QCOMPARE(before.filter(CutOff) + english.filter(CutOff), QStringList());
    }
};

QTEST_MAIN(TestLanguages)
#include "test_languages.moc"
