#pragma once
#include "platform/qt_dialogs.h"
#include "platform/qt_help_viewer.h"
#include "platform/qt_launcher.h"
#include "platform/qt_screen.h"

// The Qt implementations of the desktop, installed for as long as this lives
// (create it after the QApplication).
class QtPlatform {
public:
    QtPlatform();
    ~QtPlatform();

private:
    QtDialogs dialogs;
    QtHelpViewer help;
    QtLauncher launcher;
    QtScreen screen;
};
