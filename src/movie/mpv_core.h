#pragma once
#include "movie/mpv_library.h"

#include <QVariant>

#include <memory>

// A started core, terminated unless a player takes it.
struct CoreDeleter {
    const MpvApi* api;
    void operator()(mpv_handle* core) const { api->mpv_terminate_destroy(core); }
};
using Core = std::unique_ptr<mpv_handle, CoreDeleter>;

// Loads the library and starts a core: run on a worker, since the two take a
// good part of a second. Empty when either fails.
Core startCore(bool headless);

// A value the player hands out, as Qt's variant (lists and maps nested).
QVariant fromMpvNode(const mpv_node& node);
