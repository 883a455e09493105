#include "jobs/job_pool.h"

#include <utility>

void JobControl::progress(qint64 doneNow, qint64 totalNow)
{
    {
        std::lock_guard lock(mutex);
        done = doneNow;
        total = totalNow;
        if (!onProgress || std::exchange(reportPending, true))
            return;
    }
    deliver([self = shared_from_this()] {
        std::unique_lock lock(self->mutex);
        self->reportPending = false;
        const qint64 d = self->done, t = self->total;
        lock.unlock();
        self->onProgress(d, t);
    });
}

void JobControl::deliver(std::function<void()> call)
{
    CrossThread::post(courier, [self = shared_from_this(), call = std::move(call)] {
        if (self->receiver && !self->cancelled())
            call();
    });
}

JobPool::JobPool(int threads) : courier(std::make_unique<QObject>())
{
    pool.setMaxThreadCount(threads);
}

JobPool::~JobPool()
{
    pool.clear();
    pool.waitForDone();
}

JobHandle JobPool::prepare(QObject* receiver, std::function<void(qint64, qint64)> progress)
{
    Q_ASSERT(receiver->thread() == courier->thread());
    auto control = std::make_shared<JobControl>();
    control->courier = courier.get();
    control->receiver = receiver;
    control->onProgress = std::move(progress);
    return control;
}
