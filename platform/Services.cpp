#include "platform/Services.h"

#include <QApplication>
#include <QMessageBox>

void UiServices::ShowMessage(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox::information(parent, title, text, QMessageBox::Ok);
}

void UiServices::Beep()
{
    QApplication::beep();
}
