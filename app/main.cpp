#include <QApplication>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

#include "console/ProgramState.h"
#include "console/frmMain.h"
#include "platform/Fonts.h"
#include "platform/QtSerialDevice.h"
#include "platform/Services.h"
#include "platform/Translations.h"

int main(int argc, char** argv)
{
#ifdef Q_OS_LINUX
    // Without a display Qt aborts with a message few operators can act on.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fprintf(stderr,
                     "tarvio: no display found (DISPLAY is not set).\n"
                     "Run it on a desktop session, or start a virtual display first:\n"
                     "  xvfb-run -a tarvio\n"
                     "or set QT_QPA_PLATFORM=offscreen to run without showing a window.\n");
        return 2;
    }
#endif
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvio"));
    InstallFontSubstitutions();
    // Before the first window, so every caption is made in the chosen language.
    const QString language = ChooseLanguage(QApplication::arguments(), qEnvironmentVariable("TARVIO_LANG"));
    if (!InstallTranslations(app, language))
        std::fprintf(stderr, "tarvio: the %s texts could not be loaded\n", qPrintable(language));

    ProgramState state;
    QtSerialDevice port(ResolveSystemDevice);
    UiServices services;
    frmMain window(state, port, services);
    window.show();
    return app.exec();
}
