#include "frm_img.h"

#include "platform/picture_box.h"

#include <QCloseEvent>

FrmImg::FrmImg(QWidget *parent) : QMdiSubWindow(parent), picture_(new PictureBox(this))
{
    setObjectName(QStringLiteral("FrmImg"));
    setWindowTitle(QStringLiteral("Form2"));
    picture_->setAccessibleName(QStringLiteral("image"));
    setWidget(picture_);
}

void FrmImg::closeEvent(QCloseEvent *event)
{
    hide();
    event->ignore();
}
