#include "startup/form1.h"

#include "controls/auto_size_label.h"
#include "controls/dir_list.h"
#include "controls/file_list.h"
#include "core/file_system.h"
#include "core/paths.h"
#include "core/program_info.h"
#include "desktop/desktop.h"
#include "desktop/screen.h"
#include "fileops/command_report.h"
#include "fileops/name_rules.h"
#include "movie/movie_player.h"
#include "settings/keys.h"
#include "settings/settings_store.h"

namespace {
const CommandReport kDelete{
    {QStringLiteral("File delete ERROR "), QStringLiteral("Unknown File Delete ERROR"),
     QStringLiteral("An error accured while trying to delete the seleted file, please make sure the path "
                    "and file is not corrupted")}};
const CommandReport kRename{
    {QStringLiteral("File rename ERROR "), QStringLiteral("Unknown File Rename ERROR"),
     QStringLiteral("Unable to rename the selected file, the file or path may be corrupted")}};
const CommandReport kRenameDirectory{
    {QString(), QStringLiteral("Directory rename ERROR"),
     QStringLiteral("Unabled to rename the selected directory") + CR + CR
         + QStringLiteral("Please check that the file is valid and the directory isn't write protected")},
    Beep::Sound, CommandReport::Record::Fixed};
const CommandReport kSubDirectory{
    {QStringLiteral("SubDIR Creation ERROR "), QStringLiteral("Unknown SubDIR Creation ERROR"),
     QStringLiteral("Unable to create sub directory, please make sure that the current path is valid")},
    Beep::Silent};

// Label1 outlives the selection (a folder change, a rename, a move), so the
// commands on the current file act only while the list still selects it:
// a Delete key in a list without selection must not reach a file elsewhere.
bool selectionIsCurrentFile(const Form1& form)
{
    const QString name = form.File1->fileName();
    return !name.isEmpty() && fullPath(form.File1->path(), name) == form.Label1;
}

// The folder of the directory commands, ending in "/".
QString openFolder(const Form1& form)
{
    if (form.Dir1->path().isEmpty())
        Errors::raise(Errors::invalidPath());
    return withTrailingSeparator(form.Dir1->path());
}
}

void Form1::mnudelete_Click()
{
    if (!selectionIsCurrentFile(*this))
        return;
    runReported(kDelete, [this] {
        if (!confirmFileCommand(Keys::DelConfirmation, QStringLiteral("delete"), QStringLiteral("Delete file?"), Label1))
            return;
        const int index = File1->listIndex();
        AM1->setFileName(QString());
        FileSystem::setAttributes(Label1, FileSystem::Archive);
        FileSystem::remove(Label1);
        File1->refresh();
        showFileCount();
        showCurrent();
        if (index < File1->listCount())
            File1->setListIndex(index);
    });
}

void Form1::mnurename_Click()
{
    if (!selectionIsCurrentFile(*this))
        return;
    runReported(kRename, [this] {
        const QString folder = withTrailingSeparator(File1->path());
        const QString name = File1->fileName();
        // The list's place in the window, taken as a place on the screen.
        const QPoint at(qRound(pixelsToTwipsX(File1->x())), qRound(pixelsToTwipsY(File1->y())));
        const QString answer =
            desktop()
                .dialogs
                ->inputBox({QStringLiteral("Rename: ") + name + CR + CR + QStringLiteral("Enter new name"),
                            QStringLiteral("Rename file"), name, at, ProgramInfo::helpFile(), 9})
                .trimmed();
        if (answer.isEmpty())
            return;
        // A name, not a path: the file stays in its folder.
        if (!isPlainName(answer))
            Errors::raise(Errors::badFileName());
        const QString target = renameTarget(folder, answer, Label1);
        FileSystem::setAttributes(Label1, FileSystem::Archive);
        FileSystem::rename(Label1, target);
        File1->refresh();
    });
}

void Form1::mnurenamedir_Click()
{
    runReported(kRenameDirectory, [this] {
        const QString path = Dir1->path();
        const QString answer =
            desktop()
                .dialogs
                ->inputBox({QStringLiteral("Rename: ") + path + CR + CR
                                + QStringLiteral("Enter name directory name (full path)"),
                            QStringLiteral("Rename directory"), path, std::nullopt, QString(), 0})
                .trimmed();
        if (answer.isEmpty())
            return;
        // A relative answer would move the folder to wherever the program runs.
        if (path.isEmpty() || !answer.startsWith(QLatin1Char('/')))
            Errors::raise(Errors::invalidPath());
        FileSystem::rename(path, answer);
    });
}

void Form1::mnusub_Click()
{
    runReported(kSubDirectory, [this] {
        const QString folder = openFolder(*this);
        const QString answer =
            desktop()
                .dialogs
                ->inputBox({QStringLiteral("You are currently in: ") + folder + CR + CR
                                + QStringLiteral("Enter new sub directory name"),
                            QStringLiteral("Create sub directory"), QString(), std::nullopt,
                            ProgramInfo::helpFile(), 19})
                .trimmed();
        if (answer.isEmpty())
            return;
        if (!isPlainName(answer))
            Errors::raise(Errors::badFileName());
        FileSystem::makeDirectory(folder + answer);
        Dir1->setPath(Dir1->path());
    });
}
