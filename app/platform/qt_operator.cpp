#include "qt_operator.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace {
QMessageBox::Icon boxIcon(Operator::Icon icon)
{
    switch (icon) {
    case Operator::Icon::Exclamation: return QMessageBox::Warning;
    case Operator::Icon::Information: return QMessageBox::Information;
    case Operator::Icon::Question: return QMessageBox::Question;
    case Operator::Icon::Critical: return QMessageBox::Critical;
    case Operator::Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons boxButtons(Operator::Buttons buttons)
{
    switch (buttons) {
    case Operator::Buttons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case Operator::Buttons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case Operator::Buttons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Operator::Buttons::Ok: break;
    }
    return QMessageBox::Ok;
}

QString nameFilters(const FileDialogRecord &record)
{
    QStringList filters;
    for (const auto &[description, pattern] : record.filters)
        filters << QStringLiteral("%1 (%2)").arg(description, QString(pattern).replace(';', ' '));
    return filters.join(QStringLiteral(";;"));
}

std::optional<QString> runDialog(QWidget *parent, const FileDialogRecord &record, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, record.title, record.initialFolder, nameFilters(record));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(record.defaultExtension);
    if (!record.initialFileName.isEmpty())
        dialog.selectFile(record.initialFileName);
    if (!record.overwritePrompt)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}
} // namespace

Operator::Answer QtOperator::ask(const QString &text, const QString &title, Buttons buttons, Icon icon)
{
    QMessageBox box(boxIcon(icon), title, text, boxButtons(buttons), parent_);
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Ok: return Answer::Ok;
    default: return Answer::Cancel;
    }
}

void QtOperator::tell(const QString &text, const QString &title, Icon icon)
{
    QMessageBox box(boxIcon(icon), title, text, QMessageBox::Ok, parent_);
    box.exec();
}

void QtOperator::beep()
{
    QApplication::beep();
}

std::optional<QString> QtOperator::chooseOpenFile(const FileDialogRecord &record)
{
    return runDialog(parent_, record, QFileDialog::AcceptOpen);
}

std::optional<QString> QtOperator::chooseSaveFile(const FileDialogRecord &record)
{
    return runDialog(parent_, record, QFileDialog::AcceptSave);
}
