#pragma once
#include "jobs/cross_thread.h"

#include <QObject>
#include <QPointer>
#include <QThreadPool>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

// What a job and its owner share: the owner cancels, the job asks whether it
// is still wanted and tells how far it got.
class JobControl : public std::enable_shared_from_this<JobControl> {
public:
    // On the receiver's thread: the job is told to stop, and neither its
    // progress nor its result reaches the receiver from now on.
    void cancel() { flag = true; }
    bool cancelled() const { return flag; }
    // For code below this layer that takes a plain flag.
    const std::atomic<bool>* cancelFlag() const { return &flag; }
    // From the job: done of total. Reports merge while the receiver has not
    // taken the last one, so a fast job cannot flood the receiver's thread.
    void progress(qint64 done, qint64 total);

private:
    friend class JobPool;
    // Runs call on the receiver's thread while the receiver lives and the
    // job is not cancelled.
    void deliver(std::function<void()> call);

    std::atomic<bool> flag = false;
    QObject* courier = nullptr;
    QPointer<QObject> receiver;
    std::function<void(qint64, qint64)> onProgress;
    std::mutex mutex;
    qint64 done = 0;
    qint64 total = 0;
    bool reportPending = false;
};

using JobHandle = std::shared_ptr<JobControl>;

// A bounded set of worker threads. Jobs run there; their progress and results
// reach a receiver living on the pool's own thread as queued calls.
class JobPool {
public:
    explicit JobPool(int threads);
    // Drops the jobs not yet started and waits for those running.
    ~JobPool();
    JobPool(const JobPool&) = delete;
    JobPool& operator=(const JobPool&) = delete;

    // Runs work(control) on a worker, then done(result) on the receiver's
    // thread; progress(done, total) reaches the receiver the same way.
    template <typename Work, typename Done>
    JobHandle start(QObject* receiver, Work work, Done done, std::function<void(qint64, qint64)> progress = {})
    {
        JobHandle control = prepare(receiver, std::move(progress));
        CrossThread::start(pool, [control, work = std::move(work), done = std::move(done)]() mutable {
            if (control->cancelled())
                return;
            auto result = std::make_shared<decltype(work(*control))>(work(*control));
            control->deliver([done = std::move(done), result]() mutable { done(std::move(*result)); });
        });
        return control;
    }

private:
    JobHandle prepare(QObject* receiver, std::function<void(qint64, qint64)> progress);
    QThreadPool pool;
    // Lives on the pool's thread and outlasts every worker, so workers can
    // always post to it.
    std::unique_ptr<QObject> courier;
};
