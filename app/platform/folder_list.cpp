#include "folder_list.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalBlocker>
#include <QStorageInfo>

FolderList::FolderList(QWidget *parent) : QListWidget(parent)
{
    connect(this, &QListWidget::itemActivated, this, &FolderList::open);
}

bool FolderList::setPath(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isDir() || !info.isReadable())
        return false;
    QDir dir(info.absoluteFilePath());
    const QString cleaned = QDir::cleanPath(dir.absolutePath());
    const QStringList children = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);

    clear();
    if (!dir.isRoot())
        addItem(QStringLiteral(".."));
    addItems(children);
    if (cleaned == path_)
        return true;
    path_ = cleaned;
    emit pathChanged(path_);
    return true;
}

void FolderList::open(QListWidgetItem *item)
{
    if (!item)
        return;
    // A folder that has gone or cannot be read leaves the list where it is.
    setPath(QDir(path_).filePath(item->text()));
}

DriveList::DriveList(QWidget *parent) : QComboBox(parent)
{
    refresh();
    connect(this, &QComboBox::activated, this, [this](int index) { emit rootChosen(itemText(index)); });
}

void DriveList::refresh()
{
    const QSignalBlocker blocker(this);
    clear();
    QStringList roots;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        // A volume that is not ready (an empty drive, a lost share) is left
        // out rather than offered and then refused.
        if (!volume.isValid() || !volume.isReady() || !QFileInfo(volume.rootPath()).isReadable())
            continue;
        if (!roots.contains(volume.rootPath()))
            roots << volume.rootPath();
    }
    if (!roots.contains(QDir::rootPath()))
        roots.prepend(QDir::rootPath());
    roots.sort();
    addItems(roots);
}

void DriveList::showVolumeOf(const QString &folder)
{
    const QSignalBlocker blocker(this);
    const int index = findText(QStorageInfo(folder).rootPath());
    if (index >= 0)
        setCurrentIndex(index);
}
