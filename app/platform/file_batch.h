#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// Several files that belong together (a ".six" and its companions, a mask
// and its point file): each is written in full beside its target first;
// only when every one has been written are they put in place, and each file
// they replace is kept aside until the whole set is in. When anything fails,
// the earlier files are put back and new ones removed, so the folder never
// holds a set mixed from two runs.
class FileBatch {
public:
    // Moves a finished file over its target; returns empty, or the reason.
    using Rename = std::function<QString(const QString &from, const QString &to)>;

    // `rename` lets a check make one step of the swap fail.
    explicit FileBatch(Rename rename = {});
    ~FileBatch();
    FileBatch(const FileBatch &) = delete;
    FileBatch &operator=(const FileBatch &) = delete;

    void add(const QString &fileName, QByteArray contents);
    // Empty on success; otherwise the reason, naming the file.
    QString commit();
    // The files put in place by the last commit, in the order added.
    QStringList committed() const { return committed_; }

private:
    struct Entry {
        QString fileName;
        QByteArray contents;
    };
    std::vector<Entry> entries_;
    QStringList committed_;
    Rename rename_;
};

// The operator's text for a file that could not be written.
QString cannotWriteText(const QString &fileName, const QString &reason);
