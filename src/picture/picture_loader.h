#pragma once
#include <QImage>
#include <QString>
#include <QStringList>

// Reads a picture file into an upright image (EXIF orientation applied, an
// animated GIF gives its first frame, WMF/EMF at their header size at 96 DPI).
// Throws PxError when the file cannot be read as a picture.
QImage loadPicture(const QString& path);

// Decodes the neighbours of the shown file ahead of time in the background so
// that stepping through a folder shows the next picture at once. What it hands
// out is exactly what loadPicture would give; a file changed on disk since it
// was preloaded is loaded again.
class PicturePreloader {
public:
    PicturePreloader();
    ~PicturePreloader();
    PicturePreloader(const PicturePreloader&) = delete;
    PicturePreloader& operator=(const PicturePreloader&) = delete;

    // The picture of path: from the preload when it is still fresh, otherwise
    // loaded now. Throws PxError like loadPicture.
    QImage load(const QString& path);
    // Starts decoding these files (at most two are kept); drops older ones.
    void preload(const QStringList& paths);

private:
    struct Impl;
    Impl* d;
};
