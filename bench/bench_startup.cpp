// Times start-up to the main window shown, for a known user with the splash
// off, on whatever display QT_QPA_PLATFORM / DISPLAY name (run it under Xvfb
// for a real window system). Settings live in a temporary folder.
#include "app/main_window.h"
#include "desktop/qt/qt_desktop.h"
#include "settings/settings_store.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QWindow>
#include <cstdio>

int main(int argc, char** argv)
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    const double appReady = sinceStart.nsecsElapsed() / 1e6;
    writeSetting(QStringLiteral("User"), QStringLiteral("bench"));
    writeSetting(QStringLiteral("UserReq"), QStringLiteral("0"));
    writeSetting(QStringLiteral("SpcSetting"), QStringLiteral("nosplash"));
    writeSetting(QStringLiteral("startupdir"), QStringLiteral(PIXALTO_SAMPLES_DIR "/"));
    QtDesktop desktop;
    QElapsedTimer load;
    load.start();
    MainWindow form(desktop.parts());
    const double built = load.nsecsElapsed() / 1e6;
    if (!form.Form_Load())
        return 1;
    const double loaded = load.nsecsElapsed() / 1e6;
    form.showMaximized();
    while (!form.windowHandle() || !form.windowHandle()->isExposed())
        app.processEvents(QEventLoop::WaitForMoreEvents, 50);
    app.processEvents();
    std::printf("QApplication ready:            %7.1f ms after main()\n", appReady);
    std::printf("Form1 built:                   %7.1f ms\n", built);
    std::printf("Form_Load done:                %7.1f ms\n", loaded);
    std::printf("Form1 built, loaded and shown: %7.1f ms\n", load.nsecsElapsed() / 1e6);
    std::printf("main() to main window shown:   %7.1f ms (platform %s)\n", sinceStart.nsecsElapsed() / 1e6,
                qPrintable(QGuiApplication::platformName()));
    return 0;
}
