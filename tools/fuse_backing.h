#pragma once
// What the project's FUSE folders share: a backing folder named first on the
// command line, and the system's errors handed back as FUSE wants them.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

namespace fuse_backing {

inline int result(int value) { return value < 0 ? -errno : value; }

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
