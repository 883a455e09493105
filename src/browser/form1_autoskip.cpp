#include "startup/form1.h"

#include "browser/autoskip_interval.h"
#include "controls/file_list.h"
#include "desktop/desktop.h"
#include "report/error_report.h"
#include "settings/keys.h"
#include "settings/program_log.h"
#include "settings/settings_store.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {
const ErrorTexts kAutoskipRun{
    QStringLiteral("Autoskip ERROR "), QStringLiteral("Unknown Autoskip ERROR"),
    QStringLiteral("Unable to run Autoskip. Make sure you have entered a number between 2 and 60")};

void refuseInterval(const Reporting& to)
{
    to.dialogs.beep();
    to.log.record(QStringLiteral("Autoskip ERROR (Invalid interval time"));
    to.dialogs.messageBox({QStringLiteral("You have to enter an interval time between 2 and 60 sec."), MsgButtons::OK,
                        MsgIcon::Critical, 1, QStringLiteral("ERROR (Invalid interval time)")});
}
}

void Form1::Command4_Click()
{
    try {
        const double seconds = leadingNumber(Text2->text());
        if (seconds + 1 < 3 || seconds > 60)
            Errors::raise(Errors::undescribed());
        // The caption comes before the strict conversion: a text such as
        // "5x" fails only there, and the next file shown puts it back.
        setWindowTitle(QStringLiteral("Pixalto - Autoskip is running"));
        Timer1->setInterval(autoskipIntervalMs(Text2->text()));
        Timer1->start();
        Command4->setEnabled(false);
        Command5->setEnabled(true);
    } catch (const PxError& error) {
        if (error.failure.description.isEmpty())
            refuseInterval(reporting());
        else
            reportError(reporting(), kAutoskipRun, error.failure);
    }
}

void Form1::Command5_Click()
{
    setWindowTitle(QStringLiteral("Pixalto"));
    Timer1->stop();
    Command5->setEnabled(false);
    Command4->setEnabled(true);
}

void Form1::Timer1_Timer()
{
    // A tick that comes while a slow file loads is skipped.
    if (loadingFile())
        return;
    const int next = File1->listIndex() + 1;
    if (next < File1->listCount()) {
        File1->setListIndex(next);
        return;
    }
    // An empty list has no first file to restart at; it stops like the end
    // of the list without restart.
    if (settingIsNumericOne(Keys::AutoSkip) && File1->listCount() > 0) {
        File1->setListIndex(0);
        return;
    }
    // Stopped without a file shown since Run, so no load has put the
    // caption back yet.
    setWindowTitle(QStringLiteral("Pixalto"));
    Command5->setEnabled(false);
    Command4->setEnabled(true);
    // Off before the box, so no tick arrives while it is open.
    Timer1->stop();
    desktop().dialogs->messageBox(
        {QStringLiteral("Unabled to continue, no more files in file list. You can make Pixalto to automatically "
                        "restart at the top of the file list, when it reaches the bottom, by checking the "
                        "checkbox in the File properties and settings window"),
         MsgButtons::OK, MsgIcon::Exclamation, 1, QStringLiteral("AutoSkip stopped")});
}
