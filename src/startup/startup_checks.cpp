#include "startup/form1.h"

#include "core/program_info.h"
#include "desktop/desktop.h"
#include "report/error_report.h"
#include "settings/keys.h"
#include "settings/run_log.h"
#include "settings/settings_store.h"
#include "settings/tray_lock.h"
#include "startup/defaults.h"
#include "startup/form15.h"

namespace {
void writeFirstRunDefaults()
{
    const std::pair<QString, QString> defaults[] = {
        {Keys::OLE, QStringLiteral("1")},
        {Keys::AutoZoom, QStringLiteral("1")},
        {Keys::AutoSkip, QStringLiteral("1")},
        {Keys::UserReq, QStringLiteral("0")},
        {Keys::DelConfirmation, QStringLiteral("1")},
        {Keys::MoveConfirmation, QStringLiteral("1")},
        {Keys::OnTop, QStringLiteral("1")},
        {Keys::Systray, QStringLiteral("0")},
        {Keys::AniPattern, Defaults::animationPattern()},
        {Keys::PicPattern, Defaults::picturePattern()},
    };
    for (const auto& [key, value] : defaults)
        writeSetting(key, value);
}
}

void Form1::spctest()
{
    if (readSetting(Keys::SpcSetting).toLower().contains(QLatin1String("nosplash")))
        return;
    Form15 splash(*desktop().screen);
    splash.exec();
}

void Form1::usertest(RunLog& runLog)
{
    // Settings that cannot be read or kept are named once; a first-run set-up
    // would ask for a name it cannot keep and write over the user's file.
    const QString problem = settingsProblem();
    if (!problem.isEmpty())
        desktop().dialogs->messageBox(
            {problem + CR + CR
                 + QStringLiteral("Pixalto goes on, but it leaves this file as it is: settings changed now will "
                                  "not be kept. Put the file or its folder right and start Pixalto again."),
             MsgButtons::OK, MsgIcon::Critical, 1, QStringLiteral("Pixalto - Settings file ERROR")});
    if (problem.isEmpty() && readSetting(Keys::User).isEmpty()) {
        QString name;
        while (name.isEmpty())
            name = desktop().dialogs->inputBox(
                {QStringLiteral("Enter a User name. (Capital letters will be remembered) It will later be "
                                "possible to use this User name as password"),
                 QStringLiteral("Pixalto - User name entry"), QString(), std::nullopt,
                 ProgramInfo::helpFile(), 27});
        runLog.okLine(QStringLiteral("New user added"));
        writeSetting(Keys::User, name);
        writeFirstRunDefaults();
        runLog.okLine(QStringLiteral("Options saved to registration database"));
    }
    if (!settingIsOne(Keys::UserReq))
        return;
    const QString answer = desktop().dialogs->inputBox(
        {QStringLiteral("Enter your User name to run the Pixalto program (Remember capital letters)"),
         QStringLiteral("Pixalto - User Verification"), QString(), std::nullopt,
         ProgramInfo::helpFile(), 27});
    if (answer == readSetting(Keys::User))
        return;
    desktop().dialogs->beep();
    log.plainRecord(QStringLiteral("Invalid user name was entered"));
    desktop().dialogs->messageBox(
        {QStringLiteral("Invalid User name. The program will terminate, for another try restart the program"),
         MsgButtons::OK, MsgIcon::Critical, 1, QStringLiteral("Pixalto - Invalid User Name")});
    runLog.line(QStringLiteral("Invalid user name was entered, Program terminated"));
    runLog.close();
    endRequested = true;
}

void Form1::restest(RunLog& runLog)
{
    try {
        const Screen& screen = *desktop().screen;
        const float width = float(screen.sizeTwips().width() / screen.twipsPerPixelX());
        const float height = float(screen.sizeTwips().height() / screen.twipsPerPixelY());
        if (width >= 1024)
            return;
        const QString text =
            QStringLiteral("The Pixalto program is designed for a screen resolution of 1024 x 768 pixels or more.")
            + CR + CR + QStringLiteral("The current screen resolution is: ") + QString::number(width)
            + QStringLiteral(" x ") + QString::number(height) + QStringLiteral(" Pixels") + CR + CR
            + QStringLiteral("In order to get the full advantages and capabilities of this program you'll have to change the")
            + CR + QStringLiteral("screen resolution to a minimum of 1024 x 768 pixels") + CR + CR
            + QStringLiteral("DO YOU WANT TO CHANGE THE SCREEN RESOLUTION NOW?");
        const MsgResult answer = desktop().dialogs->messageBox(
            {text, MsgButtons::YesNo, MsgIcon::Exclamation, 2,
             QStringLiteral("Pixalto - The current screen resolution is insufficient")});
        if (answer != MsgResult::Yes)
            return;
        desktop().dialogs->messageBox(
            {QStringLiteral("Double click on the Display icon, and select the Settings tab, then change the "
                            "display area to a minimum of 1024 x 768 pixels"),
             MsgButtons::OK, MsgIcon::Information, 1,
             QStringLiteral("HELP - for changing the screen resolution")});
        desktop().launcher->startDisplaySettings();
    } catch (const PxError& error) {
        desktop().dialogs->beep();
        runLog.line(QStringLiteral("Screen resolution detection ERROR"));
        reportError(reporting(),
                    {QStringLiteral("Resolution detection ERROR "),
                     QStringLiteral("Unknown Resolution detection ERROR"),
                     QStringLiteral("Unable to detect the screen resolution or running the Control panel")},
                    error.failure, Beep::Silent);
    }
}

void Form1::systray(RunLog& runLog)
{
    try {
        // A companion killed without its chance to reset the setting leaves
        // its lock behind, held by no one.
        if (settingIsOne(Keys::SystrayLoaded) && trayCompanionRuns())
            return;
        if (settingIsOne(Keys::Systray)) {
            desktop().launcher->startProgram(
                readSetting(Keys::AppPath) + QStringLiteral("PXTray.exe"), {}, false);
            runLog.okLine(QStringLiteral("Systray program loaded"));
        } else {
            runLog.okLine(QStringLiteral("Systray program load is off"));
        }
    } catch (const PxError& error) {
        desktop().dialogs->beep();
        runLog.line(QStringLiteral("Systray program ERROR"));
        reportError(reporting(),
                    {QStringLiteral("Systray ERROR "), QStringLiteral("Unknown Systray ERROR"),
                     QStringLiteral("Unable to load the Systray program, please check that the program exists.")},
                    error.failure, Beep::Silent);
    }
}
