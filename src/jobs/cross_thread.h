#pragma once
#include <QMetaObject>
#include <QObject>
#include <QThreadPool>

#include <memory>
#include <utility>

// Qt's event queues and thread pool synchronise inside Qt, which is not built
// for the thread sanitizer, so a hand-off through them looks like a race to
// it. These hand work over through Qt and tell the sanitizer that everything
// written before the hand-off is seen after it; in other builds they are the
// plain Qt calls.
namespace CrossThread {

#if defined(__SANITIZE_THREAD__)
extern "C" {
void __tsan_acquire(void* address);
void __tsan_release(void* address);
void __tsan_ignore_thread_begin();
void __tsan_ignore_thread_end();
}
template <typename Call>
auto handOver(Call call)
{
    auto box = std::make_shared<Call>(std::move(call));
    __tsan_release(box.get());
    return box;
}
template <typename Box>
void takeOver(const Box& box) { __tsan_acquire(box.get()); }
// Qt's copies of the hand-off are made after the release: the sanitizer must not note them.
struct Unobserved {
    Unobserved() { __tsan_ignore_thread_begin(); }
    ~Unobserved() { __tsan_ignore_thread_end(); }
};
#else
template <typename Call>
auto handOver(Call call) { return std::make_shared<Call>(std::move(call)); }
template <typename Box>
void takeOver(const Box&) {}
struct Unobserved {};
#endif

// Runs call on context's thread, later.
template <typename Call>
void post(QObject* context, Call call)
{
    auto box = handOver(std::move(call));
    [[maybe_unused]] Unobserved unobserved;
    QMetaObject::invokeMethod(context, [box] { takeOver(box); (*box)(); }, Qt::QueuedConnection);
}

// Runs work on one of pool's threads.
template <typename Work>
void start(QThreadPool& pool, Work work)
{
    auto box = handOver(std::move(work));
    [[maybe_unused]] Unobserved unobserved;
    pool.start([box] { takeOver(box); (*box)(); });
}

}
