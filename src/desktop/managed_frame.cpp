#include "desktop/managed_frame.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {
template <typename Reply>
using XcbReply = std::unique_ptr<Reply, decltype(&std::free)>;

// The X connection of a window on an X display; none on other platforms,
// including the offscreen one, which may offer the interface without a
// connection behind it.
xcb_connection_t* connectionOf(const QWidget* window)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !window->testAttribute(Qt::WA_WState_Created))
        return nullptr;
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}
}

std::optional<QRect> managedFrame(const QWidget* window)
{
    xcb_connection_t* connection = connectionOf(window);
    if (!connection)
        return std::nullopt;
    xcb_window_t frame = xcb_window_t(window->winId());
    for (;;) {
        const XcbReply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(connection, xcb_query_tree(connection, frame), nullptr), &std::free);
        if (!tree)
            return std::nullopt;
        if (tree->parent == tree->root)
            break;
        frame = tree->parent;
    }
    const XcbReply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, frame), nullptr), &std::free);
    if (!geometry)
        return std::nullopt;
    const int border = 2 * geometry->border_width;
    return QRect(geometry->x, geometry->y, geometry->width + border, geometry->height + border);
}

void askClientAreaAgain(const QWidget* window)
{
    xcb_connection_t* connection = connectionOf(window);
    if (!connection)
        return;
    const QRect client = window->geometry();
    const std::uint32_t values[] = {std::uint32_t(client.x()), std::uint32_t(client.y()),
                                    std::uint32_t(client.width()), std::uint32_t(client.height())};
    xcb_configure_window(connection, xcb_window_t(window->winId()),
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH
                             | XCB_CONFIG_WINDOW_HEIGHT,
                         values);
    xcb_flush(connection);
}
