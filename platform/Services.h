#pragma once
#include <QString>

class QWidget;

// The modal and audible things the windows need, behind one seam so that a
// test can answer them without a modal loop.
class UiServices {
public:
    virtual ~UiServices() = default;
    virtual void ShowMessage(QWidget* parent, const QString& title, const QString& text);
    virtual void Beep();
};
