#pragma once

#include <QObject>
#include <QString>
#include <QWidgetList>
#include <functional>

class QLineEdit;

// Judges a number box's text when its value is used, never while the
// operator types: half-typed text ("", "-", "0.") is no reason to interrupt.
// A refused text shows a red frame, with the reason as the box's tooltip and
// accessible description, and the owner keeps its previous value in use.
// Leaving the box with a refused text, or pressing Return in it, reports
// the reason once the focus change is over, unless the focus went to a
// control that uses the value and will say so itself.
class TextCheck : public QObject {
    Q_OBJECT
public:
    // `reason` gives why a text is refused, or an empty string.
    TextCheck(QLineEdit *box, std::function<QString(const QString &)> reason);

    QString refusal() const;
    bool refused() const { return !refusal().isEmpty(); }
    void usedBy(QWidget *control) { users_ << control; }

signals:
    void leftRefused(const QString &reason);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showJudgement();
    void reportLater();

    QLineEdit *box_;
    std::function<QString(const QString &)> reason_;
    QWidgetList users_;
    QString ownToolTip_;
    QString ownDescription_;
    QString ownStyle_;
};
