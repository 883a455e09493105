#include "fileops/file_commands.h"

#include "controls/dir_list.h"
#include "controls/file_list.h"
#include "core/file_system.h"
#include "core/paths.h"
#include "core/program_info.h"
#include "desktop/desktop.h"
#include "fileops/name_rules.h"
#include "movie/movie_player.h"
#include "settings/keys.h"
#include "startup/form1.h"

namespace {
// Label1 outlives the selection (a folder change, a rename, a move), so the
// commands on the current file act only while the list still selects it:
// a Delete key in a list without selection must not reach a file elsewhere.
bool selectionIsCurrentFile(const Form1& form)
{
    const QString name = form.File1->fileName();
    return !name.isEmpty() && fullPath(form.File1->path(), name) == form.Label1;
}
}

void deleteCurrentFile(Form1& form, const CommandReport& report)
{
    if (!selectionIsCurrentFile(form) || form.fileJobRefused())
        return;
    runReported(report, [&form] {
        if (!confirmFileCommand(Keys::DelConfirmation, QStringLiteral("delete"), QStringLiteral("Delete file?"),
                                form.Label1))
            return;
        const int index = form.File1->listIndex();
        // Nothing may still be loading or playing the file that goes.
        form.dropPendingLoad();
        form.AM1->setFileName(QString());
        FileSystem::setAttributes(form.Label1, FileSystem::Archive);
        FileSystem::remove(form.Label1);
        form.File1->refresh();
        form.showFileCount();
        form.showCurrent();
        if (index < form.File1->listCount())
            form.File1->setListIndex(index);
    });
}

void renameCurrentFile(Form1& form, const CommandReport& report, std::optional<QPoint> at)
{
    if (!selectionIsCurrentFile(form) || form.fileJobRefused())
        return;
    runReported(report, [&form, at] {
        const QString folder = withTrailingSeparator(form.File1->path());
        const QString name = form.File1->fileName();
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
        const QString target = renameTarget(folder, answer, form.Label1);
        FileSystem::setAttributes(form.Label1, FileSystem::Archive);
        FileSystem::rename(form.Label1, target);
        form.File1->refresh();
    });
}

void createSubDirectory(DirList& list, const CommandReport& report)
{
    runReported(report, [&list] {
        if (list.path().isEmpty())
            Errors::raise(Errors::invalidPath());
        const QString folder = withTrailingSeparator(list.path());
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
        list.setPath(list.path());
    });
}
