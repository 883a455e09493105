#include "startup/form1.h"

#include "controls/dir_list.h"
#include "controls/file_list.h"
#include "core/file_system.h"
#include "desktop/desktop.h"
#include "desktop/screen.h"
#include "fileops/file_commands.h"

namespace {
const CommandReport kDelete{{QStringLiteral("File delete ERROR "), QStringLiteral("Unknown File Delete ERROR"),
                             FileCommandText::deleteFailed}};
const CommandReport kRename{{QStringLiteral("File rename ERROR "), QStringLiteral("Unknown File Rename ERROR"),
                             FileCommandText::renameFailed}};
const CommandReport kRenameDirectory{
    {QString(), QStringLiteral("Directory rename ERROR"),
     QStringLiteral("Unabled to rename the selected directory") + CR + CR
         + QStringLiteral("Please check that the file is valid and the directory isn't write protected")},
    Beep::Sound, CommandReport::Record::Fixed};
const CommandReport kSubDirectory{{QStringLiteral("SubDIR Creation ERROR "),
                                   QStringLiteral("Unknown SubDIR Creation ERROR"),
                                   FileCommandText::subDirectoryFailed},
                                  Beep::Silent};
}

void Form1::mnudelete_Click() { deleteCurrentFile(*this, kDelete); }

void Form1::mnurename_Click()
{
    // The list's place in the window, taken as a place on the screen.
    const Screen& screen = *desktop().screen;
    const QPoint at(qRound(screen.pixelsToTwipsX(File1->x())), qRound(screen.pixelsToTwipsY(File1->y())));
    renameCurrentFile(*this, kRename, at);
}

void Form1::mnurenamedir_Click()
{
    // The folder may hold the file being copied or its copy.
    if (fileJobRefused())
        return;
    runReported(reporting(), kRenameDirectory, [this] {
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

void Form1::mnusub_Click() { createSubDirectory(reporting(), *Dir1, kSubDirectory); }
