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
    : driveList(find<DriveList>(form, "driveList")),
      directoryList(find<DirList>(form, "directoryList")),
      fileList(find<FileList>(form, "fileList")),
      fileCount(find<QLabel>(form, "fileCount")),
      currentNumber(find<QLabel>(form, "currentNumber")),
      zoomOptions(find<QGroupBox>(form, "zoomOptions")),
      quarterSize(find<QRadioButton>(form, "quarterSize")),
      halfSize(find<QRadioButton>(form, "halfSize")),
      originalSize(find<QRadioButton>(form, "originalSize")),
      doubleSize(find<QRadioButton>(form, "doubleSize")),
      autoskipInterval(find<QLineEdit>(form, "autoskipInterval")),
      runAutoskip(find<QPushButton>(form, "runAutoskip")),
      stopAutoskip(find<QPushButton>(form, "stopAutoskip")),
      copyToClipboard(find<QPushButton>(form, "copyToClipboard")),
      pasteFromClipboard(find<QPushButton>(form, "pasteFromClipboard")),
      fileCopy(find<QPushButton>(form, "fileCopy")),
      fileMove(find<QPushButton>(form, "fileMove")),
      pictureSize(find<QLabel>(form, "pictureSize")),
      picture(find<ImageView>(form, "picture")),
      statusBar(find<PanelStatusBar>(form, "statusBar")),
      moviePlayer(find<MoviePlayer>(form, "moviePlayer")),
      autoskipTimer(find<QTimer>(form, "autoskipTimer")),
      fileMenu(find<QMenu>(form, "fileMenu")),
      renameFile(find<QAction>(form, "renameFile")),
      deleteFile(find<QAction>(form, "deleteFile")),
      openWithDesktop(find<QAction>(form, "openWithDesktop")),
      separateWindow(find<QAction>(form, "separateWindow")),
      textEditor(find<QAction>(form, "textEditor")),
      searchPattern(find<QAction>(form, "searchPattern")),
      directoryMenu(find<QMenu>(form, "directoryMenu")),
      useAsCopyDirectory(find<QAction>(form, "useAsCopyDirectory")),
      defaultCopyDirectory(find<QAction>(form, "defaultCopyDirectory")),
      startupDirectory(find<QAction>(form, "startupDirectory")),
      infoList(find<QAction>(form, "infoList")),
      help(find<QAction>(form, "help"))
{
}
