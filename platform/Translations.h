// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>

class QCoreApplication;

// The interface language: Korean unless the operator asks for English with
// --lang en or TARVIO_LANG=en; the system locale is not consulted, because the
// documented console speaks Korean wherever it runs.
QString ChooseLanguage(const QStringList& arguments, const QString& environmentValue);

// Which of a language's catalogues could not be loaded: the console's own
// English texts, or Qt's Korean ones for its standard dialogs.
enum class MissingTexts { None, Console, QtDialogs };

// Loads the program's catalogue for the language (none for Korean, its source
// language) and Qt's own, so file, print and message-box dialogs speak it too.
// The translators are children of the application. Qt's catalogues are looked
// for in qtFolder, Qt's translations folder when it is empty.
MissingTexts InstallTranslations(QCoreApplication& app, const QString& language, const QString& qtFolder = QString());

// The operator's sentence on what is missing and what still works, in the
// language now installed; empty for MissingTexts::None.
QString DescribeMissingTexts(MissingTexts missing);
