#include "startup/form1.h"

#include "controls/auto_size_label.h"
#include "controls/file_list.h"
#include "controls/image_view.h"
#include "controls/status_bar.h"
#include "core/file_system.h"
#include "core/paths.h"
#include "core/program_info.h"
#include "desktop/clipboard.h"
#include "desktop/desktop.h"
#include "fileops/command_report.h"
#include "fileops/file_job.h"
#include "fileops/name_rules.h"
#include "jobs/job_pool.h"
#include "picture/picture_writer.h"
#include "settings/keys.h"
#include "settings/settings_store.h"

#include <QPushButton>
#include <QRadioButton>
#include <cerrno>
#include <optional>

namespace {
const CommandReport kFileCopy{
    {QStringLiteral("File copy ERROR "), QStringLiteral("Unknown File Copy ERROR"),
     QStringLiteral("Unable to copy the selected file, the file/path may be corrupted") + CR
         + QStringLiteral("Please select another file or check the destination path")}};
const CommandReport kFileMove{
    {QStringLiteral("File move ERROR "), QStringLiteral("Unknown File Move ERROR"),
     QStringLiteral("Unable to move the selected file, the file/path may be corrupted") + CR
         + QStringLiteral("Please select another file or check the destination path")}};
const CommandReport kClipboardCopy{
    {QString(), QStringLiteral("Clipboard copy ERROR"),
     QStringLiteral("Unable to copy the picture to the clipboard. The clipboard may be 'defect'.")},
    Beep::Sound, CommandReport::Record::Fixed};
const CommandReport kPaste{
    {QString(), QStringLiteral("Image paste ERROR"),
     QStringLiteral("Unable to paste picture from the clipboard. The data may be corrupted")},
    Beep::Sound, CommandReport::Record::Fixed};

const QString kPictureFilter = QStringLiteral(
    "Picture files (*.jpg;*.jpeg;*.bmp;*.gif;*.wmf;*.emf;*.ico)|*.jpg;*.jpeg;*.bmp;*.gif;*.wmf;*.emf;*.ico"
    "|BMP Picture (*.bmp)|*.bmp");
const QString kAnimationFilter =
    QStringLiteral("Animation files (*.avi;*.mpg;*.mpeg;*.mov)|*.avi;*.mpg;*.mpeg;*.mov");

bool askOverwrite(Dialogs& dialogs)
{
    return dialogs.messageBox(
               {QStringLiteral("File allready exist") + CR + CR + QStringLiteral("Do you want overwrite the file?"),
                MsgButtons::YesNo, MsgIcon::Exclamation, 1, QStringLiteral("Overwrite file?")})
        == MsgResult::Yes;
}

// Where a copy goes and which file of the copy folder it replaces.
struct CopyPlan {
    QString source;
    QString folder;
    QString name;
    QString target;
    QString replaced;
};

// The steps of File Copy and File Move before any byte moves: the refusals
// and the overwrite question. Nothing when the user keeps the existing file.
std::optional<CopyPlan> planCopy(const Form1& form)
{
    const QString name = form.selectedName();
    const QString& source = form.shownPath();
    const QString& folder = form.copyFolder();
    if (name.isEmpty() || source.isEmpty())
        Errors::throwErrno(ENOENT);
    // A relative copy directory would put the copy wherever the program runs.
    if (!folder.startsWith(QLatin1Char('/')))
        Errors::raise(Errors::invalidPath());
    const QString target = fullPath(folder, name);
    if (FileSystem::sameFile(source, target))
        Errors::raise(Errors::sameFile());

    // Letter case does not count here, so Photo.JPG is the namesake of
    // photo.jpg; that file is the one the user agrees to replace.
    CopyPlan plan{source, folder, name, target, {}};
    const QString namesake = FileSystem::namesake(folder, name);
    if (!namesake.isEmpty()) {
        plan.replaced = fullPath(folder, namesake);
        if (FileSystem::sameFile(source, plan.replaced))
            Errors::raise(Errors::sameFile());
        if (!askOverwrite(*form.desktop().dialogs))
            return std::nullopt;
        FileSystem::setAttributes(plan.replaced, FileSystem::Archive);
    }
    return plan;
}

// The copy itself and its success test, on a worker.
void copyPlanned(const CopyPlan& plan, JobControl& job)
{
    // The old file goes only once the new copy has taken its place. A folder
    // that ignores letter case puts the copy in the namesake's place, under
    // the namesake's spelling: that "namesake" is the copy and stays.
    FileSystem::copy(plan.source, plan.target, chunkCopied(job));
    if (!plan.replaced.isEmpty() && plan.replaced != plan.target) {
        if (FileSystem::sameFile(plan.replaced, plan.target))
            FileSystem::respell(plan.replaced, plan.target);
        else
            FileSystem::remove(plan.replaced);
    }

    if (FileSystem::namesake(plan.folder, plan.name) != plan.name)
        Errors::raise(Failure{});
}

// Save As keeps the source's extension whatever extension was typed.
void copyUnderChosenName(const QString& source, const QString& chosen, JobControl& job)
{
    const std::optional<QString> target = saveAsTarget(chosen, source);
    if (!target)
        Errors::raise(Errors::badFileName());
    FileSystem::copy(source, *target, chunkCopied(job));
}
}

void Form1::Command2_Click()
{
    if (fileJobRefused())
        return;
    runReported(reporting(), kFileCopy, [this] {
        const std::optional<CopyPlan> plan = planCopy(*this);
        if (!plan)
            return;
        startFileJob(kFileCopy, [plan = *plan](JobControl& job) { copyPlanned(plan, job); },
                     [this, source = plan->source] {
                         // Another file selected meanwhile keeps its own button.
                         if (Label1 != source)
                             return;
                         Command2->setEnabled(false);
                         Command2->setText(QStringLiteral("File Copied"));
                     });
    });
}

void Form1::Command7_Click()
{
    if (fileJobRefused())
        return;
    runReported(reporting(), kFileMove, [this] {
        if (!confirmFileCommand(*desktop().dialogs, Keys::MoveConfirmation, QStringLiteral("move"),
                                QStringLiteral("Move file?"), Label1))
            return;
        const std::optional<CopyPlan> plan = planCopy(*this);
        if (!plan)
            return;
        const auto move = [plan = *plan](JobControl& job) {
            copyPlanned(plan, job);
            // The source goes only when the copy is known to be whole, and
            // stays when the window closed meanwhile.
            if (FileSystem::length(plan.target) != FileSystem::length(plan.source))
                Errors::throwErrno(EIO);
            if (FileSystem::sameFile(plan.source, plan.target))
                Errors::raise(Errors::sameFile());
            if (job.cancelled())
                Errors::throwErrno(ECANCELED);
            FileSystem::setAttributes(plan.source, FileSystem::Archive);
            FileSystem::remove(plan.source);
        };
        startFileJob(kFileMove, move, [this, source = plan->source] {
            File1->refresh();
            showFileCount();
            if (Label1 != source)
                return;
            Command7->setEnabled(false);
            Command7->setText(QStringLiteral("File Moved"));
        });
    });
}

void Form1::Command6_Click()
{
    // A picture shown smaller is decoded whole on a worker first.
    Image1->whenWhole([this] {
        runReported(reporting(), kClipboardCopy, [this] {
            Clipboard::clear();
            Clipboard::setImage(Image1->picture());
            Command6->setEnabled(false);
            Command6->setText(QStringLiteral("Copy done"));
        });
    });
}

void Form1::Command3_Click()
{
    runReported(reporting(), kPaste, [this] {
        Image1->setPicture(Clipboard::image());
        Image1->hide();
        Image1->setStretch(false);
        setZoomOption(Option3);
        StatusBar1->setText(4, QStringLiteral("1:1"));
        Image1->show();
    });
}

void Form1::saveas_Click()
{
    if (fileJobRefused())
        return;
    // Save As reports nothing: whatever fails, the cancel included, ends in
    // the list refresh once the file is written, on the pool.
    std::function<void(JobControl&)> write;
    ignoreFailure([&] {
        FileDialogRequest request;
        request.save = true;
        request.title = QStringLiteral("Save As");
        request.folder = File1->path();
        request.helpFile = ProgramInfo::helpFile();
        request.helpTopic = 10;
        if (showsPictures()) {
            request.filter = kPictureFilter;
            const FileDialogResult chosen = desktop().dialogs->fileDialog(request);
            if (chosen.filterIndex == 2)
                write = [picture = Picture1, path = chosen.path](JobControl&) { writeBmp(picture, path); };
            else
                write = [source = Label1, path = chosen.path](JobControl& job) {
                    copyUnderChosenName(source, path, job);
                };
        } else {
            request.defaultExt = QStringLiteral(".avi");
            request.filter = kAnimationFilter;
            write = [source = Label1, path = desktop().dialogs->fileDialog(request).path](JobControl& job) {
                copyUnderChosenName(source, path, job);
            };
        }
    });
    const auto refresh = [this] {
        ignoreFailure([this] { File1->refresh(); });
        showFileCount();
        showCurrent();
    };
    if (write)
        startFileJob(std::nullopt, std::move(write), refresh);
    else
        refresh();
}
