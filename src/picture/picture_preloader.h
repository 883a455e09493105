#pragma once
#include <QImage>
#include <QString>
#include <QStringList>

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
    explicit PicturePreloader(qint64 budgetBytes = defaultBudget);
    ~PicturePreloader();
    PicturePreloader(const PicturePreloader&) = delete;
    PicturePreloader& operator=(const PicturePreloader&) = delete;

    // The picture of path: from the preload when it is still fresh, otherwise
    // loaded now. Throws PxError like loadPicture. Called on the GUI thread,
    // a load longer than a frame keeps the event loop running, without user
    // input, until it is done: the caller must not be re-entered meanwhile.
    QImage load(const QString& path);
    // Starts decoding these files, likeliest next first, as far as the budget
    // allows; drops the others.
    void preload(const QStringList& paths);

private:
    struct Impl;
    Impl* d;
};
