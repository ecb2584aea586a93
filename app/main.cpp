// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QCommandLineParser>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

#include "console/ProgramState.h"
#include "console/frmMain.h"
#include "platform/Fonts.h"
#include "platform/QtSerialDevice.h"
#include "platform/Services.h"
#include "platform/System.h"
#include "platform/Translations.h"

namespace {
// Answers --help and --version before any window exists, so both work on a
// terminal with no display (help2man also reads them at build time).
// Returns true when one of them was asked for and answered.
bool AnswerInformationOptions(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    // Qt's own -platform, -style, -reverse... stay whole words, so that
    // -reverse is not read as -r -e -v and taken for --version.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral(
        "Test console for programmable DC power supplies over an RS-232C serial line.\n"
        "It opens a serial port, sends the supply's commands once or repeatedly, shows the\n"
        "measured voltage and current and logs them to a daily file, and runs timed output\n"
        "patterns. The user interface is in Korean, or in English with --lang en;\n"
        "tarvio-sim plays a supply on a pseudo-terminal for practice without hardware.\n"
        "\n"
        "TARVIO_COM1 to TARVIO_COM4 choose the device for COM 1 to COM 4, e.g.\n"
        "TARVIO_COM1=/dev/ttyUSB0, or a serial device server on the network:\n"
        "rfc2217://HOST:PORT (the port settings reach the far line) or tcp://HOST:PORT\n"
        "(a raw stream). Without them COM n is the n-th serial device found.\n"
        "The day's measurement log, yymmdd_MS.txt, goes beside the program; for a program\n"
        "installed under /usr or /opt, or one whose folder cannot be written, it goes into\n"
        "$XDG_DATA_HOME/Tarvio/ (~/.local/share/Tarvio/ when XDG_DATA_HOME is not set).\n"
        "\n"
        "Qt's own options, such as -style NAME, are passed on to Qt."));
    // Qt's own --help-all would list nothing here, before Qt has started.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    // Read again, with TARVIO_LANG, once the application exists; named here so --help lists it.
    const QCommandLineOption language(QStringLiteral("lang"),
                                      QStringLiteral("Interface language: ko (the default) or en. TARVIO_LANG=en does the same."),
                                      QStringLiteral("ko|en"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(language);
    // Qt's options are unknown here; Qt reads them when the application starts.
    parser.parse(arguments);
    if (parser.isSet(help)) {
        // With no application object yet the parser cannot name the program.
        const QString text = parser.helpText();
        std::printf("Usage: tarvio [options]\n%s", qPrintable(text.mid(text.indexOf(QLatin1Char('\n')) + 1)));
        return true;
    }
    if (parser.isSet(version)) {
        std::printf("tarvio %s\n", TARVIO_VERSION);
        return true;
    }
    return false;
}
}

int main(int argc, char** argv)
{
    QCoreApplication::setApplicationName(QStringLiteral("Tarvio"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TARVIO_VERSION));
    if (AnswerInformationOptions(argc, argv))
        return 0;
    const QString noDisplay = MissingDisplay();
    if (!noDisplay.isEmpty()) {
        std::fprintf(stderr, "tarvio: %s\n", qPrintable(noDisplay));
        return 2;
    }
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    // Before the first window, so every caption is made in the chosen language.
    const QString language = ChooseLanguage(QApplication::arguments(), qEnvironmentVariable("TARVIO_LANG"));
    const MissingTexts missing = InstallTranslations(app, language);
    if (missing != MissingTexts::None)
        std::fprintf(stderr, "tarvio: %s\n", qPrintable(DescribeMissingTexts(missing)));

    ProgramState state;
    QtSerialDevice port(ResolveSystemDevice);
    UiServices services;
    frmMain window(state, port, services);
    window.show();
    return app.exec();
}
