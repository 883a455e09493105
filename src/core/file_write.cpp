#include "core/file_system.h"

#include "core/failure.h"
#include "core/file_descriptor.h"
#include "core/file_name.h"
#include "core/paths.h"

#include <algorithm>
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
#include <vector>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

// Writing files: copies and saves that never leave a half-written file under
// the target's name, and the removal of what killed writers left behind.
namespace {

QByteArray encoded(const QString& path) { return FileName::toBytes(path); }

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

// The bytes go in chunks, each told to chunkCopied (done of total), which
// may stop the copy between two chunks.
void copyBytes(int in, int out, qint64 total = 0, const FileSystem::ChunkCopied& chunkCopied = {})
{
    std::vector<char> buffer(size_t(1) << 20);
    for (qint64 done = 0;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            Errors::throwErrno(errno);
        }
        if (n == 0)
            return;
        writeAll(out, buffer.data(), n);
        done += n;
        if (chunkCopied && !chunkCopied(done, total))
            Errors::throwErrno(ECANCELED);
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

void copy(const QString& source, const QString& target, const ChunkCopied& chunkCopied)
{
    refuseProtectedTarget(target);
    FileDescriptor in(openPlainFile(source));
    struct stat st;
    if (::fstat(in.fd, &st) != 0)
        Errors::throwErrno(errno);
    // The copy keeps the date it was made on.
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    replaceThroughTemp(
        encoded(target), qint64(st.st_size), [&](int out) { copyBytes(in.fd, out, qint64(st.st_size), chunkCopied); },
        [&](int out) { throwUnless(::fchmod(out, st.st_mode & 07777) == 0 && ::futimens(out, times) == 0); });
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

}
