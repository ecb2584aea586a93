// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

class QPrinter;
class QWidget;

// The modal and audible things the windows need, behind one seam so that a
// test can answer them without a modal loop.
class UiServices {
public:
    virtual ~UiServices() = default;
    virtual void ShowMessage(QWidget* parent, const QString& title, const QString& text);
    virtual void Beep();
    // File dialogs: the chosen path, or an empty text when the operator cancelled.
    // The save dialog asks before an existing file is replaced.
    virtual QString OpenFileName(QWidget* parent, const QString& title, const QString& filter,
                                 const QString& initialName);
    virtual QString SaveFileName(QWidget* parent, const QString& title, const QString& filter,
                                 const QString& initialName);
    // The print dialog, all pages and no page-number entry; false when cancelled.
    virtual bool PrintDialog(QWidget* parent, QPrinter& printer);
};
