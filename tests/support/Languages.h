// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QApplication>
#include <QTranslator>

#include "platform/Translations.h"

// Switches the process to a language as main() would at start: windows made
// afterwards speak it. Returns false when a catalogue could not be loaded.
inline bool UseLanguage(const QString& language)
{
    for (QTranslator* t : qApp->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
    return InstallTranslations(*qApp, language) == MissingTexts::None;
}
