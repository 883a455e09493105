// The GUI thread's longest stall while the main window copies a 2 GB file:
// a timer every 5 ms notes how late each tick comes, from the click on File
// Copy until the button says "File Copied". The file is a small picture
// trailed by holes, so it takes no room; its copy is written out whole.
// Usage: bench_copy_stall [folder]   (removed again at the end)
#include "app/main_window.h"
#include "controls/dir_list.h"
#include "controls/file_list.h"
#include "desktop/desktop.h"
#include "desktop/qt/qt_desktop.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {
// Replaces the copy made by the run before.
class Answer : public Dialogs {
public:
    MsgResult messageBox(const MessageBoxRequest&) override { return MsgResult::Yes; }
    QString inputBox(const InputBoxRequest&) override { return {}; }
    FileDialogResult fileDialog(const FileDialogRequest&) override { Errors::raise(Errors::dialogCancelled()); }
    void beep() override { ++beeps; }
    int beeps = 0;
};
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QtDesktop qtDesktop;
    Answer answer;
    desktop().dialogs = &answer;
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath() + "/pixalto-bench-copy";
    QDir(dir).removeRecursively();
    QDir().mkpath(dir + "/src");
    QDir().mkpath(dir + "/dst");
    const QString source = dir + "/src/big.jpg";
    QImage picture(64, 64, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    if (!picture.save(source, "jpg") || !QFile::resize(source, qint64(2) << 30)) {
        std::fprintf(stderr, "cannot make %s\n", qPrintable(source));
        return 1;
    }

    MainWindow form;
    form.setFileKind(true, QStringLiteral("*.jpg"));
    form.Dir1->setPath(dir + "/src");
    form.Text3 = dir + "/dst/";
    form.show();
    form.File1->setListIndex(0);

    QElapsedTimer clock, lastTick;
    qint64 longestMs = 0, longestAt = 0, ticks = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (const qint64 late = lastTick.restart() - 5; late > longestMs) {
            longestMs = late;
            longestAt = clock.elapsed();
        }
        ++ticks;
        if (form.Command2->text() == QLatin1String("File Copied") || answer.beeps > 0)
            app.quit();
    });
    QTimer::singleShot(200, [&] {
        clock.start();
        lastTick.start();
        ticker.start(5);
        form.Command2->click();
    });
    app.exec();
    const bool copied = QFile(dir + "/dst/big.jpg").size() == QFile(source).size();
    std::printf("copy of 2 GB: %s in %lld ms; %lld ticks; longest GUI stall %lld ms, ending %lld ms after the click\n",
                copied ? "done" : "FAILED", clock.elapsed(), ticks, longestMs, longestAt);
    QDir(dir).removeRecursively();
    return copied ? 0 : 1;
}
