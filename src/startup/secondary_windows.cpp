#include "startup/secondary_windows.h"

#include "core/failure.h"

#include <QWidget>

void SingleWindow::closing(const QWidget* closing)
{
    if (window.get() == closing)
        closed.add(std::move(window));
}

void SingleWindow::unload()
{
    if (!window)
        return;
    // Closing hands the window to the event loop; unloading ends it now.
    const std::unique_ptr<QWidget> unloaded = std::move(window);
    unloaded->close();
}

WindowGroup::~WindowGroup()
{
    for (const QPointer<QWidget>& window : held)
        delete window.data();
}

QList<QWidget*> WindowGroup::windows() const
{
    QList<QWidget*> alive;
    for (const QPointer<QWidget>& window : held)
        if (window)
            alive.append(window);
    return alive;
}

void SecondaryWindows::add(SecondaryWindow window, SecondaryWindowHooks added)
{
    hooks.at(std::size_t(window)) = std::move(added);
}

void SecondaryWindows::switchOnTop(bool on) const
{
    for (const auto& h : hooks)
        if (h.keepOnTop)
            ignoreFailure([&] { h.keepOnTop(on); });
}

void SecondaryWindows::minimize(bool minimized) const
{
    for (const auto& h : hooks)
        if (h.minimize)
            ignoreFailure([&] { h.minimize(minimized); });
}

void SecondaryWindows::unload() const
{
    for (const auto& h : hooks)
        if (h.unload)
            ignoreFailure([&] { h.unload(); });
}
