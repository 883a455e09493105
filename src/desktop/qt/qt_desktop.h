#pragma once
#include "desktop/desktop.h"
#include "desktop/qt/qt_dialogs.h"
#include "desktop/qt/qt_help_viewer.h"
#include "desktop/qt/qt_launcher.h"
#include "desktop/qt/qt_screen.h"

// The Qt implementations of the desktop, which the program hands to its
// windows; the screen is installed for as long as this lives (create it
// after the QApplication).
class QtDesktop {
public:
    QtDesktop();
    ~QtDesktop();
    Desktop parts() { return {&dialogs, &help, &launcher, &screen}; }

private:
    QtHelpViewer help;
    QtDialogs dialogs{help};
    QtLauncher launcher;
    QtScreen screen;
};
