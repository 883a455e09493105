#include "startup/form1.h"

#include "controls/dir_list.h"
#include "controls/file_list.h"
#include "core/file_system.h"
#include "core/paths.h"
#include "desktop/desktop.h"
#include "editor/form6.h"
#include "infolist/form9.h"
#include "infolist/info_estimate.h"
#include "infolist/info_failure.h"
#include "infolist/info_report.h"
#include "infolist/main_info_run.h"
#include "jobs/job_pool.h"
#include "picture/picture_loader.h"
#include "startup/secondary_windows.h"

#include <QPointer>
#include <QProgressBar>
#include <QTimer>

#include <memory>
#include <optional>

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

namespace {

// The folder's files as File1 shows them, read afresh, or why they could
// not be.
struct Listing {
    QString folder;
    QString pattern;
    QStringList names;
    std::optional<Failure> failure;
};

// What the run over the files gives: their entry lines and total length, or
// the failure that ended it with the lines of the files before.
struct InfoRun {
    QString lines;
    qint64 totalBytes = 0;
    std::optional<Failure> failure;
};

// Each file's length and change time come from one look at it, at the
// moment the loop reaches it.
InfoRun examine(const QString& path, const QStringList& names, bool withSizes, JobControl& job)
{
    InfoRun run;
    try {
        const FileSystem::OpenFolder folder(path);
        for (int i = 0; i < names.size() && !job.cancelled(); ++i) {
            InfoEntry entry{names[i], 0, {}, {}};
            if (withSizes)
                entry.pixels = pictureSize(fullPath(path, entry.name));
            const FileSystem::FileFacts facts = folder.facts(entry.name);
            entry.length = facts.length;
            run.totalBytes += entry.length;
            entry.changed = facts.changed;
            run.lines += infoLine(entry, withSizes);
            job.progress(i + 1, names.size());
        }
    } catch (const PxError& error) {
        run.failure = error.failure;
    }
    return run;
}

// The end of a failed run: the windows as they were, the editor unshown.
void endFailedRun(Form1& form, const Failure& failure, std::unique_ptr<Form9>& progress)
{
    const MainInfoRun main = form.infoRun();
    reportInfoListFailure(form.reporting(), failure, main.workingList().listCount());
    progress.reset();
    form.secondaryWindows().minimize(false);
    main.resume();
}

// The run's end, once the entry lines are in the editor.
void finishRun(Form1& form, Form6* editor, const InfoRun& run, std::unique_ptr<Form9> progress)
{
    if (run.failure) {
        endFailedRun(form, *run.failure, progress);
        return;
    }
    // From here on a failing step is skipped and the next one runs.
    form.secondaryWindows().minimize(false);
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
    const MainInfoRun main = form.infoRun();
    ignoreFailure([&] { editor->appendText(infoTotals(main.workingList().listCount(), run.totalBytes)); });
    ignoreFailure([&] { editor->showAndFocus(); });
    main.resume();
}

void endRun(Form1& form, Form6* editor, const InfoRun& run, std::unique_ptr<Form9> progress)
{
    // The entry lines reach the editor before it is shown, in pieces that
    // keep the window answering; a failure appends those of the files
    // before it.
    Form9* bar = progress.release();
    editor->appendLongText(run.lines, &form, [&form, editor = QPointer<Form6>(editor), run, bar] {
        finishRun(form, editor ? editor.data() : Form6::instance(form.secondaryWindows()), run,
                  std::unique_ptr<Form9>(bar));
    });
}

// The second half of a run, once the folder is listed: the question, the
// progress window and the look at each file, whose job it returns (none
// when the run ended).
JobHandle examineListing(Form1& form, const Listing& listing)
{
    std::unique_ptr<Form9> progress;
    try {
        if (listing.failure)
            Errors::raise(*listing.failure);
        const MainInfoRun main = form.infoRun();
        FileList& list = main.workingList();
        list.showListing(listing.folder, listing.pattern, listing.names);

        progress = std::make_unique<Form9>(&form, *form.desktop().screen);
        progress->Bar1->setValue(0);
        progress->setBar1Max(list.listCount());
        const int count = list.listCount();

        const QString withSizesText = estimateWithSizes(count);
        const QString plainText = estimateWithoutSizes(count);
        bool withSizes = false;
        if (offersPictureSizes(main.fileTypePanel(), form.fileKind())) {
            const MsgResult answer = form.desktop().dialogs->messageBox(
                {QStringLiteral("Do you wish to include picture size's in the information") + CR + CR
                     + QStringLiteral("This will take approx. ") + withSizesText + CR
                     + QStringLiteral(" Else it will take approx. ") + plainText,
                 MsgButtons::YesNo, MsgIcon::Question, 2, QStringLiteral("Include picture size?")});
            withSizes = answer == MsgResult::Yes;
        }

        progress->show();
        progress->setWindowTitle(QStringLiteral("Please wait, Retrieving information (This will take approx. ")
                                 + (withSizes ? withSizesText : plainText) + QLatin1Char(')'));
        Form6* editor = Form6::instance(form.secondaryWindows());
        editor->appendText(infoHeader(list.path(), list.pattern()));
        Form9* bar = progress.release();
        return form.jobPool().start(
            &form,
            [folder = listing.folder, names = listing.names, withSizes](JobControl& job) {
                return examine(folder, names, withSizes, job);
            },
            [&form, editor = QPointer<Form6>(editor), bar](const InfoRun& run) {
                endRun(form, editor ? editor.data() : Form6::instance(form.secondaryWindows()), run,
                       std::unique_ptr<Form9>(bar));
            },
            [bar](qint64 done, qint64) { bar->showDone(int(done)); });
    } catch (const PxError& error) {
        endFailedRun(form, error.failure, progress);
    }
    return {};
}

}

void Form1::mnuinfolist_Click()
{
    // The run goes on while the window system paints; the Autoskip timer
    // must not show another file meanwhile.
    Timer1->blockSignals(true);
    Dir1->setFocus();
    setEnabled(false);
    secondary.minimize(true);
    // A large folder takes longer than a frame to list.
    infoJob = jobs->start(
        this,
        [folder = File1->path(), pattern = File1->pattern()](JobControl&) {
            Listing listing{folder, pattern, {}, {}};
            try {
                listing.names = FileSystem::listMatching(folder, pattern);
            } catch (const PxError& error) {
                listing.failure = error.failure;
            }
            return listing;
        },
        [this](const Listing& listing) { infoJob = examineListing(*this, listing); });
}
