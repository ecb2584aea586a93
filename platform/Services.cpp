// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Services.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

void UiServices::ShowMessage(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox::information(parent, title, text, QMessageBox::Ok);
}

void UiServices::Beep()
{
    QApplication::beep();
}

QString UiServices::OpenFileName(QWidget* parent, const QString& title, const QString& filter,
                                 const QString& initialName)
{
    return QFileDialog::getOpenFileName(parent, title, initialName, filter);
}

QString UiServices::SaveFileName(QWidget* parent, const QString& title, const QString& filter,
                                 const QString& initialName)
{
    // The name is used exactly as chosen: no extension is added behind the operator's back.
    QFileDialog dialog(parent, title, initialName, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QString());
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (!initialName.isEmpty())
        dialog.selectFile(initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

bool UiServices::PrintDialog(QWidget* parent, QPrinter& printer)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setPrintRange(QAbstractPrintDialog::AllPages);
    return dialog.exec() == QDialog::Accepted;
}
