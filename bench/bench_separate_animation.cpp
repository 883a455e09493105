// Processor use of a separate animation window playing a clip with the main
// window's player paused, beside the main window's player playing the same
// clip alone. Run it on a real display or under Xvfb (the offscreen platform
// plays without video output, which measures nothing).
// Usage: bench_separate_animation clip [seconds]
#include "bench_measures.h"
#include "app/main_window.h"
#include "controls/dir_list.h"
#include "controls/file_list.h"
#include "desktop/qt/qt_desktop.h"
#include "media/form4.h"
#include "movie/movie_player.h"
#include "settings/settings_store.h"
#include "support/form1_controls.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QWindow>

#include <cstdio>

namespace {

// Processor time of the whole process (every thread) per second of wall
// time, in percent of one core, and the frames the player painted per
// second, while the event loop runs.
void measure(QWidget* player, int seconds, const char* what)
{
    PaintCounter counter;
    runEventsFor(1000);
    player->installEventFilter(&counter);
    const double before = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    runEventsFor(seconds * 1000);
    const double elapsed = wall.elapsed() / 1000.0;
    std::printf("%-40s %5.1f %% of a core, %4.1f frames painted/s over %d s\n", what,
                100.0 * (cpuSeconds() - before) / elapsed, counter.paints / elapsed, seconds);
    player->removeEventFilter(&counter);
}
}

int main(int argc, char** argv)
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s clip [seconds]\n", argv[0]);
        return 2;
    }
    const QFileInfo clip(QString::fromLocal8Bit(argv[1]));
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 10;
    QtDesktop desktop;
    writeSetting(QStringLiteral("OnTop"), QStringLiteral("0"));

    MainWindow main(desktop.parts());
    const Form1Controls ui(main);
    main.showMaximized();
    while (!main.windowHandle() || !main.windowHandle()->isExposed())
        app.processEvents(QEventLoop::WaitForMoreEvents, 50);
    main.setFileKind(false, clip.fileName());
    ui.Dir1->setPath(clip.absolutePath());
    ui.File1->setListIndex(0);
    while (main.loadingFile())
        runEventsFor(20);
    if (ui.AM1->fileName().isEmpty() || ui.AM1->videoSize().isEmpty()) {
        std::fprintf(stderr, "the main window's player could not open %s\n", argv[1]);
        return 1;
    }
    const QSize video = ui.AM1->videoSize();
    std::printf("clip %s, %d x %d, platform %s\n", qPrintable(clip.fileName()), video.width(),
                video.height(), qPrintable(QGuiApplication::platformName()));
    measure(ui.AM1, seconds, "main window's player playing:");

    ui.AM1->pause();
    main.newwindow_Click();
    Form4* separate = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* form = qobject_cast<Form4*>(w))
            separate = form;
    if (!separate)
        return 1;
    // The separate window comes up once its player has the movie.
    while (!separate->isVisible())
        runEventsFor(20);
    measure(separate->AM1, seconds, "separate window playing, main paused:");
    main.close();
    return 0;
}
