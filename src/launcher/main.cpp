// The command that starts the viewer. It answers the command line itself and
// loads the viewer, with Qt and everything below it, only when it is to run:
// "pixalto --version" then costs a process start, not a hundred libraries.
#include "launcher/command_line.h"
#include "launcher/viewer_entry.h"

#include <cstdio>
#include <dlfcn.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {
// The folder of the running executable: the viewer module sits beside it,
// wherever the package or the build put the two.
std::string programFolder()
{
    std::string path(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= path.size())
        return ".";
    path.resize(static_cast<std::size_t>(length));
    return path.substr(0, path.rfind('/'));
}

int runViewer(int argc, char** argv, const std::string& startPath)
{
    const std::string module = programFolder() + "/" + kViewerModuleName;
    void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        std::fprintf(stderr, "pixalto: cannot load the viewer: %s\n", dlerror());
        return 1;
    }
    auto* entry = reinterpret_cast<ViewerEntry>(dlsym(handle, kViewerEntryName));
    if (!entry) {
        std::fprintf(stderr, "pixalto: cannot load the viewer: %s\n", dlerror());
        return 1;
    }
    // Never closed: Qt's threads and exit handlers live in the module.
    return entry(argc, argv, startPath.c_str());
}
}

int main(int argc, char** argv)
{
    const CommandLine line = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (line.action) {
    case CommandLine::Action::Help:
        std::fputs(usageText().c_str(), stdout);
        return 0;
    case CommandLine::Action::Version:
        std::fputs(versionText().c_str(), stdout);
        return 0;
    case CommandLine::Action::UnknownOption:
        std::fputs(unknownOptionText(line.unknownOption).c_str(), stderr);
        return 2;
    case CommandLine::Action::Run:
        break;
    }
    return runViewer(argc, argv, line.path);
}
