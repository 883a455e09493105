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
// The same for a viewer that keeps its pictures within a memory budget:
// gives up a metafile drawing once cancelled is set, and decodes a picture
// of more than shownPixels pixels smaller when its format scales while
// decoding (JPEG), refusing it otherwise. Given shownAt, the upright size the
// picture is shown at, a larger picture comes at that size: decoded smaller
// where the format allows, scaled down with filtering after. naturalSize
// tells the header's size of a picture decoded smaller.
QImage loadPicture(const QString& path, const std::atomic<bool>* cancelled, qint64 shownPixels, QSize shownAt = {});
// The same, also handing out the bytes a raster picture was decoded from:
// the file as far as the header's picture reaches (empty for a metafile).
QImage loadPictureWithData(const QString& path, QByteArray& data);

// The size a loaded picture has at 1:1: the header's size of a picture drawn
// or decoded smaller, else the picture's own size.
QSize naturalSize(const QImage& picture);

// Decodes a raster picture already in memory with the checks loadPicture
// makes, refusing more than maxPixels (loadPicture's bound is
// Metafile::maxPixels); what the fuzz target feeds, with a smaller bound so
// that no input spends its time filling a huge picture. Throws PxError as
// loadPicture does.
QImage decodePictureData(const QByteArray& data, qint64 maxPixels);

// The memory of decoded pictures that nobody holds any more, which the
// loader keeps to decode the next picture of the same size into.
qint64 spareDecodeBytes();

// Called once at start-up on the window's thread, before any picture is
// read: Qt's limit on picture sizes is raised to the loader's, and the
// program's own picture formats are made, which Qt does not guard against
// two workers making them at once.
void preparePictureReading();

// What a file's header says of it, read without decoding any pixel.
struct PictureProbe {
    // A picture of a known format whose header loadPicture would accept.
    bool readable = false;
    // The size loadPicture gives (EXIF orientation applied); invalid when only
    // drawing tells (a WMF without a placeable header). Also told for a
    // picture too large to decode, which is not readable.
    QSize size;
    // A WMF or EMF: loaded as a drawing of at most Metafile::maxDrawnPixels.
    bool metafile = false;
    // Decoded straight at a smaller size when it is shown smaller (JPEG).
    bool scalesWhileDecoding = false;
};
PictureProbe probePicture(const QString& path);

// What decoding a picture probed as probe takes at most while it runs, in
// bytes, when shown at shownAt (upright; invalid: at 1:1) within shownPixels.
qint64 decodingBytes(const PictureProbe& probe, QSize shownAt, qint64 shownPixels);
