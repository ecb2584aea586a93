// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// tarvio-run: the console's monitor mode and the pattern window's run from a
// shell, a script or a service, with the outcome in the exit code.
#include <QCoreApplication>
#include <cstdio>
#include <unistd.h>

#include "run/Progress.h"
#include "run/RunOptions.h"
#include "platform/System.h"
#include "run/Runner.h"

int main(int argc, char** argv)
{
    PrepareTerminalOutput();
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QString error;
    const std::optional<RunOptions> options = ParseRunOptions(arguments, &error);
    if (!options) {
        std::fprintf(stderr, "tarvio-run: %s (see tarvio-run --help)\n", error.toUtf8().constData());
        return RunExit::Usage;
    }
    if (options->Job == RunJob::Help) {
        std::fputs(RunHelpText().toUtf8().constData(), stdout);
        return RunExit::Done;
    }
    if (options->Job == RunJob::Version) {
        std::printf("tarvio-run %s\n", TARVIO_VERSION);
        return RunExit::Done;
    }

    QCoreApplication app(argc, argv);
    // The same name as the console's, so both find the same per-user log folder.
    QCoreApplication::setApplicationName(QStringLiteral("Tarvio"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TARVIO_VERSION));
    ProgressOutput progress(stderr, ::isatty(STDERR_FILENO) == 1, options->Quiet);
    Runner runner(*options, progress);
    QObject::connect(&runner, &Runner::Finished, &app, &QCoreApplication::exit);
    const int refused = runner.Start();
    if (refused >= 0)
        return refused;
    return app.exec();
}
