#include "pattern/frmPattern.h"

#include <QCloseEvent>

frmPattern::frmPattern(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmPattern"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(900, 640);
}

void frmPattern::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit Closed();
}
