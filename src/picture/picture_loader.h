#pragma once
#include <QImage>
#include <QString>
#include <QSize>

#include <atomic>

// Reads a picture file into an upright image (EXIF orientation applied, an
// animated GIF gives its first frame, WMF/EMF at their header size at 96 DPI,
// but drawn with at most Metafile::maxDrawnPixels: naturalSize tells the
// header's size then). Throws PxError when the file cannot be read as a picture.
QImage loadPicture(const QString& path);
// The same, giving up a metafile drawing once cancelled is set.
QImage loadPicture(const QString& path, const std::atomic<bool>* cancelled);

// The size a loaded picture has at 1:1: the header's size of a metafile drawn
// smaller, else the picture's own size.
QSize naturalSize(const QImage& picture);

// Decodes a raster picture already in memory with the checks loadPicture
// makes, refusing more than maxPixels (loadPicture's bound is
// Metafile::maxPixels); what the fuzz target feeds, with a smaller bound so
// that no input spends its time filling a huge picture. Throws PxError as
// loadPicture does.
QImage decodePictureData(const QByteArray& data, qint64 maxPixels);

// Qt refuses pictures beyond a few hundred megabytes, which would refuse
// some the loader accepts. Called once at start-up, before any is read.
void allowLargePictures();

// What a file's header says of it, read without decoding any pixel.
struct PictureProbe {
    // A picture of a known format whose header loadPicture would accept.
    bool readable = false;
    // The size loadPicture gives (EXIF orientation applied); invalid when only
    // drawing tells (a WMF without a placeable header).
    QSize size;
    // A WMF or EMF: loaded as a drawing of at most Metafile::maxDrawnPixels.
    bool metafile = false;
};
PictureProbe probePicture(const QString& path);
