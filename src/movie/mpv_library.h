#pragma once
#include <QObject>

#include <functional>

#include <mpv/client.h>
#include <mpv/render.h>

// libmpv's entry points, resolved when the first movie needs them: linked at
// start-up, libmpv alone would load over two hundred shared libraries into
// every run of the viewer, most of which never plays a movie.
#define PIXALTO_MPV_FUNCTIONS(X)                                                                              \
    X(mpv_client_api_version) X(mpv_create) X(mpv_initialize) X(mpv_terminate_destroy)                         \
    X(mpv_set_option_string) X(mpv_set_property) X(mpv_set_property_string) X(mpv_get_property)                \
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
// The entry points if the library has been loaded, else nullptr (also when
// loading failed).
const MpvApi* loaded();
// Loads the library on a worker thread, once per run, and calls ready on the
// receiver's thread with the entry points, or nullptr when the library cannot
// be loaded. When the receiver is gone by then, nothing is called.
void whenLoaded(QObject* receiver, std::function<void(const MpvApi*)> ready);
}
