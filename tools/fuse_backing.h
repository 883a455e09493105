#pragma once
// What the project's FUSE folders share: a backing folder named first on the
// command line, the system's errors handed back as FUSE wants them, and the
// listing of a backing folder. Included after <fuse3/fuse.h>.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <dirent.h>

namespace fuse_backing {

inline int result(int value) { return value < 0 ? -errno : value; }

// The entries of the backing folder at real, as readdir answers them.
inline int listFolder(const std::string& real, void* buffer, fuse_fill_dir_t fill)
{
    DIR* dir = ::opendir(real.c_str());
    if (!dir)
        return -errno;
    while (dirent* entry = ::readdir(dir))
        fill(buffer, entry->d_name, nullptr, 0, fuse_fill_dir_flags(0));
    ::closedir(dir);
    return 0;
}

// The real path of argv[1] when the command line has `arguments` words after
// the program's name; otherwise says why on standard error.
inline std::optional<std::string> backingFolder(int argc, char* argv[], int arguments, const char* usage)
{
    if (argc != arguments + 1) {
        std::fprintf(stderr, "usage: %s\n", usage);
        return std::nullopt;
    }
    char resolved[PATH_MAX];
    if (!::realpath(argv[1], resolved)) {
        std::perror(argv[1]);
        return std::nullopt;
    }
    return std::string(resolved);
}

}
