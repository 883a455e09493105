#include "movie/mpv_library.h"

#include <QLibrary>
#include <QPointer>
#include <QThreadPool>

#include <mutex>
#include <vector>

namespace {

struct Waiter {
    QPointer<QObject> receiver;
    std::function<void(const MpvApi*)> ready;
};

struct LoadState {
    std::mutex mutex;
    bool started = false;
    bool done = false;
    const MpvApi* api = nullptr;
    std::vector<Waiter> waiters;
};

LoadState& state()
{
    static LoadState s;
    return s;
}

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

void deliver(const Waiter& waiter, const MpvApi* api)
{
    QObject* receiver = waiter.receiver.data();
    if (!receiver)
        return;
    QMetaObject::invokeMethod(
        receiver, [guard = waiter.receiver, ready = waiter.ready, api] {
            if (guard)
                ready(api);
        },
        Qt::QueuedConnection);
}

} // namespace

namespace MpvLibrary {

const MpvApi* loaded()
{
    LoadState& s = state();
    std::lock_guard lock(s.mutex);
    return s.api;
}

void whenLoaded(QObject* receiver, std::function<void(const MpvApi*)> ready)
{
    LoadState& s = state();
    std::lock_guard lock(s.mutex);
    Waiter waiter{receiver, std::move(ready)};
    if (s.done) {
        deliver(waiter, s.api);
        return;
    }
    s.waiters.push_back(std::move(waiter));
    if (s.started)
        return;
    s.started = true;
    QThreadPool::globalInstance()->start([&s] {
        const MpvApi* api = resolve();
        std::lock_guard lock(s.mutex);
        s.api = api;
        s.done = true;
        for (const Waiter& w : s.waiters)
            deliver(w, api);
        s.waiters.clear();
    });
}

} // namespace MpvLibrary
