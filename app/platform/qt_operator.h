#pragma once

#include "operator.h"

class QWidget;

class QtOperator : public Operator {
public:
    explicit QtOperator(QWidget *parent = nullptr) : parent_(parent) {}
    void setParent(QWidget *parent) { parent_ = parent; }

    Answer ask(const QString &text, const QString &title, Buttons buttons, Icon icon) override;
    void tell(const QString &text, const QString &title, Icon icon) override;
    void beep() override;

protected:
    std::optional<QString> showOpenDialog(const FileDialogRecord &record) override;
    std::optional<QString> showSaveDialog(const FileDialogRecord &record) override;

private:
    QWidget *parent_;
};
