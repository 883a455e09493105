#pragma once
#include "desktop/dialogs.h"
#include "desktop/help_viewer.h"
#include "desktop/launcher.h"
#include "desktop/screen.h"

// The parts of the desktop that stand for a person or for the desktop itself.
// Whoever starts the windows owns them (the program the Qt implementations,
// tests doubles) and hands them to the main window, which hands them on.
struct Desktop {
    Dialogs* dialogs = nullptr;
    HelpViewer* help = nullptr;
    Launcher* launcher = nullptr;
    Screen* screen = nullptr;
};
