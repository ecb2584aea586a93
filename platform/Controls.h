// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QColor>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTextCursor>
#include <QWidget>

class QToolButton;

// A control made with the name tests and tools find it by.
template <typename T>
T* Named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A window's control found by the name it was made with: tests, benchmarks and
// the screenshot tool reach controls this way, as accessibility tools do,
// since every window keeps its controls to itself. A name that is not there
// is a broken tool, so it stops the program with that name.
template <typename T>
T* FindControl(const QObject& window, const char* name)
{
    T* control = window.findChild<T*>(QString::fromLatin1(name));
    if (!control)
        qFatal("no control %s of that kind in %s", name, qPrintable(window.objectName()));
    return control;
}

// A small round indicator lamp whose fill colour the program sets.
class Lamp : public QWidget {
    Q_OBJECT
public:
    explicit Lamp(QWidget* parent = nullptr);
    QColor FillColor() const { return fill_; }
    void SetFillColor(const QColor& colour);
    QSize sizeHint() const override { return {16, 16}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QColor fill_{192, 192, 192};
};

// Up/down arrows that step a value within a range; the value is shown by a
// separate text field, as on the bench consoles operators already know.
class UpDown : public QWidget {
    Q_OBJECT
public:
    explicit UpDown(QWidget* parent = nullptr);
    int Value() const { return value_; }
    void SetValue(int value);   // clamped; emits Change when it moves
    void SetRange(int minimum, int maximum);
    void SetIncrement(int step) { increment_ = step; }
    int Minimum() const { return min_; }
    int Maximum() const { return max_; }
    int Increment() const { return increment_; }
    void StepUp() { SetValue(value_ + increment_); }
    void StepDown() { SetValue(value_ - increment_); }

signals:
    void Change();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    int value_ = 0, min_ = 0, max_ = 100, increment_ = 1;
    QToolButton* up_;
    QToolButton* down_;
};

// A read-only multi-line panel that the program writes at its insertion point.
// Text the operator has selected is never overwritten: new text goes just
// after the selection, which stays selected so it can still be copied.
template <class Base>
class InsertionPanel : public Base {
public:
    explicit InsertionPanel(QWidget* parent = nullptr);
    void InsertText(const QString& text);
    void ClearText();
    void SetInsertionPoint(int offset);
    // Older lines are dropped from the top beyond this many.
    void SetMaximumLines(int lines) { Base::document()->setMaximumBlockCount(lines); }

private:
    void ApplyLineSpacing();

    QTextCursor pending_;   // where writes go while a selection is kept
};

// The message panel: a plain-text view, which drops its oldest lines cheaply
// when it is full (a rich-text view takes milliseconds a line at 5,000 lines).
using TextPanel = InsertionPanel<QPlainTextEdit>;
// The reference panel: its Korean fixed-pitch face draws Hangul taller than
// its own line height, so lines get more room, which only the rich-text view can give.
using SpacedTextPanel = InsertionPanel<QTextEdit>;
