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

MissingTexts InstallTranslations(QCoreApplication& app, const QString& language, const QString& qtFolder)
{
    if (language == English)
        return Install(app, QStringLiteral("tarvio_en"), QStringLiteral(":/i18n")) ? MissingTexts::None
                                                                                     : MissingTexts::Console;
    // Qt's own texts are English at source; Korean needs its catalogue.
    const QString folder = qtFolder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : qtFolder;
    return Install(app, QStringLiteral("qtbase_ko"), folder) ? MissingTexts::None : MissingTexts::QtDialogs;
}

QString DescribeMissingTexts(MissingTexts missing)
{
    switch (missing) {
    case MissingTexts::None:
        break;
    case MissingTexts::Console:
        // Read only when the English catalogue did not load, so it cannot come from there.
        return QStringLiteral("the console's English texts could not be loaded (this build lacks its "
                              ":/i18n/tarvio_en.qm); it shows its Korean texts");
    case MissingTexts::QtDialogs:
        // Without this the operator would think the console's own texts were missing.
        return QCoreApplication::translate(
            "Translations",
            "Qt 표준 대화상자의 한국어 문구가 설치되어 있지 않습니다(qt6-translations-l10n). 파일·인쇄 "
            "대화상자와 메시지 상자의 단추는 영어로 나오고, 콘솔 자체의 문구는 영향을 받지 않습니다. "
            "설치: sudo apt-get install qt6-translations-l10n");
    }
    return QString();
}
