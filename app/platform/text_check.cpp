#include "text_check.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>

TextCheck::TextCheck(QLineEdit *box, std::function<QString(const QString &)> reason)
    : QObject(box), box_(box), reason_(std::move(reason)), ownToolTip_(box->toolTip()),
      ownDescription_(box->accessibleDescription()), ownStyle_(box->styleSheet())
{
    box_->installEventFilter(this);
    connect(box_, &QLineEdit::textChanged, this, &TextCheck::showJudgement);
    connect(box_, &QLineEdit::returnPressed, this, &TextCheck::reportLater);
    showJudgement();
}

QString TextCheck::refusal() const
{
    return reason_(box_->text());
}

void TextCheck::showJudgement()
{
    const QString reason = refusal();
    if (reason.isEmpty()) {
        box_->setStyleSheet(ownStyle_);
        box_->setToolTip(ownToolTip_);
        box_->setAccessibleDescription(ownDescription_);
        return;
    }
    box_->setStyleSheet(QStringLiteral("QLineEdit { border: 2px solid #e00000; }"));
    box_->setToolTip(reason);
    box_->setAccessibleDescription(reason);
}

void TextCheck::reportLater()
{
    // A message box opened inside a focus change would fight it for the focus.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (const QString reason = refusal(); !reason.isEmpty())
                emit leftRefused(reason);
        },
        Qt::QueuedConnection);
}

bool TextCheck::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == box_ && event->type() == QEvent::FocusOut) {
        // Another window coming up (a message, a menu) is not leaving the box.
        const Qt::FocusReason why = static_cast<QFocusEvent *>(event)->reason();
        if (why != Qt::ActiveWindowFocusReason && why != Qt::PopupFocusReason
            && !users_.contains(QApplication::focusWidget()) && refused())
            reportLater();
    }
    return QObject::eventFilter(watched, event);
}
