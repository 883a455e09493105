#pragma once
#include <mpv/client.h>
#include <mpv/render.h>

// libmpv's entry points, resolved when the first movie needs them: linked at
// start-up, libmpv alone would load over two hundred shared libraries into
// every run of the viewer, most of which never plays a movie.
#define PIXALTO_MPV_FUNCTIONS(X)                                                                              \
    X(mpv_client_api_version) X(mpv_create) X(mpv_initialize) X(mpv_terminate_destroy)                         \
    X(mpv_set_option_string) X(mpv_set_property) X(mpv_set_property_async) X(mpv_set_property_string) X(mpv_get_property)        \
    X(mpv_get_property_async)                \
    X(mpv_free_node_contents) X(mpv_observe_property) X(mpv_set_wakeup_callback) X(mpv_wait_event)             \
    X(mpv_command) X(mpv_command_ret) X(mpv_error_string) X(mpv_render_context_create)                         \
    X(mpv_render_context_set_update_callback) X(mpv_render_context_update) X(mpv_render_context_render)        \
    X(mpv_render_context_free)

struct MpvApi {
#define PIXALTO_MPV_POINTER(name) decltype(&::name) name = nullptr;
    PIXALTO_MPV_FUNCTIONS(PIXALTO_MPV_POINTER)
#undef PIXALTO_MPV_POINTER
};

namespace MpvLibrary {
// Loads the library, once per run, and returns its entry points, or nullptr
// when it cannot be loaded. Loading takes a good part of a second: call it
// off the window's thread.
const MpvApi* load();
// The entry points if the library has been loaded, else nullptr.
const MpvApi* loaded();
}
