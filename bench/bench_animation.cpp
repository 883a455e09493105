// The processor time an animated GIF costs while it plays in the main window:
// a 640 x 480 animation at 25 frames a second, shown at 1:1 for 10 s, against
// the same window showing a still picture for as long.
#include "bench_measures.h"
#include "app/main_window.h"
#include "controls/file_list.h"
#include "controls/image_view.h"
#include "desktop/qt/qt_desktop.h"
#include "settings/settings_store.h"
#include "support/form1_controls.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// The share of one core the window takes while it shows the file for 10 s.
double coreShare(MainWindow& form, int index)
{
    const Form1Controls ui(form);
    ui.File1->setListIndex(index);
    runEventsFor(1000);
    const double before = cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    runEventsFor(10000);
    return (cpuSeconds() - before) / (clock.elapsed() / 1000.0);
}

}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    QApplication app(argc, argv);
    QtDesktop desktop;
    const QString gif = dir.filePath(QStringLiteral("a-moving.gif"));
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), {"-loglevel", "error", "-f", "lavfi", "-i", "testsrc=size=640x480:rate=25",
                                            "-t", "4", gif});
    if (!ffmpeg.waitForFinished(120000) || ffmpeg.exitCode() != 0) {
        std::fprintf(stderr, "ffmpeg could not make the animation\n");
        return 1;
    }
    QImage still(640, 480, QImage::Format_RGB32);
    still.fill(Qt::darkCyan);
    still.save(dir.filePath(QStringLiteral("b-still.png")));

    writeSetting(QStringLiteral("AutoZoom"), QStringLiteral("0"));
    MainWindow form(desktop.parts());
    const Form1Controls ui(form);
    form.resize(1280, 1000);
    form.show();
    ui.File1->setPattern(QStringLiteral("*.*"));
    ui.File1->setPath(dir.path());
    PaintCounter counter;
    ui.Image1->installEventFilter(&counter);
    const double playing = coreShare(form, 0);
    const bool animated = ui.Image1->animating();
    const int paints = counter.paints;
    const double resting = coreShare(form, 1);
    std::printf("640 x 480 GIF at 25 frames a second (%s, %d paints in 11 s): %.1f %% of a core; "
                "a still picture: %.1f %%\n",
                animated ? "playing" : "NOT playing", paints, playing * 100, resting * 100);
    return 0;
}
