#include "platform/qt_operator.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
// The names the dialog's list shows once its folder has been read (the
// reading runs in the background): at least `expected` of them, and any
// that follow a moment later.
QStringList listed(QFileDialog *dialog, qsizetype expected)
{
    auto *view = dialog->findChild<QListView *>(QStringLiteral("listView"));
    const auto names = [view] {
        QStringList all;
        const QModelIndex root = view->rootIndex();
        for (int row = 0; row < view->model()->rowCount(root); ++row)
            all << view->model()->index(row, 0, root).data().toString();
        all.sort();
        return all;
    };
    if (QTest::qWaitFor([&] { return names().size() >= expected; }, 5000))
        QTest::qWait(100);
    return names();
}

class WorkingFolder {
public:
    explicit WorkingFolder(const QString &folder) : saved_(QDir::currentPath()) { QDir::setCurrent(folder); }
    ~WorkingFolder() { QDir::setCurrent(saved_); }

private:
    QString saved_;
};
} // namespace

TEST(QtOperatorDialog, StartsInTheWorkingFolderAndOffersProgramsAsRunnableFiles)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("bin");
    for (const char *name : {"tool", "notes.txt"}) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n");
    }
    QFile::setPermissions(dir.filePath("tool"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const WorkingFolder working(dir.path());

    FileDialogRecord record;
    record.filters = {{"Program files", ""}, {"All files", "*"}};
    record.title = "Choose file name";
    QString startedIn;
    QStringList programs, everything;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        startedIn = dialog->directory().absolutePath();
        programs = listed(dialog, 2);
        auto *types = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        types->setFocus();
        QTest::keyClick(types, Qt::Key_Down);
        everything = listed(dialog, 3);
        dialog->reject();
    });
    QtOperator op;
    EXPECT_FALSE(op.chooseOpenFile(record));
    EXPECT_EQ(startedIn, QDir::currentPath());
    EXPECT_EQ(programs, QStringList({"bin", "tool"}));
    EXPECT_EQ(everything, QStringList({"bin", "notes.txt", "tool"}));
}
