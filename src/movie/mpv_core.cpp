#include "movie/mpv_core.h"

QVariant fromMpvNode(const mpv_node& n)
{
    switch (n.format) {
    case MPV_FORMAT_STRING: return QString::fromUtf8(n.u.string);
    case MPV_FORMAT_FLAG: return bool(n.u.flag);
    case MPV_FORMAT_INT64: return qlonglong(n.u.int64);
    case MPV_FORMAT_DOUBLE: return n.u.double_;
    case MPV_FORMAT_NODE_ARRAY: {
        QVariantList list;
        for (int i = 0; i < n.u.list->num; ++i)
            list.append(fromMpvNode(n.u.list->values[i]));
        return list;
    }
    case MPV_FORMAT_NODE_MAP: {
        QVariantMap map;
        for (int i = 0; i < n.u.list->num; ++i)
            map.insert(QString::fromUtf8(n.u.list->keys[i]), fromMpvNode(n.u.list->values[i]));
        return map;
    }
    default: return {};
    }
}

Core startCore(bool headless)
{
    const MpvApi* api = MpvLibrary::load();
    if (!api)
        return Core(nullptr, CoreDeleter{nullptr});
    Core core(api->mpv_create(), CoreDeleter{api});
    if (!core)
        return core;
    mpv_handle* mpv = core.get();
    api->mpv_set_option_string(mpv, "config", "no");
    api->mpv_set_option_string(mpv, "terminal", "no");
    api->mpv_set_option_string(mpv, "load-scripts", "no");
    api->mpv_set_option_string(mpv, "osc", "no");
    api->mpv_set_option_string(mpv, "ytdl", "no");
    // A file is played as what it holds: an edit list or playlist inside it
    // would make the player open other files, or addresses on the network.
    api->mpv_set_option_string(mpv, "access-references", "no");
    // Each built-in script is a client of its own that the core waits for
    // when it shuts down; none of them is used here.
    api->mpv_set_option_string(mpv, "load-stats-overlay", "no");
    api->mpv_set_option_string(mpv, "load-osd-console", "no");
    api->mpv_set_option_string(mpv, "load-auto-profiles", "no");
    api->mpv_set_option_string(mpv, "input-default-bindings", "no");
    api->mpv_set_option_string(mpv, "input-vo-keyboard", "no");
    api->mpv_set_option_string(mpv, "idle", "yes");
    api->mpv_set_option_string(mpv, "keep-open", "yes");
    api->mpv_set_option_string(mpv, "audio-display", "no");
    api->mpv_set_option_string(mpv, "vo", "null");
    if (headless)
        api->mpv_set_option_string(mpv, "ao", "null");
    if (api->mpv_initialize(mpv) < 0)
        core.reset();
    return core;
}

