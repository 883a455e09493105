// The viewer, loaded by the launcher once the command line asks it to run.
#include "app/main_window.h"
#include "app/start_argument.h"
#include "browser/open_start_path.h"
#include "desktop/qt/qt_desktop.h"
#include "desktop/screen.h"
#include "jobs/job_pool.h"
#include "launcher/viewer_entry.h"
#include "picture/picture_loader.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <clocale>

namespace {
// The title bar's icon, decoded on a worker: the first picture Qt reads makes
// it load every picture format it has, which would hold up the window's start.
void setProgramIconSoon(MainWindow& form)
{
    form.jobPool().start(
        &form,
        [](const JobControl&) {
            QList<QImage> sizes;
            for (const QString& file : QDir(QStringLiteral(":/icons")).entryList())
                sizes.append(QImage(QStringLiteral(":/icons/") + file));
            return sizes;
        },
        [](const QList<QImage>& sizes) {
            QIcon icon;
            for (const QImage& size : sizes)
                icon.addPixmap(QPixmap::fromImage(size));
            QApplication::setWindowIcon(icon);
        });
}
}

extern "C" __attribute__((visibility("default"))) int pixaltoViewerMain(int argc, char** argv, const char* startPath)
{
    static_assert(std::is_same_v<decltype(&pixaltoViewerMain), ViewerEntry>);
    QApplication app(argc, argv);
    preparePictureReading();
    // The movie player refuses any other numeric locale.
    std::setlocale(LC_NUMERIC, "C");
    // The dialogs that lay themselves out follow a theme's font once it
    // sets one; until then they look like the windows.
    QApplication::setFont(designFont());
    // The window class and the Wayland application id are the desktop
    // entry's name, so that the desktop finds the entry and its icon.
    QApplication::setApplicationName(QStringLiteral(PIXALTO_APP_ID));
    QApplication::setDesktopFileName(QStringLiteral(PIXALTO_APP_ID));
    QtDesktop desktop;
    MainWindow form(desktop.parts());
    setProgramIconSoon(form);
    // Opened once the window is up, as if the person had clicked the file;
    // a picture is decoding meanwhile.
    const QString path = startArgumentPath(startPath);
    if (QFileInfo(path).isFile())
        form.preloadStartPicture(QFileInfo(path).absoluteFilePath());
    if (!form.Form_Load())
        return 0;
    form.showMaximized();
    if (!path.isEmpty())
        openStartPathOnceShown(form, path);
    return app.exec();
}
