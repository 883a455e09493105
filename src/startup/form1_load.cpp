#include "startup/form1.h"

#include "controls/auto_size_label.h"
#include "controls/dir_list.h"
#include "controls/drive_list.h"
#include "controls/file_list.h"
#include "controls/status_bar.h"
#include "core/paths.h"
#include "core/program_info.h"
#include "settings/keys.h"
#include "settings/run_log.h"
#include "settings/settings_store.h"
#include "startup/defaults.h"
#include "startup/secondary_windows.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>

namespace {
QString fallbackFolder() { return withTrailingSeparator(QDir::homePath()); }
}

bool Form1::Form_Load()
{
    RunLog runLog;
    log.open();
    runLog.okLine(QStringLiteral("Program Logfile set"));

    ignoreFailure([] { writeSetting(Keys::AppPath, ProgramInfo::appPath()); });
    ignoreFailure([] { writeSetting(Keys::EXEName, ProgramInfo::exeName()); });
    ignoreFailure([] { writeSetting(Keys::Version, ProgramInfo::majorVersion()); });
    runLog.okLine(QStringLiteral("Program information saved to registration database"));
    // The help file is always the one beside the program.
    runLog.okLine(QStringLiteral("Program Help file set"));

    try {
        const QString pattern = readSetting(Keys::PicPattern);
        File1->setPattern(pattern.isEmpty() ? Defaults::picturePattern() : pattern);
        runLog.okLine(QStringLiteral("File list box pattern set"));
        Drive1->setDrive(readSetting(Keys::startupdir));
        runLog.okLine(QStringLiteral("Drive list box drive set"));
        Dir1->setPath(readSetting(Keys::startupdir));
        runLog.okLine(QStringLiteral("Dir list box path set"));
        Text3 = readSetting(Keys::defaultcopydir);
        runLog.okLine(QStringLiteral("Default copy destination path set"));
        const QString interval = readSetting(Keys::AutoSkipInterval);
        Text2->setText(interval.isEmpty() ? QStringLiteral("10") : interval);
        intervalShown = true;
        runLog.okLine(QStringLiteral("AutoSkip interval set"));
        StatusBar1->setText(1, QStringLiteral(" Pictures "));
        StatusBar1->setText(2, Label1);
        StatusBar1->setText(3, QStringLiteral("  ") + Text3);
        runLog.okLine(QStringLiteral("Statusbar text set"));
    } catch (const PxError&) {
        fallbackBlock(runLog);
    }

    ignoreFailure([this, &runLog] {
        showFileCount();
        runLog.okLine(QStringLiteral("Label6 caption set"));
    });
    // A check that fails in a way it does not handle itself must not stop
    // the start-up; its section line is still written.
    ignoreFailure([this] { spctest(); });
    runLog.okLine(QStringLiteral("Special settings section completed"));
    ignoreFailure([this, &runLog] { usertest(runLog); });
    if (endRequested)
        return false;
    runLog.okLine(QStringLiteral("Usertest section completed"));
    ignoreFailure([this, &runLog] { restest(runLog); });
    runLog.okLine(QStringLiteral("Screen resolution section completed"));
    ignoreFailure([this, &runLog] { systray(runLog); });
    runLog.okLine(QStringLiteral("Systray section completed"));
    runLog.line(QStringLiteral("PROGRAM LOAD COMPLETED"));
    runLog.close();
    // The arrow keys move through the files from the start, as after a click
    // on one; the drive list, first in the tab order, would take them.
    File1->setFocus();
    return true;
}

void Form1::fallbackBlock(RunLog& runLog)
{
    try {
        Text3 = fallbackFolder();
        runLog.okLine(QStringLiteral("Default copy destination set BY DEFAULT"));
        StatusBar1->setText(1, QStringLiteral("Pictures"));
        StatusBar1->setText(2, Label1);
        StatusBar1->setText(3, QStringLiteral("  ") + Text3);
        runLog.okLine(QStringLiteral("Statusbar text set BY DEFAULT"));
        Drive1->setDrive(QStringLiteral("/"));
        runLog.okLine(QStringLiteral("Drive list box drive set BY DEFAULT"));
        Dir1->setPath(fallbackFolder());
        runLog.okLine(QStringLiteral("Dir list box path ser BY DEFAULT"));
    } catch (const PxError&) {
        // Even the defaults failed (no home folder): start-up goes on with
        // whatever the lists show.
    }
}

void Form1::Form_Unload()
{
    secondary.unload();
    log.close();
    // After the fallback block the box shows the default, not the stored
    // interval: that is kept unless the user typed another.
    if (intervalShown || Text2->isModified())
        ignoreFailure([this] { writeSetting(Keys::AutoSkipInterval, Text2->text()); });
    QCoreApplication::quit();
}
