#pragma once
#include <functional>

// The main window's secondary windows: the separate picture and animation
// windows, the movie player window and the editor. Each registers here, from
// its subsystem's connection to the main window, how to switch itself above
// all other windows and how to unload itself, so that the main window and
// its modal windows can reach them without knowing them.
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

void registerSecondaryWindow(SecondaryWindow window, SecondaryWindowHooks hooks);
// Switches every registered window in the order Form3, Form4, Form6; a window
// whose switch fails is skipped.
void switchOnTopWindows(bool on);
// Minimizes, or makes normal again, every registered window in the order
// Form3, Form4, Form6; a window whose switch fails is skipped.
void minimizeSecondaryWindows(bool minimized);
// Unloads every registered window; one that fails is skipped.
void unloadSecondaryWindows();
