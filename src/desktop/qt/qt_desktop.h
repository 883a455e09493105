#pragma once
#include "desktop/desktop.h"
#include "desktop/qt/qt_dialogs.h"
#include "desktop/qt/qt_help_viewer.h"
#include "desktop/qt/qt_launcher.h"
#include "desktop/qt/qt_screen.h"

// The Qt implementations of the desktop, which the program hands to its
// windows (create it after the QApplication).
class QtDesktop {
public:
    Desktop parts() { return {&dialogs, &help, &launcher, &screen}; }

private:
    QtScreen screen;
    QtHelpViewer help;
    QtDialogs dialogs{help, screen};
    QtLauncher launcher;
};
