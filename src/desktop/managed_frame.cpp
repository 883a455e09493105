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

std::optional<ManagedGeometry> managedGeometry(const QWidget* window)
{
    xcb_connection_t* connection = connectionOf(window);
    if (!connection)
        return std::nullopt;
    const auto client = xcb_window_t(window->winId());
    xcb_window_t frame = client;
    xcb_window_t root = XCB_NONE;
    for (;;) {
        const XcbReply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(connection, xcb_query_tree(connection, frame), nullptr), &std::free);
        if (!tree)
            return std::nullopt;
        root = tree->root;
        if (tree->parent == tree->root)
            break;
        frame = tree->parent;
    }
    const XcbReply<xcb_get_geometry_reply_t> frameGeometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, frame), nullptr), &std::free);
    const XcbReply<xcb_get_geometry_reply_t> clientGeometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, client), nullptr), &std::free);
    const XcbReply<xcb_translate_coordinates_reply_t> clientAt(
        xcb_translate_coordinates_reply(connection, xcb_translate_coordinates(connection, client, root, 0, 0),
                                        nullptr),
        &std::free);
    if (!frameGeometry || !clientGeometry || !clientAt)
        return std::nullopt;
    const int border = 2 * frameGeometry->border_width;
    return ManagedGeometry{
        QRect(frameGeometry->x, frameGeometry->y, frameGeometry->width + border, frameGeometry->height + border),
        QRect(clientAt->dst_x, clientAt->dst_y, clientGeometry->width, clientGeometry->height)};
}

std::optional<QRect> managedFrame(const QWidget* window)
{
    const std::optional<ManagedGeometry> geometry = managedGeometry(window);
    return geometry ? std::optional<QRect>(geometry->frame) : std::nullopt;
}

void askClientArea(const QWidget* window, QRect client)
{
    xcb_connection_t* connection = connectionOf(window);
    if (!connection)
        return;
    const std::uint32_t values[] = {std::uint32_t(client.x()), std::uint32_t(client.y()),
                                    std::uint32_t(client.width()), std::uint32_t(client.height())};
    xcb_configure_window(connection, xcb_window_t(window->winId()),
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH
                             | XCB_CONFIG_WINDOW_HEIGHT,
                         values);
    xcb_flush(connection);
}
