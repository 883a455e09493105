#include "movie/mpv_library.h"

#include <QLibrary>

#include <atomic>
#include <mutex>

namespace {

std::atomic<const MpvApi*> loadedApi{nullptr};

const MpvApi* resolve()
{
    // Kept loaded for the rest of the run: mpv's threads may outlive any player.
    static QLibrary library(QStringLiteral("mpv"), 2);
    if (!library.load())
        return nullptr;
    static MpvApi api;
#define PIXALTO_MPV_RESOLVE(name)                                                           \
    api.name = reinterpret_cast<decltype(api.name)>(library.resolve(#name));                \
    if (!api.name)                                                                          \
        return nullptr;
    PIXALTO_MPV_FUNCTIONS(PIXALTO_MPV_RESOLVE)
#undef PIXALTO_MPV_RESOLVE
    return &api;
}

}

namespace MpvLibrary {

const MpvApi* load()
{
    static std::once_flag once;
    std::call_once(once, [] { loadedApi = resolve(); });
    return loadedApi;
}

const MpvApi* loaded() { return loadedApi; }

}
