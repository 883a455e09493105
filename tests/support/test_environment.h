#pragma once
#include "doubles/recording_desktop.h"
#include "desktop/desktop.h"
#include "doubles/scripted_dialogs.h"
#include "report/error_report.h"
#include "settings/program_log.h"

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
    Reporting reporting() { return {dialogs, programLog}; }

    ScriptedDialogs dialogs;
    RecordingHelp help;
    RecordingLauncher launcher;
    FixedScreen screen;
    // The real log, not opened: its records open the file themselves.
    ProgramLog programLog;

private:
    QTemporaryDir config;
    QTemporaryDir program;
    QTemporaryDir files;
};
