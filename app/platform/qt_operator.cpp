#include "qt_operator.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QFileSystemModel>
#include <QSortFilterProxyModel>
#include <QStringList>
#include <algorithm>

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

// The dialog's own text for a filter. A filter of runnable files matches
// every name here and is narrowed by ExecutableFiles.
QString nameFilter(const QPair<QString, QString> &filter)
{
    const QString pattern = filter.second.isEmpty() ? QStringLiteral("*") : QString(filter.second).replace(';', ' ');
    return QStringLiteral("%1 (%2)").arg(filter.first, pattern);
}

bool offersPrograms(const FileDialogRecord &record)
{
    return std::any_of(record.filters.cbegin(), record.filters.cend(),
                       [](const auto &filter) { return filter.second.isEmpty(); });
}

// Folders and, while a filter of runnable files is chosen, only the files
// this user may run.
class ExecutableFiles : public QSortFilterProxyModel {
public:
    void setOnlyExecutables(bool only)
    {
        only_ = only;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex &parent) const override
    {
        if (!only_)
            return true;
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        if (!files)
            return true;
        const QFileInfo info = files->fileInfo(files->index(row, 0, parent));
        return info.isDir() || info.isExecutable();
    }

private:
    bool only_ = false;
};

std::optional<QString> runDialog(QWidget *parent, const FileDialogRecord &record, QFileDialog::AcceptMode mode)
{
    QStringList filters;
    for (const auto &filter : record.filters)
        filters << nameFilter(filter);
    QFileDialog dialog(parent, record.title, record.initialFolder, filters.join(QStringLiteral(";;")));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(record.defaultExtension);
    if (!record.initialFileName.isEmpty())
        dialog.selectFile(record.initialFileName);
    if (!record.overwritePrompt)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (offersPrograms(record)) {
        // Only the dialog's own views can be narrowed to runnable files; the
        // "(*)" it needs for them is no help to the operator.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setOption(QFileDialog::HideNameFilterDetails);
        auto *programs = new ExecutableFiles; // the dialog takes it over
        dialog.setProxyModel(programs);
        // The dialog names the chosen filter with or without its details.
        const auto follow = [&record, &filters, programs](const QString &chosen) {
            for (qsizetype i = 0; i < filters.size(); ++i)
                if (chosen == filters[i] || chosen == record.filters[i].first)
                    programs->setOnlyExecutables(record.filters[i].second.isEmpty());
        };
        QObject::connect(&dialog, &QFileDialog::filterSelected, programs, follow);
        follow(dialog.selectedNameFilter());
    }
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

std::optional<QString> QtOperator::showOpenDialog(const FileDialogRecord &record)
{
    return runDialog(parent_, record, QFileDialog::AcceptOpen);
}

std::optional<QString> QtOperator::showSaveDialog(const FileDialogRecord &record)
{
    return runDialog(parent_, record, QFileDialog::AcceptSave);
}
