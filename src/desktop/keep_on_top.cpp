#include "desktop/keep_on_top.h"

#include <QWidget>
#include <QWindow>

void setKeepOnTop(QWidget* window, bool on)
{
    QWindow* shown = window->isVisible() ? window->windowHandle() : nullptr;
    if (!shown) {
        window->setWindowFlag(Qt::WindowStaysOnTopHint, on);
        return;
    }
    // Changing the widget's flags would re-create a shown window (it
    // flickers and gets a new id); the native window takes the window
    // manager's "above" state in place, and the widget only records it.
    shown->setFlag(Qt::WindowStaysOnTopHint, on);
    Qt::WindowFlags flags = window->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, on);
    window->overrideWindowFlags(flags);
}

void setMinimized(QWidget* window, bool minimized)
{
    // The window system maps a window that leaves the minimized state, shown
    // before or not: a hidden one would appear as an empty frame.
    if (!window->isVisible())
        return;
    window->setWindowState(minimized ? window->windowState() | Qt::WindowMinimized
                                     : window->windowState() & ~Qt::WindowMinimized);
}
