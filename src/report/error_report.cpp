#include "report/error_report.h"

#include "desktop/dialogs.h"
#include "settings/program_log.h"

QString errorTitle(const ErrorTexts& texts, const Failure& failure)
{
    if (failure.description.isEmpty())
        return texts.fallback;
    return texts.stem + QString::number(failure.number) + QStringLiteral(" (")
         + failure.description + QLatin1Char(')');
}

void reportError(const Reporting& to, const ErrorTexts& texts, const Failure& failure, Beep beep, Logging logging)
{
    if (beep == Beep::Sound)
        to.dialogs.beep();
    const QString title = errorTitle(texts, failure);
    if (logging == Logging::Record)
        to.log.record(title);
    to.dialogs.messageBox({texts.message, MsgButtons::OK, MsgIcon::Critical, 1, title});
}
