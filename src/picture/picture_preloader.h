#pragma once
#include "core/failure.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class JobPool;
class QObject;

// A picture as loadPicture gives it, or the failure it throws.
struct LoadedPicture {
    QImage image;
    std::optional<Failure> failure;
};

// Decodes pictures off the GUI thread: the neighbours of the shown file ahead
// of time, so that stepping through a folder shows the next picture at once,
// and the one asked for now. What it hands out is exactly what loadPicture
// would give; a file changed on disk since it was preloaded is loaded again.
// A metafile helper drawing a picture nobody wants any more, or still drawing
// when the preloader goes, is killed.
class PicturePreloader {
public:
    // The shown picture and the preloaded ones together stay within
    // budgetBytes: with room for one neighbour only the one ahead is
    // preloaded, and a file larger than the budget never is.
    static constexpr qint64 defaultBudget = qint64(256) << 20;
    // No picture decodes to more than half of it, so that the one shown and
    // the next one loaded fit together: a larger JPEG is decoded smaller,
    // any other is refused (loadPicture's shownPixels).
    static constexpr qint64 shownPixels = defaultBudget / 2 / 4;
    // Decodes what was not preloaded on pool's workers.
    explicit PicturePreloader(JobPool& pool, qint64 budgetBytes = defaultBudget);
    ~PicturePreloader();
    PicturePreloader(const PicturePreloader&) = delete;
    PicturePreloader& operator=(const PicturePreloader&) = delete;

    // Asks for the picture of path, from the preload when it is still fresh,
    // otherwise decoded on a worker. done gets it on receiver's thread: at
    // once when it is at hand, else later, unless a newer request or cancel()
    // came first or receiver is gone.
    void request(const QString& path, QObject* receiver, std::function<void(const LoadedPicture&)> done);
    // The request whose picture has not reached its receiver yet is dropped.
    void cancel();
    bool requestPending() const;
    // Starts decoding these files, likeliest next first, as far as the budget
    // allows; drops the others.
    void preload(const QStringList& paths);
    // The size a picture of a natural (upright) size will be shown at, in
    // device pixels; invalid, or not smaller, for 1:1. Called on workers.
    // Pictures shown smaller are decoded at that size.
    using ShownSize = std::function<QSize(QSize natural)>;
    void setShownSize(ShownSize shown);

private:
    struct Impl;
    // Shared with the request being decoded, which may outlast the preloader.
    std::shared_ptr<Impl> d;
};
