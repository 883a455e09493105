#include "fileops/file_commands.h"

#include "controls/dir_list.h"
#include "controls/file_list.h"
#include "core/file_system.h"
#include "core/paths.h"
#include "core/program_info.h"
#include "desktop/desktop.h"
#include "fileops/main_files.h"
#include "fileops/name_rules.h"
#include "settings/keys.h"
#include "startup/form1.h"

namespace {
// The shown path outlives the selection (a folder change, a rename, a
// move), so the commands on the current file act only while the list still
// selects it: a Delete key in a list without selection must not reach a
// file elsewhere.
bool selectionIsCurrentFile(Form1& form)
{
    const QString name = form.selectedName();
    return !name.isEmpty() && fullPath(form.files().listFolder(), name) == form.shownPath();
}
}

void deleteCurrentFile(Form1& form, const CommandReport& report)
{
    if (!selectionIsCurrentFile(form) || form.fileJobRefused())
        return;
    runReported(form.reporting(), report, [&form] {
        if (!confirmFileCommand(*form.desktop().dialogs, Keys::DelConfirmation, QStringLiteral("delete"),
                                QStringLiteral("Delete file?"), form.shownPath()))
            return;
        const MainFiles main = form.files();
        FileList& list = main.fileList();
        const int index = list.listIndex();
        main.releaseShownFile();
        FileSystem::setAttributes(form.shownPath(), FileSystem::Archive);
        FileSystem::remove(form.shownPath());
        list.refresh();
        form.showFileCount();
        form.showCurrent();
        if (index < list.listCount())
            list.setListIndex(index);
    });
}

void renameCurrentFile(Form1& form, const CommandReport& report, std::optional<QPoint> at)
{
    if (!selectionIsCurrentFile(form) || form.fileJobRefused())
        return;
    runReported(form.reporting(), report, [&form, at] {
        const QString folder = withTrailingSeparator(form.files().listFolder());
        const QString name = form.selectedName();
        const QString answer =
            form.desktop()
                .dialogs
                ->inputBox({QStringLiteral("Rename: ") + name + CR + CR + QStringLiteral("Enter new name"),
                            QStringLiteral("Rename file"), name, at, ProgramInfo::helpFile(), 9})
                .trimmed();
        if (answer.isEmpty())
            return;
        // A name, not a path: the file stays in its folder.
        if (!isPlainName(answer))
            Errors::raise(Errors::badFileName());
        const QString file = form.shownPath();
        const QString target = renameTarget(folder, answer, file);
        FileSystem::setAttributes(file, FileSystem::Archive);
        FileSystem::rename(file, target);
        form.files().fileList().refresh();
    });
}

void createSubDirectory(const Reporting& to, DirList& list, const CommandReport& report)
{
    runReported(to, report, [&dialogs = to.dialogs, &list] {
        if (list.path().isEmpty())
            Errors::raise(Errors::invalidPath());
        const QString folder = withTrailingSeparator(list.path());
        const QString answer =
            dialogs
                .inputBox({QStringLiteral("You are currently in: ") + folder + CR + CR
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
