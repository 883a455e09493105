#pragma once
#include <QMetaObject>
#include <QObject>
#include <QThreadPool>

#include <memory>
#include <utility>

// Qt's event queues and thread pool synchronise inside Qt, which is not built
// for the thread sanitizer, so a hand-off through them looks like a race to
// it. These hand work over through Qt; in a thread-sanitizer build they also
// tell it that everything written before the hand-off is seen after it.
namespace CrossThread {

#if defined(__SANITIZE_THREAD__)
extern "C" {
void __tsan_acquire(void* address);
void __tsan_release(void* address);
void __tsan_ignore_thread_begin();
void __tsan_ignore_thread_end();
}

// The call, boxed and released; whoever runs it acquires the box first.
template <typename Call>
auto handOver(Call call)
{
    auto box = std::make_shared<Call>(std::move(call));
    __tsan_release(box.get());
    return [box] {
        __tsan_acquire(box.get());
        (*box)();
    };
}

// Qt's copies of the hand-off are made after the release: the sanitizer must not note them.
struct Unobserved {
    Unobserved() { __tsan_ignore_thread_begin(); }
    ~Unobserved() { __tsan_ignore_thread_end(); }
};
#endif

// Runs call on context's thread, later.
template <typename Call>
void post(QObject* context, Call call)
{
#if defined(__SANITIZE_THREAD__)
    auto boxed = handOver(std::move(call));
    Unobserved unobserved;
    QMetaObject::invokeMethod(context, std::move(boxed), Qt::QueuedConnection);
#else
    QMetaObject::invokeMethod(context, std::move(call), Qt::QueuedConnection);
#endif
}

// Runs work on one of pool's threads.
template <typename Work>
void start(QThreadPool& pool, Work work)
{
#if defined(__SANITIZE_THREAD__)
    auto boxed = handOver(std::move(work));
    Unobserved unobserved;
    pool.start(std::move(boxed));
#else
    pool.start(std::move(work));
#endif
}

}
