// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Controls.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <type_traits>

Lamp::Lamp(QWidget* parent) : QWidget(parent)
{
    setFixedSize(16, 16);
}

void Lamp::SetFillColor(const QColor& colour)
{
    if (colour == fill_)
        return;
    fill_ = colour;
    update();
}

void Lamp::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(fill_);
    p.drawEllipse(QRectF(1.5, 1.5, width() - 3, height() - 3));
}

UpDown::UpDown(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    up_ = new QToolButton(this);
    down_ = new QToolButton(this);
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {up_, down_}) {
        b->setAutoRepeat(true);
        b->setFixedSize(18, 11);
        b->setFocusPolicy(Qt::NoFocus);
        box->addWidget(b);
    }
    up_->setAccessibleName(tr("증가"));
    down_->setAccessibleName(tr("감소"));
    connect(up_, &QToolButton::clicked, this, &UpDown::StepUp);
    connect(down_, &QToolButton::clicked, this, &UpDown::StepDown);
}

void UpDown::SetValue(int value)
{
    value = qBound(min_, value, max_);
    if (value == value_)
        return;
    value_ = value;
    emit Change();
}

void UpDown::SetRange(int minimum, int maximum)
{
    min_ = minimum;
    max_ = maximum;
    SetValue(value_);
}

void UpDown::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Up)
        StepUp();
    else if (event->key() == Qt::Key_Down)
        StepDown();
    else
        QWidget::keyPressEvent(event);
}

void UpDown::wheelEvent(QWheelEvent* event)
{
    if (!isEnabled())
        return;
    if (event->angleDelta().y() > 0)
        StepUp();
    else if (event->angleDelta().y() < 0)
        StepDown();
    event->accept();
}

template <class Base>
InsertionPanel<Base>::InsertionPanel(QWidget* parent) : Base(parent)
{
    Base::setReadOnly(true);
    Base::setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Base::setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Base::setUndoRedoEnabled(false);
    ApplyLineSpacing();
}

template <class Base>
void InsertionPanel<Base>::ApplyLineSpacing()
{
    if constexpr (std::is_same_v<Base, QTextEdit>) {
        Base::setAcceptRichText(false);
        // New blocks inherit the format of the block they split from.
        QTextBlockFormat spacing;
        spacing.setLineHeight(120, QTextBlockFormat::ProportionalHeight);
        QTextCursor all(Base::document());
        all.select(QTextCursor::Document);
        all.mergeBlockFormat(spacing);
    }
}

template <class Base>
void InsertionPanel<Base>::InsertText(const QString& text)
{
    QTextCursor caret = Base::textCursor();
    if (!caret.hasSelection()) {
        pending_ = QTextCursor();
        caret.insertText(text);
        Base::setTextCursor(caret);
        return;
    }
    // Keep the operator's selection; successive writes follow one another after it.
    const int anchor = caret.anchor(), position = caret.position();
    if (pending_.isNull() || pending_.position() < caret.selectionEnd()) {
        pending_ = QTextCursor(Base::document());
        pending_.setPosition(caret.selectionEnd());
    }
    pending_.insertText(text);
    QTextCursor keep(Base::document());
    keep.setPosition(anchor);
    keep.setPosition(position, QTextCursor::KeepAnchor);
    Base::setTextCursor(keep);
}

template <class Base>
void InsertionPanel<Base>::ClearText()
{
    pending_ = QTextCursor();
    Base::clear();
    ApplyLineSpacing();
}

template <class Base>
void InsertionPanel<Base>::SetInsertionPoint(int offset)
{
    QTextCursor c(Base::document());
    c.setPosition(qBound(0, offset, Base::document()->characterCount() - 1));
    Base::setTextCursor(c);
    Base::ensureCursorVisible();
    // The extra line spacing sits above the text; show the first line whole.
    if (c.blockNumber() == 0)
        Base::verticalScrollBar()->setValue(Base::verticalScrollBar()->minimum());
}

template class InsertionPanel<QPlainTextEdit>;
template class InsertionPanel<QTextEdit>;
