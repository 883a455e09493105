// stall_fs BACKING MOUNTPOINT GATE: shows the folder BACKING at MOUNTPOINT,
// read-only. While the file GATE exists, every read of a file's contents
// waits, and the file GATE.held is made; listing and looking at files go on. Runs in the foreground until it
// is terminated.
#define FUSE_USE_VERSION 31
#include <fuse3/fuse.h>

#include "../fuse_backing.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace stall {

std::string root;
std::string gate;

std::string real(const char* path) { return root + path; }

int getattr(const char* path, struct stat* st, fuse_file_info*) { return fuse_backing::result(::lstat(real(path).c_str(), st)); }

int readdir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*, fuse_readdir_flags)
{
    return fuse_backing::listFolder(real(path), buffer, fill);
}

int open(const char* path, fuse_file_info* fi)
{
    if ((fi->flags & O_ACCMODE) != O_RDONLY)
        return -EROFS;
    const int fd = ::open(real(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -errno;
    fi->fh = std::uint64_t(fd);
    // Every read comes here, none from the page cache.
    fi->direct_io = 1;
    return 0;
}

int read(const char*, char* buffer, size_t size, off_t offset, fuse_file_info* fi)
{
    if (::access(gate.c_str(), F_OK) == 0) {
        // Tells the test that a read is being held.
        ::close(::open((gate + ".held").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
        while (::access(gate.c_str(), F_OK) == 0)
            ::usleep(5000);
    }
    return fuse_backing::result(int(::pread(int(fi->fh), buffer, size, offset)));
}

int release(const char*, fuse_file_info* fi) { return fuse_backing::result(::close(int(fi->fh))); }

void* init(fuse_conn_info*, fuse_config* config)
{
    config->use_ino = 1;
    return nullptr;
}

}

int main(int argc, char* argv[])
{
    const std::optional<std::string> backing = fuse_backing::backingFolder(argc, argv, 3, "stall_fs BACKING MOUNTPOINT GATE");
    if (!backing)
        return 2;
    stall::root = *backing;
    stall::gate = argv[3];
    fuse_operations ops{};
    ops.getattr = stall::getattr;
    ops.readdir = stall::readdir;
    ops.open = stall::open;
    ops.read = stall::read;
    ops.release = stall::release;
    ops.init = stall::init;
    // Several threads: a stalled read leaves the others answering.
    char* args[] = {argv[0], const_cast<char*>("-f"), argv[2], nullptr};
    return fuse_main(3, args, &ops, nullptr);
}
