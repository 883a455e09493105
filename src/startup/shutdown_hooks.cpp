#include "startup/shutdown_hooks.h"

#include <vector>

namespace {
std::vector<std::function<void()>>& hooks()
{
    static std::vector<std::function<void()>> list;
    return list;
}
}

void addShutdownHook(std::function<void()> hook) { hooks().push_back(std::move(hook)); }

void runShutdownHooks()
{
    for (auto& hook : hooks()) {
        try {
            hook();
        } catch (...) {
        }
    }
}
