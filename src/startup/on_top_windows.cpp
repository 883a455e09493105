#include "startup/on_top_windows.h"

#include "platform/failure.h"

#include <array>

namespace {
std::array<std::function<void(bool)>, 3>& switches()
{
    static std::array<std::function<void(bool)>, 3> all;
    return all;
}
}

void registerOnTopSwitch(OnTopWindow window, std::function<void(bool on)> keepOnTop)
{
    switches().at(std::size_t(window)) = std::move(keepOnTop);
}

void switchOnTopWindows(bool on)
{
    for (const auto& keepOnTop : switches())
        if (keepOnTop)
            ignoreFailure([&] { keepOnTop(on); });
}
