#include "picture_box.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

PictureBox::PictureBox(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::setImage(const QImage &image)
{
    image_ = image;
    update();
}

void PictureBox::clear()
{
    image_ = QImage();
    update();
}

void PictureBox::setHint(const QString &hint)
{
    hint_ = hint;
    setToolTip(hint);
    setAccessibleDescription(hint);
    update();
}

QSize PictureBox::sizeHint() const
{
    return image_.isNull() ? QSize(64, 64) : image_.size();
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    if (!image_.isNull())
        painter.drawImage(QPoint(0, 0), image_);
    if (!hint_.isEmpty()) {
        // Readable on the black of an empty picture and on any grey.
        const QRect area = image_.isNull() ? rect() : rect() & QRect(QPoint(0, 0), image_.size());
        painter.setPen(Qt::white);
        painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, hint_);
    }
}

void PictureBox::mousePressEvent(QMouseEvent *event)
{
    emit mousePressed(event->position().toPoint(), event->button(), event->modifiers());
}

void PictureBox::mouseMoveEvent(QMouseEvent *event)
{
    emit mouseMoved(event->position().toPoint(), event->buttons(), event->modifiers());
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event)
{
    emit mouseReleased(event->position().toPoint(), event->button(), event->modifiers());
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    emit doubleClicked(event->position().toPoint());
}

void PictureBox::keyPressEvent(QKeyEvent *event)
{
    emit keyPressed(event->key(), event->modifiers());
}
