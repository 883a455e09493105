#include "support/form1_controls.h"

#include "controls/dir_list.h"
#include "controls/drive_list.h"
#include "controls/file_list.h"
#include "controls/image_view.h"
#include "controls/status_bar.h"
#include "movie/movie_player.h"
#include "startup/form1.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {
// A control renamed or gone ends the run at once, by its name.
template <typename T>
T* find(const Form1& form, const char* name)
{
    T* found = form.findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("The main window has no %s named %s", T::staticMetaObject.className(), name);
    return found;
}
}

Form1Controls::Form1Controls(const Form1& form)
    : Drive1(find<DriveList>(form, "Drive1")),
      Dir1(find<DirList>(form, "Dir1")),
      File1(find<FileList>(form, "File1")),
      Label6(find<QLabel>(form, "Label6")),
      Label7(find<QLabel>(form, "Label7")),
      Frame1(find<QGroupBox>(form, "Frame1")),
      Option1(find<QRadioButton>(form, "Option1")),
      Option2(find<QRadioButton>(form, "Option2")),
      Option3(find<QRadioButton>(form, "Option3")),
      Option4(find<QRadioButton>(form, "Option4")),
      Text2(find<QLineEdit>(form, "Text2")),
      Command4(find<QPushButton>(form, "Command4")),
      Command5(find<QPushButton>(form, "Command5")),
      Command6(find<QPushButton>(form, "Command6")),
      Command3(find<QPushButton>(form, "Command3")),
      Command2(find<QPushButton>(form, "Command2")),
      Command7(find<QPushButton>(form, "Command7")),
      Label5(find<QLabel>(form, "Label5")),
      Image1(find<ImageView>(form, "Image1")),
      StatusBar1(find<PanelStatusBar>(form, "StatusBar1")),
      AM1(find<MoviePlayer>(form, "AM1")),
      Timer1(find<QTimer>(form, "Timer1")),
      mnufile(find<QMenu>(form, "mnufile")),
      mnurename(find<QAction>(form, "mnurename")),
      mnudelete(find<QAction>(form, "mnudelete")),
      oleeditopen(find<QAction>(form, "oleeditopen")),
      newwindow(find<QAction>(form, "newwindow")),
      textfile(find<QAction>(form, "textfile")),
      mnupattern(find<QAction>(form, "mnupattern")),
      mnuset(find<QMenu>(form, "mnuset")),
      mnusession(find<QAction>(form, "mnusession")),
      mnudefault(find<QAction>(form, "mnudefault")),
      mnustartup(find<QAction>(form, "mnustartup")),
      mnuinfolist(find<QAction>(form, "mnuinfolist")),
      mnuhelp(find<QAction>(form, "mnuhelp"))
{
}
