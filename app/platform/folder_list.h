#pragma once

#include <QComboBox>
#include <QListWidget>

// A folder list in the manner of the original directory box: the entry
// ".." leads up, the other entries are the sub-folders; activating one
// opens it. Only a change of folder is reported.
class FolderList : public QListWidget {
    Q_OBJECT
public:
    explicit FolderList(QWidget *parent = nullptr);

    QString path() const { return path_; }
    // False, with nothing changed, when the folder cannot be read.
    bool setPath(const QString &path);

signals:
    void pathChanged(const QString &path);

private:
    void open(QListWidgetItem *item);

    QString path_;
};

// The file-system roots and mounted volumes that can be read, each named by
// its root folder. Choosing one is reported by rootChosen.
class DriveList : public QComboBox {
    Q_OBJECT
public:
    explicit DriveList(QWidget *parent = nullptr);

    void refresh();
    // Shows the volume holding the folder without reporting a choice.
    void showVolumeOf(const QString &folder);

signals:
    void rootChosen(const QString &root);
};
