#include "core/file_system.h"

#include "core/failure.h"
#include "core/file_name.h"
#include "core/file_pattern.h"
#include "core/paths.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <optional>
#include <set>
#include <string>
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

class FileDescriptor {
public:
    explicit FileDescriptor(int f) : fd(f) {}
    ~FileDescriptor() { if (fd >= 0) ::close(fd); }
    int fd;
};

void writeAll(int out, const char* data, qint64 size)
{
    for (qint64 done = 0; done < size;) {
        const ssize_t w = ::write(out, data + done, size_t(size - done));
        if (w < 0) {
            if (errno == EINTR)
                continue;
            Errors::throwErrno(errno);
        }
        done += w;
    }
}

void copyBytes(int in, int out)
{
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            Errors::throwErrno(errno);
        }
        if (n == 0)
            return;
        writeAll(out, buffer, n);
    }
}

// A target that exists and is protected, or is a folder, is never replaced.
void refuseProtectedTarget(const QString& target)
{
    struct stat existing;
    if (::stat(encoded(target).constData(), &existing) == 0
        && (S_ISDIR(existing.st_mode)
            || (FileSystem::attributes(target)
                & (FileSystem::ReadOnly | FileSystem::Hidden | FileSystem::System))))
        Errors::throwErrno(EACCES);
}

constexpr char tempPrefix[] = ".pxcopy-";

// The (device, inode) of every file some process has open, as far as /proc
// shows them.
std::set<std::pair<dev_t, ino_t>> openFiles()
{
    std::set<std::pair<dev_t, ino_t>> open;
    DIR* procs = ::opendir("/proc");
    if (!procs)
        return open;
    while (dirent* proc = ::readdir(procs)) {
        if (!std::isdigit(static_cast<unsigned char>(proc->d_name[0])))
            continue;
        const std::string fdDir = std::string("/proc/") + proc->d_name + "/fd";
        DIR* fds = ::opendir(fdDir.c_str());
        if (!fds)
            continue;
        while (dirent* fd = ::readdir(fds)) {
            struct stat st;
            if (fd->d_name[0] != '.' && ::stat((fdDir + '/' + fd->d_name).c_str(), &st) == 0)
                open.emplace(st.st_dev, st.st_ino);
        }
        ::closedir(fds);
    }
    ::closedir(procs);
    return open;
}

// When process pid started, in seconds since the epoch, or nullopt when no
// such process runs. A process whose start /proc does not show counts as
// started before any file was made, so that its files are kept.
std::optional<double> processStart(pid_t pid)
{
    if (::kill(pid, 0) != 0 && errno != EPERM)
        return std::nullopt;
    std::FILE* f = std::fopen(("/proc/" + std::to_string(pid) + "/stat").c_str(), "re");
    if (!f)
        return 0.0;
    char line[1024];
    const size_t n = std::fread(line, 1, sizeof line - 1, f);
    std::fclose(f);
    line[n] = 0;
    // The name in parentheses may hold spaces; the start time is the 20th
    // field after it, in clock ticks since boot.
    const char* at = std::strrchr(line, ')');
    for (int field = 0; at && field < 20; ++field)
        at = std::strchr(at + 1, ' ');
    if (!at)
        return 0.0;
    timespec now, sinceBoot;
    ::clock_gettime(CLOCK_REALTIME, &now);
    ::clock_gettime(CLOCK_BOOTTIME, &sinceBoot);
    const double boot = double(now.tv_sec - sinceBoot.tv_sec) + (now.tv_nsec - sinceBoot.tv_nsec) / 1e9;
    return boot + std::strtod(at + 1, nullptr) / double(::sysconf(_SC_CLK_TCK));
}

// Removes the temporary files that copies of this program killed half-way
// left in folder: the process named in the file's name is gone, or started
// after the file was made, and no process has the file open.
void removeStaleTemps(const QByteArray& folder)
{
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return;
    std::vector<std::pair<std::string, struct stat>> stale;
    while (dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (std::strncmp(name, tempPrefix, sizeof tempPrefix - 1) != 0)
            continue;
        char* end = nullptr;
        errno = 0;
        const long pid = std::strtol(name + sizeof tempPrefix - 1, &end, 10);
        if (errno != 0 || pid <= 0 || pid > INT_MAX || *end != '-' || std::strlen(end) != 7)
            continue;
        const std::string path = folder.toStdString() + '/' + name;
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        // ctime, unlike mtime, cannot be set back to before the file was made.
        // A second's margin covers the coarse clock of the start time.
        const std::optional<double> started = processStart(pid_t(pid));
        if (!started || double(st.st_ctim.tv_sec) + 1 < *started)
            stale.emplace_back(path, st);
    }
    ::closedir(dir);
    if (stale.empty())
        return;
    const auto open = openFiles();
    for (const auto& [path, st] : stale)
        if (!open.contains({st.st_dev, st.st_ino}))
            ::unlink(path.c_str());
}

// The new file is written under a temporary name beside the target and takes
// the target's name only once it is complete: a full disk or a read error
// leaves an older file of that name as it was. A copy passes the source's
// access and modification times, so it keeps the date it was made on.
void replaceThroughTemp(const QString& target, mode_t mode, const struct timespec* times,
                        qint64 expectedSize, const std::function<void(int)>& write)
{
    const QByteArray t = encoded(target);
    const QByteArray folder = encoded(folderOf(target));
    removeStaleTemps(folder);
    // The process id in the name tells later copies whether this one still runs.
    QByteArray temp = folder + '/' + tempPrefix + QByteArray::number(::getpid()) + "-XXXXXX";
    FileDescriptor out(::mkostemp(temp.data(), O_CLOEXEC));
    if (out.fd < 0)
        Errors::throwErrno(errno);
    try {
        write(out.fd);
        if (::fsync(out.fd) != 0 || ::fchmod(out.fd, mode) != 0
            || (times && ::futimens(out.fd, times) != 0))
            Errors::throwErrno(errno);
        struct stat written;
        if (::fstat(out.fd, &written) != 0 || qint64(written.st_size) != expectedSize)
            Errors::throwErrno(EIO);
        if (::rename(temp.constData(), t.constData()) != 0)
            Errors::throwErrno(errno);
    } catch (...) {
        ::unlink(temp.constData());
        throw;
    }
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

void copy(const QString& source, const QString& target)
{
    refuseProtectedTarget(target);
    FileDescriptor in(openPlainFile(source));
    struct stat st;
    if (::fstat(in.fd, &st) != 0)
        Errors::throwErrno(errno);
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    replaceThroughTemp(target, st.st_mode & 07777, times, qint64(st.st_size),
                       [&](int out) { copyBytes(in.fd, out); });
}

int openPlainFile(const QString& path)
{
    FileDescriptor file(::open(encoded(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.fd < 0)
        Errors::throwErrno(errno);
    struct stat st;
    if (::fstat(file.fd, &st) != 0)
        Errors::throwErrno(errno);
    if (!S_ISREG(st.st_mode))
        Errors::throwErrno(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    ::fcntl(file.fd, F_SETFL, ::fcntl(file.fd, F_GETFL) & ~O_NONBLOCK);
    return std::exchange(file.fd, -1);
}

QByteArray readFile(const QString& path)
{
    FileDescriptor in(openPlainFile(path));
    QByteArray data;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(in.fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            Errors::throwErrno(errno);
        }
        if (n == 0)
            return data;
        data.append(buffer, n);
    }
}

void writeFile(const QString& target, const QByteArray& data)
{
    refuseProtectedTarget(target);
    replaceThroughTemp(target, 0644, nullptr, data.size(), [&](int out) { writeAll(out, data.constData(), data.size()); });
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
