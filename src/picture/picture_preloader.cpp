#include "picture/picture_preloader.h"

#include "core/file_name.h"
#include "jobs/job_pool.h"
#include "picture/picture_loader.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <ctime>
#include <deque>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <thread>

namespace {

// What identifies one version of a file. ctime cannot be set back by
// anybody, so a rewrite that restores size and mtime is still seen.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec mtime{};
    timespec ctime{};

    static FileStamp of(const struct stat& st)
    {
        return {st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
    }
    bool operator==(const FileStamp& o) const
    {
        return device == o.device && inode == o.inode && size == o.size
            && mtime.tv_sec == o.mtime.tv_sec && mtime.tv_nsec == o.mtime.tv_nsec
            && ctime.tv_sec == o.ctime.tv_sec && ctime.tv_nsec == o.ctime.tv_nsec;
    }
};

std::optional<FileStamp> stampOf(const QString& path)
{
    struct stat st;
    if (::stat(FileName::toBytes(path).constData(), &st) != 0)
        return std::nullopt;
    return FileStamp::of(st);
}

qint64 nanos(const timespec& t) { return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec; }

struct Preloaded {
    QString path;
    // Set when the file stood still while it was read: only then can the
    // picture be handed out again while the file keeps this stamp.
    std::optional<FileStamp> stamp;
    QImage image;
    std::optional<Failure> failure;

    bool freshFor(const QString& p) const
    {
        return path == p && stamp && stampOf(p) == stamp;
    }
};

// File systems stamp times from a coarse clock; a file written this close to
// its preload may have changed again without its times showing it.
constexpr qint64 racyWindowNs = 100'000'000;

// What a picture shown at 1:1 is decoded for.
QSize wholePicture(QSize) { return {}; }

// What decoding path would add to the memory, from its header, and the size
// it is shown at. Unknown when only drawing tells the size.
std::pair<std::optional<qint64>, QSize> decodePlan(const QString& path, const PicturePreloader::ShownSize& shown)
{
    const PictureProbe probe = probePicture(path);
    if (!probe.readable)
        return {0, {}}; // refused at once, and the refusal is what is kept
    if (!probe.size.isValid())
        return {std::nullopt, {}};
    const QSize at = shown(probe.size);
    return {decodingBytes(probe, at, PicturePreloader::shownPixels), at};
}

Preloaded decode(const QString& path, QSize shownAt, const std::atomic<bool>* cancelled)
{
    Preloaded entry{path, {}, {}, {}};
    timespec started;
    clock_gettime(CLOCK_REALTIME, &started);
    const auto before = stampOf(path);
    try {
        entry.image = loadPicture(path, cancelled, PicturePreloader::shownPixels, shownAt);
    } catch (const PxError& e) {
        entry.failure = e.failure;
    } catch (const std::exception&) {
        entry.failure = Errors::invalidPicture();
    }
    const auto after = stampOf(path);
    // Only a file that stood still while it was read, and had been still for
    // a while before, can be trusted by its stamp.
    if (before && after && *before == *after && nanos(before->mtime) + racyWindowNs < nanos(started)
        && nanos(before->ctime) + racyWindowNs < nanos(started))
        entry.stamp = before;
    return entry;
}

}

struct PicturePreloader::Impl {
    Impl(JobPool& pool, qint64 budget) : pool(pool), budget(budget) {}

    JobPool& pool;

    // What the shown picture, the preloaded ones and the loader's spare
    // buffers may take together.
    const qint64 budget;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<QString> pending;
    std::deque<Preloaded> done;
    // The picture load() handed out last, and the one before it.
    Preloaded shown;
    QString shownBefore;
    QString decoding;
    // What the neighbour and the requested picture being decoded will take;
    // they count from the start.
    qint64 decodingBytes = 0;
    qint64 requestBytes = 0;
    PicturePreloader::ShownSize shownSize = wholePicture;
    // Set when the neighbour being decoded is no longer wanted.
    std::atomic<bool> cancelled = false;
    bool stopping = false;
    // The request whose picture has not been handed out yet; only ever
    // touched on the thread that asks.
    JobHandle requested;
    std::thread worker;

    qint64 used() const
    {
        qint64 bytes = shown.image.sizeInBytes() + decodingBytes + requestBytes + spareDecodeBytes();
        for (const Preloaded& p : done)
            bytes += p.image.sizeInBytes();
        return bytes;
    }

    bool have(const QString& path) const
    {
        return path == decoding || shown.freshFor(path)
            || std::any_of(done.begin(), done.end(), [&](const Preloaded& p) { return p.path == path; });
    }

    void run()
    {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return stopping || !pending.empty(); });
            if (stopping)
                return;
            const QString path = pending.front();
            pending.pop_front();
            decoding = path;
            cancelled = false;
            const PicturePreloader::ShownSize shown = shownSize;
            lock.unlock();

            const std::optional<FileStamp> stamp = stampOf(path);
            const auto [need, at] = decodePlan(path, shown);
            lock.lock();
            // Preloading stops at the first neighbour that does not fit: the
            // later ones are less likely to be wanted.
            if (!need || !stamp || stamp->size > budget || used() + *need > budget) {
                pending.clear();
                decoding.clear();
                changed.notify_all();
                continue;
            }
            decodingBytes = *need;
            lock.unlock();
            Preloaded entry = decode(path, at, &cancelled);
            lock.lock();
            decoding.clear();
            decodingBytes = 0;
            if (entry.stamp && !cancelled) {
                std::erase_if(done, [&](const Preloaded& p) { return p.path == path; });
                done.push_back(std::move(entry));
            }
            changed.notify_all();
        }
    }

    // The fresh preload of path, taken out of the preloaded ones.
    std::optional<Preloaded> take(const QString& path)
    {
        auto it = std::find_if(done.begin(), done.end(), [&](const Preloaded& p) { return p.path == path; });
        if (it == done.end())
            return std::nullopt;
        Preloaded entry = std::move(*it);
        done.erase(it);
        if (!entry.freshFor(path))
            return std::nullopt;
        return entry;
    }

    // On a worker: the neighbour being decoded right now is ready sooner
    // than a new decode.
    Preloaded fetch(const QString& path, const JobControl& job)
    {
        PicturePreloader::ShownSize shown;
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return decoding != path || stopping; });
            if (std::optional<Preloaded> entry = take(path))
                return std::move(*entry);
            shown = shownSize;
        }
        if (job.cancelled())
            return Preloaded{path, {}, {}, {}};
        // Counted while it runs, so that no neighbour starts beside it
        // without room.
        const auto [need, at] = decodePlan(path, shown);
        setRequestBytes(need.value_or(0));
        Preloaded entry = decode(path, at, job.cancelFlag());
        setRequestBytes(0);
        return entry;
    }

    void setRequestBytes(qint64 bytes)
    {
        std::lock_guard lock(mutex);
        requestBytes = bytes;
    }

    LoadedPicture handOut(Preloaded&& entry)
    {
        std::lock_guard lock(mutex);
        if (entry.failure)
            return {{}, entry.failure};
        if (entry.path != shown.path)
            shownBefore = shown.path;
        shown = std::move(entry);
        return {shown.image, {}};
    }
};

PicturePreloader::PicturePreloader(JobPool& pool, qint64 budgetBytes) : d(std::make_shared<Impl>(pool, budgetBytes))
{
    d->worker = std::thread([impl = d.get()] { impl->run(); });
}

PicturePreloader::~PicturePreloader()
{
    cancel();
    {
        std::lock_guard lock(d->mutex);
        d->stopping = true;
        d->pending.clear();
        // A metafile helper still drawing is killed rather than waited for.
        d->cancelled = true;
    }
    d->changed.notify_all();
    d->worker.join();
}

void PicturePreloader::preload(const QStringList& paths)
{
    std::lock_guard lock(d->mutex);
    // The picture shown before comes last: it lies behind, and the one ahead
    // is the likelier next.
    QStringList order = paths;
    std::stable_partition(order.begin(), order.end(), [&](const QString& p) { return p != d->shownBefore; });
    std::erase_if(d->done, [&](const Preloaded& p) { return !order.contains(p.path); });
    d->pending.clear();
    if (!d->decoding.isEmpty() && !order.contains(d->decoding))
        d->cancelled = true;
    for (const QString& path : order)
        if (!d->have(path))
            d->pending.push_back(path);
    d->changed.notify_all();
}

void PicturePreloader::request(const QString& path, QObject* receiver,
                               std::function<void(const LoadedPicture&)> done)
{
    cancel();
    std::unique_lock lock(d->mutex);
    if (d->shown.freshFor(path)) {
        const LoadedPicture shown{d->shown.image, {}};
        lock.unlock();
        done(shown);
        return;
    }
    if (d->decoding != path) {
        if (std::optional<Preloaded> entry = d->take(path)) {
            lock.unlock();
            done(d->handOut(std::move(*entry)));
            return;
        }
        // A jump elsewhere: the old neighbours are no longer wanted, and
        // releasing them now lets this decode reuse one of their buffers
        // instead of touching a fresh one.
        d->done.clear();
        d->pending.clear();
        if (!d->decoding.isEmpty())
            d->cancelled = true;
    }
    lock.unlock();
    d->requested = d->pool.start(
        receiver, [impl = d, path](const JobControl& job) { return impl->fetch(path, job); },
        [impl = d, done](Preloaded entry) {
            impl->requested.reset();
            done(impl->handOut(std::move(entry)));
        });
}

void PicturePreloader::cancel()
{
    if (d->requested)
        std::exchange(d->requested, nullptr)->cancel();
}

void PicturePreloader::setShownSize(ShownSize shown)
{
    std::lock_guard lock(d->mutex);
    d->shownSize = shown ? std::move(shown) : wholePicture;
}

bool PicturePreloader::requestPending() const { return d->requested != nullptr; }
