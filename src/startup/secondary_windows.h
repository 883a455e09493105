#pragma once
#include "desktop/desktop.h"
#include "report/error_report.h"

#include <QList>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>

class Form1;
class ProgramLog;
class QWidget;

// The main window's secondary windows: the separate picture and animation
// windows, the movie player window and the editor. Each subsystem registers
// here, from its connection to the main window, how to switch its windows
// above all other windows and how to unload them, so that the main window
// and its modal windows can reach them without knowing them.
enum class SecondaryWindow { Form3, Form4, Form5, Form6 };

struct SecondaryWindowHooks {
    // Switches keep-on-top: a single window is created hidden when it is not
    // open, as the window system would; a class with any number of open
    // windows switches each of them. Empty for a window that is never
    // switched.
    std::function<void(bool on)> keepOnTop;
    std::function<void()> unload;
    // Minimizes the window or makes it normal again; a window that is not
    // open is created hidden and stays hidden. Empty for a window that is
    // never minimized.
    std::function<void(bool minimized)> minimize;
};

// Windows of which any number may be open at once. Qt deletes each once it
// has closed; those not deleted yet, open or closed, go with the group.
class WindowGroup {
public:
    WindowGroup() = default;
    WindowGroup(const WindowGroup&) = delete;
    WindowGroup& operator=(const WindowGroup&) = delete;
    ~WindowGroup();

    template <typename Window>
    Window* add(std::unique_ptr<Window> window)
    {
        held.removeIf([](const QPointer<QWidget>& w) { return w.isNull(); });
        held.append(window.get());
        return window.release();
    }
    // Those not deleted yet, oldest first.
    QList<QWidget*> windows() const;

private:
    QList<QPointer<QWidget>> held;
};

// A window of which at most one is loaded. It is held here until it closes;
// a window that closes itself is deleted by Qt afterwards, so it gives
// itself up as it closes, and goes with this when Qt has not deleted it yet.
class SingleWindow {
public:
    QWidget* get() const { return window.get(); }
    void load(std::unique_ptr<QWidget> loaded) { window = std::move(loaded); }
    // The window is closing: the next use gets a new one even before this
    // one is deleted.
    void closing(const QWidget* closing);
    // Closes and deletes the loaded window now.
    void unload();

private:
    std::unique_ptr<QWidget> window;
    WindowGroup closed;
};

// The secondary windows of one main window, which owns them: the separate
// windows, the movie player window and the editor live as long as it does at
// most.
class SecondaryWindows {
public:
    // main is null for windows shown without a main window; the windows
    // use the desktop's parts and the program log given.
    SecondaryWindows(Form1* main, const Desktop& desktop, ProgramLog& log) : main(main), parts(desktop), log(log) {}
    SecondaryWindows(const SecondaryWindows&) = delete;
    SecondaryWindows& operator=(const SecondaryWindows&) = delete;

    Form1* mainWindow() const { return main; }
    const Desktop& desktop() const { return parts; }
    ProgramLog& programLog() const { return log; }
    // Where the windows' error reports go.
    Reporting reporting() const { return {*parts.dialogs, log}; }

    void add(SecondaryWindow window, SecondaryWindowHooks hooks);
    // Switches every registered window in the order Form3, Form4, Form6; a
    // window whose switch fails is skipped.
    void switchOnTop(bool on) const;
    // Minimizes, or makes normal again, every registered window in the order
    // Form3, Form4, Form6; a window whose switch fails is skipped.
    void minimize(bool minimized) const;
    // Unloads every registered window; one that fails is skipped.
    void unload() const;

    WindowGroup separate;
    SingleWindow movie;
    SingleWindow editor;

private:
    Form1* main;
    const Desktop parts;
    ProgramLog& log;
    std::array<SecondaryWindowHooks, 4> hooks;
};
