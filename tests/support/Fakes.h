// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QPrinter>
#include <QStringList>

#include "support/FakeSerialPort.h"
#include "platform/Services.h"

// Answers the modal things by recording them.
class FakeServices : public UiServices {
public:
    QStringList Titles, Messages;
    int Beeps = 0;
    void ShowMessage(QWidget*, const QString& title, const QString& text) override
    {
        Titles << title;
        Messages << text;
    }
    void Beep() override { ++Beeps; }

    // File dialogs answer from these queues (an empty answer is a cancel)
    // and record how they were asked.
    QStringList OpenAnswers, SaveAnswers;
    QStringList DialogTitles, DialogFilters, DialogInitialNames;
    QString OpenFileName(QWidget*, const QString& title, const QString& filter, const QString& initial) override
    {
        Record(title, filter, initial);
        return OpenAnswers.isEmpty() ? QString() : OpenAnswers.takeFirst();
    }
    QString SaveFileName(QWidget*, const QString& title, const QString& filter, const QString& initial) override
    {
        Record(title, filter, initial);
        return SaveAnswers.isEmpty() ? QString() : SaveAnswers.takeFirst();
    }
    // The print dialog: cancelled when PrintToPdf is empty, otherwise the
    // printer is pointed at that PDF file.
    QString PrintToPdf;
    int PrintDialogs = 0;
    bool PrintDialog(QWidget*, QPrinter& printer) override
    {
        ++PrintDialogs;
        if (PrintToPdf.isEmpty())
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(PrintToPdf);
        return true;
    }

private:
    void Record(const QString& title, const QString& filter, const QString& initial)
    {
        DialogTitles << title;
        DialogFilters << filter;
        DialogInitialNames << initial;
    }
};
