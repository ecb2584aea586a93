// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Drives the real windows on a real display against the simulated supply and
// takes the pictures the documentation shows, so they never go stale.
//   tarvio-shots OUTDIR [ko|en]   (English pictures are named *.en.png)
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QComboBox>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "console/ProgramState.h"
#include "console/frmMain.h"
#include "platform/CommInit.h"
#include "pattern/frmPattern.h"
#include "plot/PlotView.h"
#include "plot/PlotWindow.h"
#include "platform/Fonts.h"
#include "platform/QtSerialDevice.h"
#include "platform/Services.h"
#include "platform/Translations.h"

namespace {
void Wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool Shoot(QWidget* window, const QString& path)
{
    Wait(300);
    const QRect frame = window->frameGeometry();
    const QPixmap shot = window->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    const bool ok = shot.save(path);
    std::printf("%s %s (%dx%d)\n", ok ? "wrote" : "FAILED", qPrintable(path), shot.width(), shot.height());
    return ok;
}

void Send(frmMain& console, const char* command)
{
    FindControl<QLineEdit>(console, "TextCommand")->setText(QString::fromLatin1(command));
    console.CmdStartStop_Click();
    Wait(150);
}
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    if (argc < 2) {
        std::fprintf(stderr, "usage: tarvio-shots OUTDIR [ko|en]\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QString language
        = ChooseLanguage({QString(), QStringLiteral("--lang"), QString::fromLocal8Bit(argc > 2 ? argv[2] : "ko")}, QString());
    InstallTranslations(app, language);
    const QString suffix = language == QLatin1String("en") ? QStringLiteral(".en.png") : QStringLiteral(".png");
    const auto picture = [&](const char* name) { return out.filePath(QLatin1String(name) + suffix); };
    QTemporaryDir scratch;
    const QString link = scratch.filePath(QStringLiteral("com1"));
    QProcess sim;
    sim.start(QStringLiteral(TARVIO_SIM_PATH), {QStringLiteral("--outputs"), QStringLiteral("2"),
                                                QStringLiteral("--link"), link});
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000)) {
        std::fprintf(stderr, "tarvio-sim did not start\n");
        return 1;
    }

    ProgramState state;
    QtSerialDevice port([&](int n) { return n == 1 ? link : ResolveSystemDevice(n); });
    UiServices services;
    frmMain console(state, port, services);
    console.Controller().LogFolder = scratch.path();
    console.move(0, 0);
    console.show();
    Wait(500);
    int failures = 0;

    // The port dialog, photographed while it is open, then opened.
    QTimer::singleShot(400, [&] {
        if (auto* dialog = qobject_cast<CommInit*>(QApplication::activeModalWidget())) {
            failures += !Shoot(dialog, picture("port-dialog"));
            FindControl<QPushButton>(*dialog, "CommInit_OK")->click();
        }
    });
    console.CmdComport_Click();

    FindControl<QRadioButton>(console, "OptionDual")->setChecked(true);
    for (const char* c : {"APPL P1,12.5,1.2", "APPL P2,5,0.3", "OUTP:STAT ON", "*IDN?", "SYST:ERR?"})
        Send(console, c);
    FindControl<QRadioButton>(console, "OptionMonitorCmd")->setChecked(true);
    Wait(2600);
    failures += !Shoot(&console, picture("main-window"));

    // The trend window over a minute: a set-value change between two stretches
    // of monitoring leaves a gap, the set values show as dotted lines.
    console.CmdGraph_Click();
    PlotWindow* plot = console.Plot();
    plot->move(30, 30);
    FindControl<QComboBox>(*plot, "ComboSpan")->setCurrentIndex(0);
    Wait(9000);
    FindControl<QRadioButton>(console, "OptionLineCmd")->setChecked(true);
    Send(console, "APPL P1,10,1.2");
    Send(console, "APPL P2,6,0.3");
    FindControl<QRadioButton>(console, "OptionSetCmd")->setChecked(true);
    Wait(600);
    FindControl<QRadioButton>(console, "OptionMonitorCmd")->setChecked(true);
    Wait(9000);
    plot->RefreshTimer_Timer();
    QWidget* surface = FindControl<PlotView>(*plot, "LiveView")->viewport();
    const QPointF at(surface->width() * 0.7, surface->height() * 0.4);
    QMouseEvent hover(QEvent::MouseMove, at, surface->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(surface, &hover);
    failures += !Shoot(plot, picture("plot-window"));
    plot->close();

    FindControl<QRadioButton>(console, "OptionSetCmd")->setChecked(true);
    Wait(600);
    FindControl<QRadioButton>(console, "OptionLineCmd")->setChecked(true);
    console.findChild<QPushButton*>(QStringLiteral("CmdAPPL"))->click();
    for (const char* key : {"CmdP1", "CmdComma", "Cmd1", "Cmd0", "CmdComma", "Cmd2"})
        console.findChild<QPushButton*>(QLatin1String(key))->click();
    FindControl<QRadioButton>(console, "OptionError")->setChecked(true);
    failures += !Shoot(&console, picture("composer-errors"));
    FindControl<QRadioButton>(console, "OptionETC")->setChecked(true);
    failures += !Shoot(&console, picture("reference-models"));
    FindControl<QRadioButton>(console, "OptionCommand")->setChecked(true);

    FindControl<QRadioButton>(console, "OptionPatternCmd")->setChecked(true);
    auto* pattern = qobject_cast<frmPattern*>(console.PatternWindow());
    if (!pattern)
        return 1;
    pattern->move(40, 40);
    const QList<PatternStep> steps{{"0.000", "5.000", "1.000"},   {"2.000", "10.000", "1.500"},
                                   {"4.000", "20.000", "2.000"},  {"6.000", "15.000", "1.000"},
                                   {"8.000", "0.000", "0.000"}};
    for (int i = 0; i < steps.size(); ++i)
        pattern->Table().SetStep(i + 1, steps.at(i));
    pattern->ShowTable();
    pattern->MSFlexGrid1_MouseDown(3, 2);
    pattern->DrawPatternPreview();
    failures += !Shoot(pattern, picture("pattern-window"));

    FindControl<QLineEdit>(*pattern, "TextReDo")->setText(QStringLiteral("3"));
    pattern->TextReDo_KeyPress();
    pattern->CmdRunP1_Click();
    Wait(9000 + 5000);   // one repetition and a bit of the next
    failures += !Shoot(pattern, picture("pattern-running"));
    pattern->CmdRunP1_Click();

    // Played once more, measured, to its end: the summary and where the report went.
    FindControl<QLineEdit>(*pattern, "TextReDo")->setText(QStringLiteral("1"));
    pattern->TextReDo_KeyPress();
    FindControl<QCheckBox>(*pattern, "CheckMeasure")->setChecked(true);
    FindControl<QLineEdit>(*pattern, "TextLimitCurrent")->setText(QStringLiteral("2.5"));
    pattern->CmdRunP1_Click();
    Wait(9000 + 1500);
    failures += !Shoot(pattern, picture("pattern-measured"));
    pattern->close();
    console.close();
    sim.terminate();
    sim.waitForFinished(3000);
    return failures == 0 ? 0 : 1;
}
