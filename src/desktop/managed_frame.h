#pragma once
#include <QRect>

#include <optional>

class QWidget;

// Where the window manager really put a shown top-level window, read from
// the X server, both on the root window: its frame (the window's ancestor
// just below the root, border included) and the client area inside it.
struct ManagedGeometry {
    QRect frame;
    QRect client;
};

// None without an X display or before the window exists.
std::optional<ManagedGeometry> managedGeometry(const QWidget* window);
std::optional<QRect> managedFrame(const QWidget* window);

// Asks the window manager for the client area by the same request Qt makes
// (the client area's own position and size), without Qt's idea of the
// window's frame passing through it.
void askClientArea(const QWidget* window, QRect client);
