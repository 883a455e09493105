#pragma once
#include "fileops/command_report.h"

#include <QPoint>
#include <QString>
#include <optional>

class DirList;
class Dialogs;
class Form1;

// The delete, rename and sub-directory commands, shared by the main window,
// the File Information window and the DIR browser. Each window passes the
// report its failures end in. Delete and rename are refused while a copy or
// move runs.

// The box texts of the three commands, the same in every window.
namespace FileCommandText {
inline const QString deleteFailed = QStringLiteral(
    "An error accured while trying to delete the seleted file, please make sure the path and file is not "
    "corrupted");
inline const QString renameFailed =
    QStringLiteral("Unable to rename the selected file, the file or path may be corrupted");
inline const QString subDirectoryFailed =
    QStringLiteral("Unable to create sub directory, please make sure that the current path is valid");
}

// Deletes the main window's current file after the delete question, then
// refreshes the list and selects the file that followed it.
void deleteCurrentFile(Form1& form, const CommandReport& report);
// Renames the main window's current file within its folder; the input box
// opens at `at` (twips on the screen) or where the desktop puts it.
void renameCurrentFile(Form1& form, const CommandReport& report, std::optional<QPoint> at);
// Creates a sub-directory in the open folder of list and refreshes the list;
// the name is asked with the report's dialogs.
void createSubDirectory(const Reporting& to, DirList& list, const CommandReport& report);
