#include "replacing_file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace zul {
namespace {

int writesBeforeFailure = -1;

bool writeFails()
{
    if (writesBeforeFailure < 0)
        return false;
    return writesBeforeFailure-- == 0;
}

std::string temporaryBeside(const std::string &path)
{
    static unsigned serial = 0;
    return path + "." + std::to_string(::getpid()) + "-" + std::to_string(++serial) + ".part";
}

} // namespace

ReplacingFile::ReplacingFile(std::string path) : path_(std::move(path))
{
    // Exclusive creation never follows a link or takes over a file someone
    // else is writing; the mode is the one a plain new file gets.
    for (int attempt = 0; attempt < 16 && !file_; ++attempt) {
        temporary_ = temporaryBeside(path_);
        const int fd = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            const bool taken = errno == EEXIST;
            temporary_.clear();
            if (!taken)
                break;
            continue;
        }
        file_ = ::fdopen(fd, "wb");
        if (!file_) {
            ::close(fd);
            ::unlink(temporary_.c_str());
            temporary_.clear();
            break;
        }
    }
    failed_ = file_ == nullptr;
}

ReplacingFile::~ReplacingFile()
{
    discard();
}

bool ReplacingFile::write(const void *bytes, std::size_t count)
{
    if (failed_)
        return false;
    if (writeFails() || std::fwrite(bytes, 1, count, file_) != count)
        failed_ = true;
    return !failed_;
}

bool ReplacingFile::commit()
{
    if (!failed_) {
        const bool closed = std::fclose(file_) == 0;
        file_ = nullptr;
        if (closed && std::rename(temporary_.c_str(), path_.c_str()) == 0) {
            temporary_.clear();
            return true;
        }
        failed_ = true;
    }
    discard();
    return false;
}

void ReplacingFile::discard()
{
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

void failFileWriteAfter(int successes)
{
    writesBeforeFailure = successes < 0 ? -1 : successes;
}

} // namespace zul
