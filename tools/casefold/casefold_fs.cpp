// casefold_fs BACKING MOUNTPOINT: shows the folder BACKING at MOUNTPOINT with
// names that match whatever their letter case. As on vfat, a file made or
// renamed onto a name that exists in another case takes the place of that
// file and keeps its spelling, and a rename between two spellings of one
// name changes nothing. Runs in the foreground until it is terminated.
#define FUSE_USE_VERSION 31
#include <fuse3/fuse.h>

#include "../fuse_backing.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace casefold {

std::string root;

// The entry of folder whose name is name in any letter case, the exact
// spelling first; name itself when there is none.
std::string spelling(const std::string& folder, const std::string& name)
{
    struct stat st;
    if (::lstat((folder + '/' + name).c_str(), &st) == 0)
        return name;
    std::string found = name;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (dirent* entry = ::readdir(dir))
            if (::strcasecmp(entry->d_name, name.c_str()) == 0) {
                found = entry->d_name;
                break;
            }
        ::closedir(dir);
    }
    return found;
}

std::string real(const char* path)
{
    std::string result = root;
    const std::string p(path);
    for (size_t at = 1; at < p.size();) {
        size_t end = p.find('/', at);
        if (end == std::string::npos)
            end = p.size();
        result += '/' + spelling(result, p.substr(at, end - at));
        at = end + 1;
    }
    return result;
}

int getattr(const char* path, struct stat* st, fuse_file_info*) { return fuse_backing::result(::lstat(real(path).c_str(), st)); }

int readdir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*, fuse_readdir_flags)
{
    return fuse_backing::listFolder(real(path), buffer, fill);
}

int open(const char* path, fuse_file_info* fi)
{
    const int fd = ::open(real(path).c_str(), fi->flags);
    fi->fh = uint64_t(fd);
    return fd < 0 ? -errno : 0;
}

int create(const char* path, mode_t mode, fuse_file_info* fi)
{
    const int fd = ::open(real(path).c_str(), fi->flags | O_CREAT, mode);
    fi->fh = uint64_t(fd);
    return fd < 0 ? -errno : 0;
}

int read(const char*, char* buffer, size_t size, off_t at, fuse_file_info* fi)
{
    return fuse_backing::result(int(::pread(int(fi->fh), buffer, size, at)));
}

int write(const char*, const char* buffer, size_t size, off_t at, fuse_file_info* fi)
{
    return fuse_backing::result(int(::pwrite(int(fi->fh), buffer, size, at)));
}

int release(const char*, fuse_file_info* fi) { return fuse_backing::result(::close(int(fi->fh))); }
int fsync(const char*, int, fuse_file_info* fi) { return fuse_backing::result(::fsync(int(fi->fh))); }

int rename(const char* from, const char* to, unsigned int flags)
{
    const std::string source = real(from);
    const std::string target = real(to);
    if (source == target)
        return 0;
    struct stat st;
    if ((flags & RENAME_NOREPLACE) && ::lstat(target.c_str(), &st) == 0)
        return -EEXIST;
    if (flags & ~unsigned(RENAME_NOREPLACE))
        return -EINVAL;
    return fuse_backing::result(::rename(source.c_str(), target.c_str()));
}

int unlink(const char* path) { return fuse_backing::result(::unlink(real(path).c_str())); }
int mkdir(const char* path, mode_t mode) { return fuse_backing::result(::mkdir(real(path).c_str(), mode)); }
int rmdir(const char* path) { return fuse_backing::result(::rmdir(real(path).c_str())); }
int chmod(const char* path, mode_t mode, fuse_file_info*) { return fuse_backing::result(::chmod(real(path).c_str(), mode)); }
int chown(const char* path, uid_t uid, gid_t gid, fuse_file_info*)
{
    return fuse_backing::result(::lchown(real(path).c_str(), uid, gid));
}
int truncate(const char* path, off_t size, fuse_file_info* fi)
{
    return fuse_backing::result(fi ? ::ftruncate(int(fi->fh), size) : ::truncate(real(path).c_str(), size));
}
int utimens(const char* path, const timespec times[2], fuse_file_info* fi)
{
    return fuse_backing::result(fi ? ::futimens(int(fi->fh), times) : ::utimensat(AT_FDCWD, real(path).c_str(), times, 0));
}
int getxattr(const char* path, const char* name, char* value, size_t size)
{
    return fuse_backing::result(int(::lgetxattr(real(path).c_str(), name, value, size)));
}
int setxattr(const char* path, const char* name, const char* value, size_t size, int flags)
{
    return fuse_backing::result(::lsetxattr(real(path).c_str(), name, value, size, flags));
}
int listxattr(const char* path, char* list, size_t size)
{
    return fuse_backing::result(int(::llistxattr(real(path).c_str(), list, size)));
}

void* init(fuse_conn_info*, fuse_config* config)
{
    // Every look goes to the folder: two spellings may name one file.
    config->entry_timeout = 0;
    config->attr_timeout = 0;
    config->negative_timeout = 0;
    config->use_ino = 1;
    config->hard_remove = 1;
    return nullptr;
}

}

int main(int argc, char* argv[])
{
    const std::optional<std::string> backing = fuse_backing::backingFolder(argc, argv, 2, "casefold_fs BACKING MOUNTPOINT");
    if (!backing)
        return 2;
    casefold::root = *backing;
    fuse_operations ops{};
    ops.getattr = casefold::getattr;
    ops.readdir = casefold::readdir;
    ops.open = casefold::open;
    ops.create = casefold::create;
    ops.read = casefold::read;
    ops.write = casefold::write;
    ops.release = casefold::release;
    ops.fsync = casefold::fsync;
    ops.rename = casefold::rename;
    ops.unlink = casefold::unlink;
    ops.mkdir = casefold::mkdir;
    ops.rmdir = casefold::rmdir;
    ops.chmod = casefold::chmod;
    ops.chown = casefold::chown;
    ops.truncate = casefold::truncate;
    ops.utimens = casefold::utimens;
    ops.getxattr = casefold::getxattr;
    ops.setxattr = casefold::setxattr;
    ops.listxattr = casefold::listxattr;
    ops.init = casefold::init;
    char* args[] = {argv[0], const_cast<char*>("-f"), const_cast<char*>("-s"), argv[2], nullptr};
    return fuse_main(4, args, &ops, nullptr);
}
