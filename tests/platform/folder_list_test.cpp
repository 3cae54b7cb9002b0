#include "platform/folder_list.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QStringList entries(const QListWidget &list)
{
    QStringList texts;
    for (int row = 0; row < list.count(); ++row)
        texts << list.item(row)->text();
    return texts;
}
} // namespace

TEST(FolderList, ShowsSubFoldersOpensThemAndReportsOnlyChanges)
{
    QTemporaryDir temp;
    const QString top = QDir(temp.path()).canonicalPath();
    QDir(top).mkpath("beta/inner");
    QDir(top).mkpath("Alpha");
    QFile(top + "/file.txt").open(QIODevice::WriteOnly);

    FolderList list;
    QSignalSpy changed(&list, &FolderList::pathChanged);
    ASSERT_TRUE(list.setPath(top + "/beta/.."));
    EXPECT_EQ(list.path(), top);
    EXPECT_EQ(entries(list), QStringList({"..", "Alpha", "beta"}));
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][0].toString(), top);

    // The same folder again is no change.
    ASSERT_TRUE(list.setPath(top));
    EXPECT_EQ(changed.count(), 1);

    emit list.itemActivated(list.item(2));
    EXPECT_EQ(list.path(), top + "/beta");
    EXPECT_EQ(entries(list), QStringList({"..", "inner"}));
    emit list.itemActivated(list.item(0));
    EXPECT_EQ(list.path(), top);
    EXPECT_EQ(changed.count(), 3);

    // A folder that is gone or is a file leaves the list where it was.
    EXPECT_FALSE(list.setPath(top + "/missing"));
    EXPECT_FALSE(list.setPath(top + "/file.txt"));
    EXPECT_FALSE(list.setPath(QString()));
    EXPECT_EQ(list.path(), top);
    EXPECT_EQ(changed.count(), 3);

    ASSERT_TRUE(list.setPath(QDir::rootPath()));
    EXPECT_FALSE(entries(list).contains(".."));
}

TEST(DriveList, OffersTheRootAndShowsAVolumeWithoutChoosingIt)
{
    DriveList drives;
    ASSERT_GT(drives.count(), 0);
    EXPECT_NE(drives.findText(QDir::rootPath()), -1);
    QSignalSpy chosen(&drives, &DriveList::rootChosen);
    drives.showVolumeOf(QDir::rootPath());
    EXPECT_EQ(drives.currentText(), QDir::rootPath());
    EXPECT_EQ(chosen.count(), 0);
    emit drives.activated(drives.currentIndex());
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen[0][0].toString(), QDir::rootPath());
}
