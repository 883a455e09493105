// Times filling the file list for a folder of 100,000 files, half of them
// matching the pattern, side by side with find(1) on the same folder.
// Usage: bench_file_list [folder]   (the folder is created when missing)
#include "controls/file_list.h"
#include "core/file_system.h"
#include "desktop/desktop.h"
#include "desktop/qt/qt_desktop.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {
const int kFiles = 100000;

void makeFolder(const QString& dir)
{
    QDir().mkpath(dir);
    if (QDir(dir).entryList(QDir::Files).size() >= kFiles)
        return;
    std::printf("creating %d files in %s\n", kFiles, qPrintable(dir));
    for (int i = 0; i < kFiles; ++i) {
        const QString name = QStringLiteral("%1/file%2.%3").arg(dir).arg(i, 6, 10, QLatin1Char('0'))
                                 .arg(i % 2 ? QStringLiteral("txt") : (i % 4 ? "JPG" : "jpg"));
        const int fd = ::open(QFile::encodeName(name).constData(), O_CREAT | O_WRONLY, 0644);
        if (fd >= 0)
            ::close(fd);
    }
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QtDesktop desktop;
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath() + "/pixalto-bench-100k";
    makeFolder(dir);

    std::vector<double> find, list, fill;
    qsizetype found = 0;
    int listed = 0;
    FileList view;
    view.setPattern("*.jpg");
    for (int run = 0; run < 7; ++run) {
        QElapsedTimer t;
        t.start();
        QProcess p;
        p.start("find", {dir, "-maxdepth", "1", "-iname", "*.jpg"});
        p.waitForFinished(-1);
        found = p.readAllStandardOutput().count('\n');
        find.push_back(t.nsecsElapsed() / 1e6);

        t.restart();
        listed = int(FileSystem::listMatching(dir, "*.jpg").size());
        list.push_back(t.nsecsElapsed() / 1e6);

        t.restart();
        view.setPath(dir);
        fill.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("folder: %s, %d files, %lld match *.jpg (find), %d listed\n", qPrintable(dir), kFiles,
                qlonglong(found), listed);
    std::printf("find -maxdepth 1 -iname '*.jpg' (process): %8.1f ms (median of 7)\n", median(find));
    std::printf("listing (read, match, attributes, sort):  %8.1f ms (%.2fx find)\n", median(list),
                median(list) / median(find));
    std::printf("filling the file list control:            %8.1f ms (%.2fx find)\n", median(fill),
                median(fill) / median(find));
    return 0;
}
