#pragma once
#include <QRect>

#include <optional>

class QWidget;

// The frame the window manager really gave a shown top-level window, read
// from the X server: the window's ancestor just below the root, border
// included. None without an X display or before the window exists.
std::optional<QRect> managedFrame(const QWidget* window);

// Asks the window manager once more for the client area the window already
// has as far as Qt knows, by the same request Qt makes (the client area's
// own position), without Qt's geometry passing through anything else.
void askClientAreaAgain(const QWidget* window);
