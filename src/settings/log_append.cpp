#include "settings/log_append.h"

#include <cerrno>
#include <cstdio>
#include <sys/file.h>
#include <unistd.h>

namespace LogAppend {

bool whole(int fd, const QByteArray& bytes)
{
    // Every copy appends under this lock, so the end found here is where
    // this record starts and nothing of another copy follows a torn piece.
    ::flock(fd, LOCK_EX);
    const off_t start = ::lseek(fd, 0, SEEK_END);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    const bool written = done == bytes.size();
    if (!written && done > 0 && (start < 0 || ::ftruncate(fd, start) != 0))
        std::fprintf(stderr, "Pixalto: a log record could not be taken back and is left torn\n");
    ::flock(fd, LOCK_UN);
    return written;
}

void toStandardError(const char* log, const QString& line)
{
    std::fprintf(stderr, "%s: %s\n", log, line.toLocal8Bit().constData());
}

}
