#pragma once
// Measures the benchmarks share.
#include <QEvent>
#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <sys/resource.h>

// Counts the paints of the widgets it filters: one a frame while something plays.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

// The processor time this process has used, all its threads together.
inline double cpuSeconds()
{
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    return use.ru_utime.tv_sec + use.ru_stime.tv_sec + (use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
}

// Lets the event loop run for ms: waiting for events, not polling, so that
// the process's processor time is the program's own.
inline void runEventsFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}
