#include "frm_img.h"

#include "platform/picture_box.h"

#include <QCloseEvent>

FrmImg::FrmImg(QWidget *parent) : QMdiSubWindow(parent), picture_(new PictureBox(this))
{
    setObjectName(QStringLiteral("FrmImg"));
    setWindowTitle(QStringLiteral("Form2"));
    setWidget(picture_);
    picture_->setAccessibleName(windowTitle());
}

void FrmImg::changeEvent(QEvent *event)
{
    // Six windows share one design; their captions tell them apart.
    if (event->type() == QEvent::WindowTitleChange)
        picture_->setAccessibleName(windowTitle());
    QMdiSubWindow::changeEvent(event);
}

void FrmImg::closeEvent(QCloseEvent *event)
{
    hide();
    event->ignore();
}
