#pragma once
#include "platform/dialogs.h"
#include "platform/help_viewer.h"
#include "platform/launcher.h"
#include "platform/screen.h"

// The parts of the desktop that stand for a person or for the desktop itself.
// main() installs the Qt implementations; tests install doubles.
struct Platform {
    Dialogs* dialogs = nullptr;
    HelpViewer* help = nullptr;
    Launcher* launcher = nullptr;
    Screen* screen = nullptr;
};

Platform& platform();
void installPlatform(const Platform& p);
