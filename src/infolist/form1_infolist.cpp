#include "startup/form1.h"

#include "controls/dir_list.h"
#include "controls/file_list.h"
#include "controls/image_view.h"
#include "controls/status_bar.h"
#include "core/file_system.h"
#include "core/paths.h"
#include "desktop/desktop.h"
#include "editor/form6.h"
#include "infolist/form9.h"
#include "infolist/info_estimate.h"
#include "infolist/info_failure.h"
#include "infolist/info_report.h"
#include "picture/picture_loader.h"
#include "startup/secondary_windows.h"

#include <QProgressBar>
#include <QSignalBlocker>
#include <QTimer>

#include <memory>

namespace {

// The size the picture is shown at, from its header, even one too large to
// decode. Only a file whose header does not tell is loaded, which also says
// why a file is no picture; the decoded picture is dropped at once.
QSize pictureSize(const QString& path)
{
    const PictureProbe probe = probePicture(path);
    return probe.size.isValid() ? probe.size : loadPicture(path).size();
}

bool offersPictureSizes(const QString& kindPanel, const QString& kindCode)
{
    return (kindPanel == QLatin1String(" Pictures ") || kindPanel == QLatin1String(" Animations "))
        && kindCode == QLatin1String("pic");
}

}

void Form1::mnuinfolist_Click()
{
    // The progress window lets the window system paint; the Autoskip timer
    // must not show another file meanwhile.
    const QSignalBlocker autoskipHeld(Timer1);
    std::unique_ptr<Form9> progress;
    qint64 totalBytes = 0;
    // The entry lines reach the editor in one piece once the loop is done:
    // nothing shows its text before, and one insertion is laid out once.
    // A failure appends those of the files before it.
    Form6* editor = nullptr;
    QString pending;
    try {
        Dir1->setFocus();
        setEnabled(false);
        minimizeSecondaryWindows(true);
        File2->setPathAndPattern(File1->path(), File1->pattern());

        progress = std::make_unique<Form9>();
        progress->Bar1->setValue(0);
        progress->setBar1Max(File2->listCount());
        const int count = File2->listCount();
        File2->setListIndex(-1);

        const QString withSizesText = estimateWithSizes(count);
        const QString plainText = estimateWithoutSizes(count);
        bool withSizes = false;
        if (offersPictureSizes(StatusBar1->text(1), Label2)) {
            const MsgResult answer = desktop().dialogs->messageBox(
                {QStringLiteral("Do you wish to include picture size's in the information") + CR + CR
                     + QStringLiteral("This will take approx. ") + withSizesText + CR
                     + QStringLiteral(" Else it will take approx. ") + plainText,
                 MsgButtons::YesNo, MsgIcon::Question, 2, QStringLiteral("Include picture size?")});
            withSizes = answer == MsgResult::Yes;
        }

        progress->showNow();
        progress->setWindowTitle(QStringLiteral("Please wait, Retrieving information (This will take approx. ")
                                 + (withSizes ? withSizesText : plainText) + QLatin1Char(')'));
        editor = Form6::instance();
        editor->appendText(infoHeader(File2->path(), File2->pattern()));
        const FileSystem::OpenFolder folder(File2->path());
        for (int i = 0; i < count; ++i) {
            File2->setListIndex(File2->listIndex() + 1);
            infofile = fullPath(File2->path(), File2->fileName());
            InfoEntry entry{File2->fileName(), 0, {}, {}};
            if (withSizes)
                entry.pixels = pictureSize(infofile);
            const FileSystem::FileFacts facts = folder.facts(entry.name);
            entry.length = facts.length;
            totalBytes += entry.length;
            entry.changed = facts.changed;
            pending += infoLine(entry, withSizes);
            progress->stepBar1();
        }
        editor->appendText(pending);
    } catch (const PxError& error) {
        if (editor)
            ignoreFailure([&] { editor->appendText(pending); });
        reportInfoListFailure(error.failure, File2->listCount());
        progress.reset();
        minimizeSecondaryWindows(false);
        Image1->setVisible(true);
        setEnabled(true);
        return;
    }

    // From here on a failing step is skipped and the next one runs.
    minimizeSecondaryWindows(false);
    progress.reset();
    ignoreFailure([&] {
        editor->Label1.clear();
        editor->Label2 = QStringLiteral("1");
        editor->Label3 = QStringLiteral("rtf");
        editor->setPanel(1, QStringLiteral("New"));
        editor->setPanel(2, QStringLiteral("Ready"));
        editor->setPanel(3, QStringLiteral("Changed"));
        editor->setPanel(4, QStringLiteral("RTF"));
    });
    ignoreFailure([&] { editor->placeForOpening(); });
    ignoreFailure([&] { editor->applyOnTop(); });
    ignoreFailure([&] { editor->appendText(infoTotals(File2->listCount(), totalBytes)); });
    ignoreFailure([&] { editor->showAndFocus(); });
    Image1->setVisible(true);
    setEnabled(true);
}
