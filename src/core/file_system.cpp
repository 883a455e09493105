#include "core/file_system.h"

#include "core/failure.h"
#include "core/file_descriptor.h"
#include "core/file_name.h"
#include "core/file_pattern.h"
#include "core/paths.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <functional>
#include <utility>
#include <vector>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

const char* kDosAttrib = "user.DOSATTRIB";

QByteArray encoded(const QString& path) { return FileName::toBytes(path); }

// The DOS attribute bits in the text of the extended attribute, or -1 when
// there is none (n is getxattr's result).
int dosBitsOf(char* buf, ssize_t n)
{
    if (n <= 0)
        return -1;
    buf[n] = 0;
    return int(std::strtol(buf, nullptr, 0));
}

// The DOS attribute bits kept in the extended attribute, or -1 when none.
int dosBits(const char* path)
{
    char buf[64];
    return dosBitsOf(buf, ::getxattr(path, kDosAttrib, buf, sizeof buf - 1));
}

// The same for a file named within an open folder. getxattrat (Linux 6.13)
// finds the file by its name alone; the whole path is walked only on older
// kernels, which refuse the call.
int dosBitsAt(int folder, const char* name, const char* path)
{
#ifdef SYS_getxattrat
    constexpr long getxattrat = SYS_getxattrat;
#else
    constexpr long getxattrat = 464;
#endif
    struct Arguments {
        quint64 value;
        quint32 size;
        quint32 flags;
    };
    static std::atomic<bool> refused{false};
    if (!refused.load(std::memory_order_relaxed)) {
        char buf[64];
        Arguments arguments{quint64(reinterpret_cast<quintptr>(buf)), quint32(sizeof buf - 1), 0};
        const long n = ::syscall(getxattrat, folder, name, 0, kDosAttrib, &arguments, sizeof arguments);
        if (n >= 0 || errno != ENOSYS)
            return dosBitsOf(buf, ssize_t(n));
        refused.store(true, std::memory_order_relaxed);
    }
    return dosBits(path);
}

bool hiddenOrSystem(int folder, const char* name, const char* path)
{
    if (name[0] == '.')
        return true;
    const int bits = dosBitsAt(folder, name, path);
    return bits > 0 && (bits & (FileSystem::Hidden | FileSystem::System));
}

// The local time of a file time, without Qt's look at the zone files for
// every conversion: the zone is read once, by tzset.
QDateTime localTime(const timespec& t)
{
    struct tm local;
    if (!::localtime_r(&t.tv_sec, &local))
        return QDateTime::fromSecsSinceEpoch(t.tv_sec);
    return QDateTime(QDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday),
                     QTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), int(t.tv_nsec / 1000000)),
                     Qt::OffsetFromUTC, int(local.tm_gmtoff));
}

struct stat statOrThrow(const QString& path)
{
    struct stat st;
    if (::stat(encoded(path).constData(), &st) != 0)
        Errors::throwErrno(errno);
    return st;
}

}

namespace FileSystem {

namespace {
enum class Kind { File, Folder };

// The plain files or the folders in folder whose names pass the test, sorted
// without regard to letter case; names starting with a dot and hidden and
// system files left out.
QStringList listEntries(const QString& folder, Kind kind, const std::function<bool(const char*)>& wanted)
{
    const QByteArray dirPath = encoded(folder);
    DIR* dir = ::opendir(dirPath.constData());
    if (!dir)
        Errors::throwErrno(errno);
    QByteArray full = dirPath;
    if (!full.endsWith('/'))
        full += '/';
    const qsizetype base = full.size();
    QStringList names;
    while (dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] == '.' || !wanted(name))
            continue;
        full.truncate(base);
        full += name;
        const unsigned char wantedType = kind == Kind::File ? DT_REG : DT_DIR;
        const unsigned char type = entry->d_type;
        if (type == DT_UNKNOWN || type == DT_LNK) {
            struct stat st;
            if (::stat(full.constData(), &st) != 0
                || (kind == Kind::File ? !S_ISREG(st.st_mode) : !S_ISDIR(st.st_mode)))
                continue;
        } else if (type != wantedType) {
            continue;
        }
        if (kind == Kind::File && hiddenOrSystem(::dirfd(dir), name, full.constData()))
            continue;
        names.append(FileName::fromBytes(name));
    }
    ::closedir(dir);
    // Each name is folded once, not at every comparison of the sort.
    std::vector<std::pair<QString, QString>> keyed;
    keyed.reserve(size_t(names.size()));
    for (QString& name : names)
        keyed.emplace_back(name.toCaseFolded(), std::move(name));
    std::sort(keyed.begin(), keyed.end());
    for (qsizetype i = 0; i < names.size(); ++i)
        names[i] = std::move(keyed[size_t(i)].second);
    return names;
}
}

QStringList listMatching(const QString& folder, const QString& patternText)
{
    const FilePattern pattern(patternText);
    return listEntries(folder, Kind::File, [&](const char* name) { return pattern.matches(name); });
}

QStringList listFolders(const QString& folder)
{
    return listEntries(folder, Kind::Folder, [](const char*) { return true; });
}

QString namesake(const QString& folder, const QString& name)
{
    try {
        const QStringList names = listEntries(folder, Kind::File, [&](const char* candidate) {
            return FileName::fromBytes(candidate).compare(name, Qt::CaseInsensitive) == 0;
        });
        return names.contains(name) ? name : names.value(0);
    } catch (const PxError&) {
        return {};
    }
}

bool isFolder(const QString& path) { return S_ISDIR(statOrThrow(path).st_mode); }

int attributes(const QString& path)
{
    const struct stat st = statOrThrow(path);
    const QByteArray p = encoded(path);
    const int bits = dosBits(p.constData());
    int result = bits >= 0 ? (bits & (Hidden | System | Archive)) : Archive;
    if (!(st.st_mode & S_IWUSR))
        result |= ReadOnly;
    if (nameOf(path).startsWith(QLatin1Char('.')))
        result |= Hidden;
    return result;
}

void setAttributes(const QString& path, int attrs)
{
    const struct stat st = statOrThrow(path);
    const QByteArray p = encoded(path);
    const mode_t mode = (attrs & ReadOnly) ? (st.st_mode & ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH))
                                           : (st.st_mode | S_IWUSR);
    if (mode != st.st_mode && ::chmod(p.constData(), mode & 07777) != 0)
        Errors::throwErrno(errno);
    const QByteArray text = "0x" + QByteArray::number(attrs & (Hidden | System | Archive), 16);
    if (::setxattr(p.constData(), kDosAttrib, text.constData(), size_t(text.size()), 0) != 0) {
        // Without extended attributes only the plain archive state can be kept.
        if ((errno == ENOTSUP || errno == EOPNOTSUPP) && !(attrs & (Hidden | System)))
            return;
        Errors::throwErrno(errno);
    }
}

qint64 length(const QString& path) { return qint64(statOrThrow(path).st_size); }

QDateTime changeTime(const QString& path)
{
    ::tzset();
    return localTime(statOrThrow(path).st_mtim);
}

OpenFolder::OpenFolder(const QString& folder)
    : fd(::open(encoded(folder).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC))
{
    if (fd < 0)
        Errors::throwErrno(errno);
    ::tzset();
}

OpenFolder::~OpenFolder() { ::close(fd); }

FileFacts OpenFolder::facts(const QString& name) const
{
    struct stat st;
    if (::fstatat(fd, encoded(name).constData(), &st, 0) != 0)
        Errors::throwErrno(errno);
    return {qint64(st.st_size), localTime(st.st_mtim)};
}

int openPlainFile(const QString& path)
{
    // Not blocking, so that a pipe with no writer is refused rather than
    // waited on.
    FileDescriptor file(::open(encoded(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.fd < 0)
        Errors::throwErrno(errno);
    struct stat st;
    if (::fstat(file.fd, &st) != 0)
        Errors::throwErrno(errno);
    if (S_ISDIR(st.st_mode))
        Errors::throwErrno(EISDIR);
    if (!S_ISREG(st.st_mode))
        Errors::raise(Errors::notPlainFile());
    ::fcntl(file.fd, F_SETFL, ::fcntl(file.fd, F_GETFL) & ~O_NONBLOCK);
    return std::exchange(file.fd, -1);
}

QByteArray readFile(const QString& path, qint64 limit)
{
    FileDescriptor in(openPlainFile(path));
    struct stat st;
    if (::fstat(in.fd, &st) != 0)
        Errors::throwErrno(errno);
    if (st.st_size > limit)
        Errors::raise(Errors::fileTooLarge(limit));
    QByteArray data;
    char buffer[1 << 16];
    // A file that grows while it is read is refused too.
    while (data.size() <= limit) {
        const ssize_t n = ::read(in.fd, buffer, size_t(std::min<qint64>(sizeof buffer, limit + 1 - data.size())));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            Errors::throwErrno(errno);
        }
        if (n == 0)
            return data;
        data.append(buffer, n);
    }
    Errors::raise(Errors::fileTooLarge(limit));
}

void rename(const QString& from, const QString& to)
{
    const QByteArray f = encoded(from);
    const QByteArray t = encoded(to);
    if (::renameat2(AT_FDCWD, f.constData(), AT_FDCWD, t.constData(), RENAME_NOREPLACE) == 0)
        return;
    if (errno != EINVAL && errno != ENOSYS)
        Errors::throwErrno(errno);
    // Some file systems cannot refuse by themselves; look first instead.
    struct stat st;
    if (::lstat(t.constData(), &st) == 0)
        Errors::throwErrno(EEXIST);
    if (::rename(f.constData(), t.constData()) != 0)
        Errors::throwErrno(errno);
}

void remove(const QString& path)
{
    if (::unlink(encoded(path).constData()) != 0)
        Errors::throwErrno(errno);
}

void respell(const QString& from, const QString& to)
{
    QByteArray between = encoded(folderOf(to)) + "/.pxcase-" + QByteArray::number(::getpid()) + "-XXXXXX";
    const int made = ::mkostemp(between.data(), O_CLOEXEC);
    if (made < 0)
        Errors::throwErrno(errno);
    ::close(made);
    if (::rename(encoded(from).constData(), between.constData()) != 0) {
        const int err = errno;
        ::unlink(between.constData());
        Errors::throwErrno(err);
    }
    try {
        rename(FileName::fromBytes(between), to);
    } catch (const PxError&) {
        ::rename(between.constData(), encoded(from).constData());
        throw;
    }
}

void makeDirectory(const QString& path)
{
    if (::mkdir(encoded(path).constData(), 0777) != 0)
        Errors::throwErrno(errno);
}

bool sameFile(const QString& a, const QString& b)
{
    struct stat sa, sb;
    return ::stat(encoded(a).constData(), &sa) == 0 && ::stat(encoded(b).constData(), &sb) == 0
        && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}
