#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QSaveFile;

// The one bitmap form this program writes: an uncompressed 24-bit BMP with
// bottom-up rows (BITMAPINFOHEADER), each row padded to four bytes. Analysis
// programs and our own readers all take it.
QByteArray encodeBmp24(const QImage &image);

// Whether a picture of `size` makes such a file at all: its size must fit
// the 31 bits readers allow for it. Callers that build a large picture
// check this first rather than find out at writing.
bool fitsBmp24(QSize size);

// Writes `image` through a QSaveFile, so a failed write leaves any earlier
// file of that name as it was. Returns false and a text naming the file
// and the reason when the file could not be written.
bool saveBmp24(const QImage &image, const QString &fileName, QString *errorText = nullptr);

// Several files that belong together (a ".six" and its companions): each is
// written in full beside its target first, and only when every one of them
// has been written are they put in place. When anything fails, files that
// did not exist before are removed again and earlier files are left alone.
class FileBatch {
public:
    FileBatch();
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
};

// The operator's text for a file that could not be written.
QString cannotWriteText(const QString &fileName, const QString &reason);
