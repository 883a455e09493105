#include "fileops/command_report.h"

#include "desktop/dialogs.h"
#include "settings/settings_store.h"

void runReported(const Reporting& to, const CommandReport& report, const std::function<void()>& steps)
{
    Failure failure;
    try {
        steps();
        return;
    } catch (const PxError& error) {
        failure = error.failure;
    }
    if (report.record == CommandReport::Record::Fixed)
        failure = Failure{};
    reportError(to, report.texts, failure, report.beep, report.logging);
}

bool confirmFileCommand(Dialogs& dialogs, const QString& flagKey, const QString& verb, const QString& title,
                        const QString& path)
{
    if (!settingIsOne(flagKey))
        return true;
    return dialogs.messageBox(
               {QStringLiteral("Are you sure you want to ") + verb + QStringLiteral(" the following file:") + CR
                    + CR + path,
                MsgButtons::YesNo, MsgIcon::Exclamation, 1, title})
        == MsgResult::Yes;
}
