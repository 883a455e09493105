#pragma once
// Measures the benchmarks share.
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <sys/resource.h>

#include <functional>

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

struct Outcome {
    qint64 totalMs = 0;
    qint64 longestStallMs = 0;
    qint64 stallEndsAtMs = 0;
};

// Runs the event loop from act() until done() holds, ticking every 5 ms.
inline Outcome measure(const std::function<void()>& act, const std::function<bool()>& done)
{
    Outcome outcome;
    QElapsedTimer clock, lastTick;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QEventLoop loop;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (const qint64 late = lastTick.restart() - 5; late > outcome.longestStallMs) {
            outcome.longestStallMs = late;
            outcome.stallEndsAtMs = clock.elapsed();
        }
        if (done())
            loop.quit();
    });
    QTimer::singleShot(200, [&] {
        clock.start();
        lastTick.start();
        ticker.start(5);
        act();
    });
    loop.exec();
    outcome.totalMs = clock.elapsed();
    return outcome;
}
