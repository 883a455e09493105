#pragma once
#include "desktop/dialogs.h"
#include "desktop/help_viewer.h"
#include "desktop/launcher.h"
#include "desktop/screen.h"

// The parts of the desktop that stand for a person or for the desktop itself.
// main() installs the Qt implementations; tests install doubles.
struct Desktop {
    Dialogs* dialogs = nullptr;
    HelpViewer* help = nullptr;
    Launcher* launcher = nullptr;
    Screen* screen = nullptr;
};

Desktop& desktop();
void installDesktop(const Desktop& p);
