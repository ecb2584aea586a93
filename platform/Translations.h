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

// Loads the program's catalogue for the language (none for Korean, its source
// language) and Qt's own, so file, print and message-box dialogs speak it too.
// The translators are children of the application. False when a catalogue the
// language needs could not be loaded.
bool InstallTranslations(QCoreApplication& app, const QString& language);
