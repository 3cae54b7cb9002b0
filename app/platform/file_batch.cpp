#include "file_batch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString withoutFinalStop(QString text)
{
    while (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString renameReplacing(const QString &from, const QString &to)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return systemReason(errno);
    return {};
}

// A file of the set written out in full beside its target, and what it
// takes to undo putting it in place.
class Staged {
public:
    explicit Staged(QString target) : target_(std::move(target)) {}
    ~Staged()
    {
        if (!temporary_.isEmpty())
            QFile::remove(temporary_);
        if (!aside_.isEmpty() && !asideIsTheOnlyCopy_)
            QFile::remove(aside_);
    }
    Staged(const Staged &) = delete;
    Staged &operator=(const Staged &) = delete;

    // Empty, or the reason the file could not be written.
    QString write(const QByteArray &contents)
    {
        struct stat earlier {};
        const QByteArray target = QFile::encodeName(target_);
        existed_ = ::stat(target.constData(), &earlier) == 0;
        // New files get the usual 0666 less the umask; a replaced file keeps its mode.
        const mode_t mode = existed_ ? (earlier.st_mode & 07777) : 0666;
        const QFileInfo info(target_);
        int fd = -1;
        for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
            temporary_ = info.dir().filePath(QStringLiteral(".%1.%2-%3.part")
                                                  .arg(info.fileName())
                                                  .arg(::getpid())
                                                  .arg(attempt));
            fd = ::open(QFile::encodeName(temporary_).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            if (fd < 0 && errno != EEXIST)
                break;
        }
        if (fd < 0) {
            const QString reason = systemReason(errno);
            temporary_.clear();
            return reason;
        }
        if (existed_)
            ::fchmod(fd, mode);
        const char *at = contents.constData();
        qsizetype left = contents.size();
        while (left > 0) {
            const ssize_t written = ::write(fd, at, size_t(left));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0) {
                const QString reason = systemReason(written < 0 ? errno : ENOSPC);
                ::close(fd);
                return reason;
            }
            at += written;
            left -= written;
        }
        const bool synced = ::fsync(fd) == 0;
        const int syncError = errno;
        if (::close(fd) != 0 || !synced)
            return systemReason(synced ? errno : syncError);
        return {};
    }

    // Keeps the file about to be replaced under a second name, so it can be
    // put back. A hard link leaves the target in place meanwhile.
    QString keepEarlier()
    {
        if (!existed_)
            return {};
        aside_ = temporary_ + QStringLiteral(".old");
        if (::link(QFile::encodeName(target_).constData(), QFile::encodeName(aside_).constData()) == 0)
            return {};
        if (QFile::copy(target_, aside_))
            return {};
        aside_.clear();
        return QStringLiteral("The earlier file could not be kept aside");
    }

    QString putInPlace(const FileBatch::Rename &rename)
    {
        const QString reason = rename(temporary_, target_);
        if (reason.isEmpty())
            temporary_.clear();
        return reason;
    }

    // Undoes putInPlace: the earlier file back, or the new one gone.
    // Returns false when the earlier file stays only under its other name.
    bool putBack(const FileBatch::Rename &rename)
    {
        if (aside_.isEmpty())
            return QFile::remove(target_) || !QFileInfo::exists(target_);
        if (!rename(aside_, target_).isEmpty())
            return false;
        aside_.clear();
        return true;
    }

    void leaveEarlierAside() { asideIsTheOnlyCopy_ = true; }
    const QString &aside() const { return aside_; }
    const QString &target() const { return target_; }

private:
    QString target_;
    QString temporary_;
    QString aside_;
    bool existed_ = false;
    bool asideIsTheOnlyCopy_ = false;
};

} // namespace

QString cannotWriteText(const QString &fileName, const QString &reason)
{
    return QStringLiteral("Could not write %1.  %2.").arg(fileName, withoutFinalStop(reason));
}

FileBatch::FileBatch(Rename rename) : rename_(rename ? std::move(rename) : Rename(renameReplacing)) {}
FileBatch::~FileBatch() = default;

void FileBatch::add(const QString &fileName, QByteArray contents)
{
    entries_.push_back({fileName, std::move(contents)});
}

QString FileBatch::commit()
{
    committed_.clear();
    std::vector<std::unique_ptr<Staged>> files;

    // Everything is written out before the first file is put in place, so
    // a full disk or a missing folder leaves the old set untouched.
    for (const Entry &entry : entries_) {
        // A folder of that name would only fail at the final rename.
        if (QFileInfo(entry.fileName).isDir())
            return cannotWriteText(entry.fileName, QStringLiteral("A folder of that name is in the way"));
        auto file = std::make_unique<Staged>(entry.fileName);
        if (const QString reason = file->write(entry.contents); !reason.isEmpty())
            return cannotWriteText(entry.fileName, reason);
        files.push_back(std::move(file));
    }

    for (size_t i = 0; i < files.size(); ++i) {
        QString reason = files[i]->keepEarlier();
        if (reason.isEmpty())
            reason = files[i]->putInPlace(rename_);
        if (reason.isEmpty())
            continue;
        QString error = cannotWriteText(entries_[i].fileName, reason);
        for (size_t k = i; k-- > 0;) {
            if (!files[k]->putBack(rename_)) {
                error += QStringLiteral("  The earlier %1 could not be put back; it is kept as %2.")
                             .arg(files[k]->target(), files[k]->aside());
                files[k]->leaveEarlierAside();
            }
        }
        return error;
    }
    for (const Entry &entry : entries_)
        committed_ << entry.fileName;
    return {};
}
