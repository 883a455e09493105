#pragma once
#include "doubles/recording_desktop.h"
#include "desktop/desktop.h"
#include "doubles/scripted_dialogs.h"

#include <QTemporaryDir>

// Everything a test of a window needs: its own settings file (under a
// temporary XDG_CONFIG_HOME), its own program folder for the logs, the
// doubles of the person and the desktop, handed to the windows, and the
// picture limits the program sets at start-up.
class TestEnvironment {
public:
    TestEnvironment();
    ~TestEnvironment();
    QString configHome() const { return config.path(); }
    QString programFolder() const { return program.path(); }
    QString settingsFile() const;
    // A fresh folder under a temporary root, for test files.
    QString makeFolder(const QString& name) const;
    // The doubles, as the windows take them.
    Desktop desktop() { return {&dialogs, &help, &launcher, &screen}; }

    ScriptedDialogs dialogs;
    RecordingHelp help;
    RecordingLauncher launcher;
    FixedScreen screen;

private:
    QTemporaryDir config;
    QTemporaryDir program;
    QTemporaryDir files;
};
