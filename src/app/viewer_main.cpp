// The viewer, loaded by the launcher once the command line asks it to run.
#include "app/main_window.h"
#include "app/start_argument.h"
#include "browser/open_start_path.h"
#include "desktop/qt/qt_desktop.h"
#include "desktop/screen.h"
#include "launcher/viewer_entry.h"
#include "picture/picture_loader.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QTimer>
#include <clocale>

namespace {
QIcon programIcon()
{
    QIcon icon;
    for (const QString& file : QDir(QStringLiteral(":/icons")).entryList())
        icon.addFile(QStringLiteral(":/icons/") + file);
    return icon;
}
}

extern "C" __attribute__((visibility("default"))) int pixaltoViewerMain(int argc, char** argv, const char* startPath)
{
    static_assert(std::is_same_v<decltype(&pixaltoViewerMain), ViewerEntry>);
    QApplication app(argc, argv);
    allowLargePictures();
    // The movie player refuses any other numeric locale.
    std::setlocale(LC_NUMERIC, "C");
    // The dialogs that lay themselves out follow a theme's font once it
    // sets one; until then they look like the windows.
    QApplication::setFont(designFont());
    // The window class and the Wayland application id are the desktop
    // entry's name, so that the desktop finds the entry and its icon.
    QApplication::setApplicationName(QStringLiteral(PIXALTO_APP_ID));
    QApplication::setDesktopFileName(QStringLiteral(PIXALTO_APP_ID));
    QApplication::setWindowIcon(programIcon());
    QtDesktop desktop;
    MainWindow form;
    if (!form.Form_Load())
        return 0;
    form.showMaximized();
    // Opened once the window is up, as if the person had clicked the file.
    const QString path = startArgumentPath(startPath);
    if (!path.isEmpty())
        QTimer::singleShot(0, &form, [&form, path] { openStartPath(form, path); });
    return app.exec();
}
