#include "startup/secondary_windows.h"

#include "core/failure.h"

#include <array>

namespace {
std::array<SecondaryWindowHooks, 4>& registered()
{
    static std::array<SecondaryWindowHooks, 4> all;
    return all;
}
}

void registerSecondaryWindow(SecondaryWindow window, SecondaryWindowHooks hooks)
{
    registered().at(std::size_t(window)) = std::move(hooks);
}

void switchOnTopWindows(bool on)
{
    for (const auto& hooks : registered())
        if (hooks.keepOnTop)
            ignoreFailure([&] { hooks.keepOnTop(on); });
}

void minimizeSecondaryWindows(bool minimized)
{
    for (const auto& hooks : registered())
        if (hooks.minimize)
            ignoreFailure([&] { hooks.minimize(minimized); });
}

void unloadSecondaryWindows()
{
    for (const auto& hooks : registered())
        if (hooks.unload)
            ignoreFailure([&] { hooks.unload(); });
}
