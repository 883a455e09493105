// The GUI thread's longest stall while the main window works: a timer every
// 5 ms notes how late each tick comes, from the user's action until its
// result is on screen. Scenarios:
//   load24, load100  a 24 MP / 100 MP JPEG selected, auto zoom on, until shown
//   step             Down held (30 presses a second) through 200 24 MP JPEGs,
//                    until the last is shown
//   movie            a 1280 x 720 clip selected, until it plays (the first
//                    movie of the run: libmpv is loaded too)
//   copy             File Copy of a 2 GB file, until "File Copied"
//   infolist         the info list with picture sizes over 10,000 JPEGs,
//                    until a second after the report is in the editor
// Usage: bench_gui_stall [scenario...]   (all when none is named; the files
// are made in the temporary folder when missing, the 2 GB file removed again)
#include "app/main_window.h"
#include "controls/dir_list.h"
#include "controls/file_list.h"
#include "controls/image_view.h"
#include "desktop/desktop.h"
#include "desktop/qt/qt_desktop.h"
#include "fileops/main_files.h"
#include "movie/movie_player.h"
#include "picture/picture_loader.h"
#include "settings/settings_store.h"
#include "support/form1_controls.h"

#include "bench_folders.h"
#include "bench_measures.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>

namespace {

// Says Yes to every question: overwrite the copy, include picture sizes.
class Answer : public Dialogs {
public:
    MsgResult messageBox(const MessageBoxRequest&) override { return MsgResult::Yes; }
    QString inputBox(const InputBoxRequest&) override { return {}; }
    FileDialogResult fileDialog(const FileDialogRequest&) override { Errors::raise(Errors::dialogCancelled()); }
    void beep() override { ++beeps; }
    int beeps = 0;
};

void print(const char* what, const Outcome& o)
{
    std::printf("%-44s %7lld ms; longest GUI stall %4lld ms, ending %lld ms in\n", what, o.totalMs,
                o.longestStallMs, o.stallEndsAtMs);
}

bool shown(const MainWindow& form, const ImageView& picture, const QString& path)
{
    return !form.loadingFile() && picture.wholePicture().source() == path;
}

void openFolder(MainWindow& form, const QString& dir, bool pictures, const QString& pattern)
{
    const Form1Controls ui(form);
    form.setFileKind(pictures, pattern);
    ui.Dir1->setPath(dir);
    while (form.loadingFile())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void loadOne(MainWindow& form, const QString& root, const char* name, QSize size)
{
    const Form1Controls ui(form);
    const QString dir = root + "/" + name;
    makeJpegFolder(dir, 1, size);
    openFolder(form, root, true, QStringLiteral("*.png"));
    openFolder(form, dir, true, QStringLiteral("*.jpg"));
    const QString path = dir + "/pic00000.jpg";
    print(qPrintable(QStringLiteral("select a %1 x %2 JPEG").arg(size.width()).arg(size.height())),
          measure([&] { ui.File1->setListIndex(0); }, [&] { return shown(form, *ui.Image1, path); }));
}

void step(MainWindow& form, const QString& root)
{
    const Form1Controls ui(form);
    const QString dir = root + "/step200";
    makeJpegFolder(dir, 200, {6000, 4000});
    openFolder(form, dir, true, QStringLiteral("*.jpg"));
    ui.File1->setListIndex(0);
    while (!shown(form, *ui.Image1, dir + "/pic00000.jpg"))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QTimer repeat;
    QObject::connect(&repeat, &QTimer::timeout, [&] {
        if (ui.File1->listIndex() >= 199)
            return repeat.stop();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier, QString(), true);
        QCoreApplication::sendEvent(ui.File1, &press);
    });
    print("hold Down through 200 6000 x 4000 JPEGs", measure([&] { repeat.start(33); }, [&] {
              return ui.File1->listIndex() == 199 && shown(form, *ui.Image1, dir + "/pic00199.jpg");
          }));
}

void movie(MainWindow& form, const QString& root)
{
    const Form1Controls ui(form);
    const QString dir = root + "/movie";
    QDir().mkpath(dir);
    const QString clip = dir + "/clip.avi";
    if (!QFile::exists(clip)) {
        QProcess ffmpeg;
        ffmpeg.start("ffmpeg", {"-loglevel", "error", "-y", "-f", "lavfi", "-i", "testsrc2=size=1280x720:rate=30",
                                "-t", "10", "-c:v", "mpeg4", clip});
        ffmpeg.waitForFinished(-1);
    }
    openFolder(form, dir, false, QStringLiteral("*.avi"));
    // Told by the player: asking it would wait for its core.
    bool playing = false;
    QObject::connect(ui.AM1, &MoviePlayer::timeChanged, [&](qint32 ms) { playing = playing || ms > 0; });
    print("select a 1280 x 720 movie (libmpv not loaded)", measure([&] { ui.File1->setListIndex(0); }, [&] {
              return !form.loadingFile() && playing;
          }));
}

void copy(MainWindow& form, const QString& root, const Answer& answer)
{
    const Form1Controls ui(form);
    const QString dir = root + "/copy";
    QDir(dir).removeRecursively();
    QDir().mkpath(dir + "/src");
    QDir().mkpath(dir + "/dst");
    const QString source = dir + "/src/big.jpg";
    // A small picture trailed by holes: it takes no room, its copy is
    // written out whole.
    QImage picture(64, 64, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    if (!picture.save(source, "jpg") || !QFile::resize(source, qint64(2) << 30)) {
        std::fprintf(stderr, "cannot make %s\n", qPrintable(source));
        return;
    }
    openFolder(form, dir + "/src", true, QStringLiteral("*.jpg"));
    form.files().useAsCopyDirectory(dir + "/dst/");
    ui.File1->setListIndex(0);
    while (!shown(form, *ui.Image1, source))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    print("File Copy of a 2 GB file", measure([&] { ui.Command2->click(); }, [&] {
              return ui.Command2->text() == QLatin1String("File Copied") || answer.beeps > 0;
          }));
    QDir(dir).removeRecursively();
}

void infoList(MainWindow& form, const QString& root)
{
    const Form1Controls ui(form);
    const QString dir = root + "/infolist";
    makeJpegFolder(dir, 10000, {640, 480});
    openFolder(form, dir, true, QStringLiteral("*.jpg"));
    // Watched for a second past the run's end too: the editor lays the
    // report out once it is shown.
    QElapsedTimer sinceEnd;
    print("info list with sizes over 10,000 JPEGs", measure([&] { ui.mnuinfolist->trigger(); }, [&] {
              if (form.isEnabled() && !sinceEnd.isValid())
                  sinceEnd.start();
              return sinceEnd.isValid() && sinceEnd.elapsed() >= 1000;
          }));
}

}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    preparePictureReading();
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    writeSetting(QStringLiteral("AutoZoom"), QStringLiteral("1"));
    QtDesktop qtDesktop;
    Answer answer;
    Desktop desktop = qtDesktop.parts();
    desktop.dialogs = &answer;
    const QString root = QDir::tempPath() + "/pixalto-bench-stall";
    QStringList scenarios = app.arguments().mid(1);
    if (scenarios.isEmpty())
        scenarios = {"load24", "load100", "step", "movie", "copy", "infolist"};

    MainWindow form(desktop);
    const Form1Controls ui(form);
    form.resize(1024, 768);
    form.show();
    for (const QString& s : scenarios) {
        if (s == "load24")
            loadOne(form, root, "load24", {6000, 4000});
        else if (s == "load100")
            loadOne(form, root, "load100", {12000, 8400});
        else if (s == "step")
            step(form, root);
        else if (s == "movie")
            movie(form, root);
        else if (s == "copy")
            copy(form, root, answer);
        else if (s == "infolist")
            infoList(form, root);
        else
            std::fprintf(stderr, "unknown scenario %s\n", qPrintable(s));
    }
    return 0;
}
