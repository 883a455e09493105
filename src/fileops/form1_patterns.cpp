#include "startup/form1.h"

#include "controls/auto_size_label.h"
#include "controls/file_list.h"
#include "controls/status_bar.h"
#include "desktop/desktop.h"
#include "desktop/screen.h"
#include "report/error_report.h"

#include <QLabel>

namespace {
const ErrorTexts kPatternRefused{
    QString(), QStringLiteral("File search pattern ERROR"),
    QStringLiteral("Entered pattern is not acceptable enter like this: ") + CR + CR
        + QStringLiteral("'*.jpg' or '*.jpg;*.bmp;*.gif'")};
}

void Form1::mnupattern_Click()
{
    InputBoxRequest request{QStringLiteral("Enter desired pattern") + CR + CR
                                + QStringLiteral("Example: '*.jpg' or '*.jpg;*.bmp;*.gif'"),
                            QStringLiteral("Manual pattern change"), QString(), std::nullopt, {}, 0};
    // The list's own corner, read as a place on the screen.
    const Screen& screen = *desktop().screen;
    request.positionTwips = QPoint(int(screen.pixelsToTwipsX(File1->x())), int(screen.pixelsToTwipsY(File1->y())));
    const QString answer = desktop().dialogs->inputBox(request);
    if (answer.isEmpty())
        return;
    try {
        setManualPattern(answer);
    } catch (const PxError&) {
        // The refusal has a fixed title of its own, whatever the list's reason.
        reportError(reporting(), kPatternRefused, Failure{});
    }
}

void Form1::setManualPattern(const QString& pattern)
{
    File1->setPattern(pattern);
    StatusBar1->setText(1, File1->pattern());
    showFileCount();
    showCurrent();
}
