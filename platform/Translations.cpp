// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {
const QString Korean = QStringLiteral("ko");
const QString English = QStringLiteral("en");

// "en", "EN", "en_GB.UTF-8" all mean English; anything unknown keeps Korean.
QString Normalized(const QString& value)
{
    return value.trimmed().toLower().startsWith(English) ? English : Korean;
}

bool Install(QCoreApplication& app, const QString& file, const QString& folder)
{
    auto* translator = new QTranslator(&app);
    if (!translator->load(file, folder)) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}
}

QString ChooseLanguage(const QStringList& arguments, const QString& environmentValue)
{
    // The command line wins over the environment, and a later --lang over an earlier one.
    QString chosen = environmentValue;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (a == QLatin1String("--lang") && i + 1 < arguments.size())
            chosen = arguments.at(++i);
        else if (a.startsWith(QLatin1String("--lang=")))
            chosen = a.mid(7);
    }
    return Normalized(chosen);
}

bool InstallTranslations(QCoreApplication& app, const QString& language)
{
    const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (language == English)
        return Install(app, QStringLiteral("tarvio_en"), QStringLiteral(":/i18n"));
    // Qt's own texts are English at source; Korean needs its catalogue.
    return Install(app, QStringLiteral("qtbase_ko"), qtFolder);
}
