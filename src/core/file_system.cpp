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
    if (::stat(encoded(target).constData(), &existing) != 0)
        return;
    if (S_ISDIR(existing.st_mode))
        Errors::throwErrno(EISDIR);
    const int attributes = FileSystem::attributes(target);
    if (attributes & FileSystem::Hidden)
        Errors::raise(Errors::protectedFile(QStringLiteral("hidden")));
    if (attributes & FileSystem::System)
        Errors::raise(Errors::protectedFile(QStringLiteral("a system file")));
    if (attributes & FileSystem::ReadOnly)
        Errors::raise(Errors::protectedFile(QStringLiteral("read-only")));
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

bool isCopyTemp(const char* name) { return std::strncmp(name, tempPrefix, sizeof tempPrefix - 1) == 0; }

// Whether the copy that made a temporary file is gone: the process named in
// its name does not run, or started after the file was made.
bool copyGone(const char* name, time_t made)
{
    char* end = nullptr;
    errno = 0;
    const long pid = std::strtol(name + sizeof tempPrefix - 1, &end, 10);
    if (errno != 0 || pid <= 0 || pid > INT_MAX || *end != '-' || std::strlen(end) != 7)
        return false;
    // ctime, unlike mtime, cannot be set back to before the file was made.
    // A second's margin covers the coarse clock of the start time.
    const std::optional<double> started = processStart(pid_t(pid));
    return !started || double(made) + 1 < *started;
}

// The new file is written under a temporary name beside the target and takes
// the target's name only once it is complete: a full disk or a read error
// leaves an older file of that name as it was. finish gives the written file
// its mode, times or owner before it takes the name.
void replaceThroughTemp(const QByteArray& target, qint64 expectedSize, const std::function<void(int)>& write,
                        const std::function<void(int)>& finish)
{
    const QString folderPath = folderOf(FileName::fromBytes(target));
    const QByteArray folder = encoded(folderPath);
    FileSystem::removeLeftBehind(folderPath, isCopyTemp, copyGone);
    // The process id in the name tells later copies whether this one still runs.
    QByteArray temp = folder + '/' + tempPrefix + QByteArray::number(::getpid()) + "-XXXXXX";
    FileDescriptor out(::mkostemp(temp.data(), O_CLOEXEC));
    if (out.fd < 0)
        Errors::throwErrno(errno);
    try {
        write(out.fd);
        finish(out.fd);
        if (::fsync(out.fd) != 0)
            Errors::throwErrno(errno);
        struct stat written;
        if (::fstat(out.fd, &written) != 0 || qint64(written.st_size) != expectedSize)
            Errors::throwErrno(EIO);
        if (::rename(temp.constData(), target.constData()) != 0)
            Errors::throwErrno(errno);
    } catch (...) {
        ::unlink(temp.constData());
        throw;
    }
}

void throwUnless(bool done)
{
    if (!done)
        Errors::throwErrno(errno);
}

// Where path leads once every symbolic link on the way is followed; the
// last one may lead to a file that does not exist yet.
QByteArray linkTarget(QByteArray path)
{
    for (int hops = 0; hops < 40; ++hops) {
        char buffer[PATH_MAX];
        const ssize_t n = ::readlink(path.constData(), buffer, sizeof buffer);
        if (n < 0)
            return path;
        const QByteArray link(buffer, n);
        path = link.startsWith('/') ? link
                                     : encoded(fullPath(folderOf(FileName::fromBytes(path)), FileName::fromBytes(link)));
    }
    Errors::throwErrno(ELOOP);
}

// The mode a new file gets, 0666 less the process's umask. /proc tells it
// without changing it, which umask() cannot do without a race between threads.
mode_t newFileMode()
{
    mode_t mask = 022;
    if (std::FILE* f = std::fopen("/proc/self/status", "re")) {
        char line[256];
        while (std::fgets(line, sizeof line, f))
            if (std::strncmp(line, "Umask:", 6) == 0)
                mask = mode_t(std::strtol(line + 6, nullptr, 8));
        std::fclose(f);
    }
    return 0666 & ~mask;
}

// Whether a new file can be given the owner and group of st.
bool canTakeOwner(const struct stat& st)
{
    if (::geteuid() == 0)
        return true;
    if (st.st_uid != ::geteuid())
        return false;
    if (st.st_gid == ::getegid())
        return true;
    std::vector<gid_t> groups(size_t(std::max(::getgroups(0, nullptr), 0)));
    groups.resize(size_t(std::max(::getgroups(int(groups.size()), groups.data()), 0)));
    return std::find(groups.begin(), groups.end(), st.st_gid) != groups.end();
}

// Copies the extended attributes (access lists, DOS attributes) of one open
// file to another, as far as the file system takes them.
void copyExtendedAttributes(int from, int to)
{
    const ssize_t size = ::flistxattr(from, nullptr, 0);
    if (size <= 0)
        return;
    std::vector<char> names(static_cast<size_t>(size));
    const ssize_t listed = ::flistxattr(from, names.data(), names.size());
    for (ssize_t at = 0; at < listed; at += ssize_t(std::strlen(names.data() + at)) + 1) {
        const char* name = names.data() + at;
        const ssize_t length = ::fgetxattr(from, name, nullptr, 0);
        if (length < 0)
            continue;
        std::vector<char> value(static_cast<size_t>(length));
        if (::fgetxattr(from, name, value.data(), value.size()) == length)
            ::fsetxattr(to, name, value.data(), value.size(), 0);
    }
}

// Writes data over the file open as fd, where no new file could stand for
// it (it has other names, or an owner this process cannot give): a backup
// beside it is restored when the write fails half-way, and kept when even
// that fails, so one whole version always survives.
void writeInPlace(int fd, const QByteArray& path, const QByteArray& data)
{
    QByteArray backup = encoded(folderOf(FileName::fromBytes(path))) + "/.pxbackup-"
                      + QByteArray::number(::getpid()) + "-XXXXXX";
    FileDescriptor saved(::mkostemp(backup.data(), O_CLOEXEC));
    if (saved.fd < 0)
        Errors::throwErrno(errno);
    try {
        copyBytes(fd, saved.fd);
        throwUnless(::fsync(saved.fd) == 0);
    } catch (...) {
        ::unlink(backup.constData());
        throw;
    }
    try {
        throwUnless(::lseek(fd, 0, SEEK_SET) == 0);
        writeAll(fd, data.constData(), data.size());
        throwUnless(::ftruncate(fd, data.size()) == 0 && ::fsync(fd) == 0);
    } catch (...) {
        bool restored = false;
        try {
            const off_t size = ::lseek(saved.fd, 0, SEEK_END);
            throwUnless(size >= 0 && ::lseek(saved.fd, 0, SEEK_SET) == 0 && ::lseek(fd, 0, SEEK_SET) == 0);
            copyBytes(saved.fd, fd);
            throwUnless(::ftruncate(fd, size) == 0 && ::fsync(fd) == 0);
            restored = true;
        } catch (const PxError&) {
        }
        if (restored)
            ::unlink(backup.constData());
        throw;
    }
    ::unlink(backup.constData());
}

}

namespace FileSystem {

void removeLeftBehind(const QString& folder, const std::function<bool(const char*)>& isTemporary,
                      const std::function<bool(const char*, time_t)>& ownerGone)
{
    const QByteArray dirPath = encoded(folder);
    DIR* dir = ::opendir(dirPath.constData());
    if (!dir)
        return;
    std::vector<std::pair<std::string, struct stat>> stale;
    while (dirent* entry = ::readdir(dir)) {
        if (!isTemporary(entry->d_name))
            continue;
        const std::string path = dirPath.toStdString() + '/' + entry->d_name;
        struct stat st;
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)
            && (!ownerGone || ownerGone(entry->d_name, st.st_ctim.tv_sec)))
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
    // The copy keeps the date it was made on.
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    replaceThroughTemp(
        encoded(target), qint64(st.st_size), [&](int out) { copyBytes(in.fd, out); },
        [&](int out) { throwUnless(::fchmod(out, st.st_mode & 07777) == 0 && ::futimens(out, times) == 0); });
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

void writeFile(const QString& path, const QByteArray& data)
{
    refuseProtectedTarget(path);
    const QByteArray target = linkTarget(encoded(path));
    const auto write = [&](int out) { writeAll(out, data.constData(), data.size()); };
    FileDescriptor existing(::open(target.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (existing.fd < 0) {
        if (errno != ENOENT)
            Errors::throwErrno(errno);
        replaceThroughTemp(target, data.size(), write,
                           [](int out) { throwUnless(::fchmod(out, newFileMode()) == 0); });
        return;
    }
    struct stat st;
    if (::fstat(existing.fd, &st) != 0)
        Errors::throwErrno(errno);
    if (!S_ISREG(st.st_mode))
        Errors::raise(Errors::notPlainFile());
    // A new file in its place would part it from its other names, or take
    // an owner the file did not have.
    if (st.st_nlink > 1 || !canTakeOwner(st)) {
        writeInPlace(existing.fd, target, data);
        return;
    }
    replaceThroughTemp(target, data.size(), write, [&](int out) {
        throwUnless(::fchown(out, st.st_uid, st.st_gid) == 0 && ::fchmod(out, st.st_mode & 07777) == 0);
        copyExtendedAttributes(existing.fd, out);
    });
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
