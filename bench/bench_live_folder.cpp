// The window's longest stall while another program keeps changing a folder
// of 100,000 files (50,000 listed) that the viewer shows: a timer every 5 ms
// measures its own lateness while a thread adds and removes 200 files a
// second for 5 seconds.
// Usage: bench_live_folder [folder]   (the folder is created when missing)
#include "app/main_window.h"
#include "controls/dir_list.h"
#include "controls/file_list.h"
#include "desktop/qt/qt_desktop.h"
#include "support/form1_controls.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace {
constexpr int kFiles = 100000;

void touch(const QString& name)
{
    const int fd = ::open(QFile::encodeName(name).constData(), O_CREAT | O_WRONLY, 0644);
    if (fd >= 0)
        ::close(fd);
}
}

int main(int argc, char** argv)
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    QtDesktop desktop;
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath() + "/pixalto-bench-100k";
    QDir().mkpath(dir);
    if (QDir(dir).entryList(QDir::Files).size() < kFiles)
        for (int i = 0; i < kFiles; ++i)
            touch(QStringLiteral("%1/file%2.%3").arg(dir).arg(i, 6, 10, QLatin1Char('0')).arg(i % 2 ? "txt" : "jpg"));

    MainWindow form(desktop.parts());
    const Form1Controls ui(form);
    ui.File1->setPattern("*.jpg");
    ui.Dir1->setPath(dir);
    const int before = ui.File1->listCount();
    int relists = 0;
    QObject::connect(ui.File1->model(), &QAbstractItemModel::modelReset, [&] { ++relists; });

    std::atomic<qint64> doneAt = 0;
    QElapsedTimer clock;
    clock.start();
    std::thread writer([&] {
        for (int i = 0; i < 1000; ++i) {
            const QString name = QStringLiteral("%1/live%2.jpg").arg(dir).arg(i % 100);
            if (i < 100)
                touch(name);
            else
                QFile::remove(name), touch(name);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        for (int i = 0; i < 100; ++i)
            QFile::remove(QStringLiteral("%1/live%2.jpg").arg(dir).arg(i));
        doneAt = clock.elapsed();
    });
    qint64 last = 0, longest = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last - 5'000'000);
        last = now;
        // Time for the last listing to come in.
        if (doneAt && clock.elapsed() > doneAt + 2000)
            app.quit();
    });
    tick.start(5);
    last = clock.nsecsElapsed();
    app.exec();
    writer.join();
    std::printf("listed %d, after the changes %d; %d listings again; longest stall %.1f ms\n", before,
                ui.File1->listCount(), relists, longest / 1e6);
    return 0;
}
