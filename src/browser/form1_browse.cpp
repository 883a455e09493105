#include "startup/form1.h"

#include "controls/auto_size_label.h"
#include "controls/dir_list.h"
#include "controls/drive_list.h"
#include "controls/file_list.h"
#include "editor/editor_state.h"

#include <QAction>
#include <QMenu>

void Form1::Drive1_Change() { openChosenDrive(*Drive1, *Dir1); }

void Form1::Dir1_Change()
{
    // The directory list can move onto another volume by itself; the drive
    // list shows the one it is on and remembers where each drive was left.
    Drive1->followDirectory(Dir1->path());
    ignoreFailure([this] { File1->setPath(Dir1->path()); });
    showFileCount();
    showCurrent();
}

void Form1::Dir1_MouseDown(Qt::MouseButton button)
{
    if (button == Qt::RightButton)
        popUp(mnuset);
}

void Form1::File1_MouseDown(Qt::MouseButton button)
{
    newwindow->setEnabled(File1->fileName().right(3).toLower() != QLatin1String("viv"));
    textfile->setEnabled(editorDocumentType(secondary).isEmpty());
    if (button == Qt::RightButton)
        popUp(mnufile);
}
