#include "picture/picture_loader.h"

#include "core/failure.h"
#include "core/file_name.h"
#include "core/file_system.h"
#include "picture/metafile_client.h"
#include "picture/metafile_format.h"
#include "picture/picture_completeness.h"
#include "picture/colour_profile.h"
#include "picture/exif_colour.h"
#include "picture/jpeg_decoder.h"

#include <QBuffer>
#include <QColorSpace>
#include <QFile>
#include <QImageReader>
#include <QPluginLoader>
#include <QtPlugin>

#include <algorithm>
#include <cerrno>
#include <deque>
#include <limits>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A plain file opened for reading, read in two steps: its header, then as
// much of the rest as the header's picture needs.
class OpenFile {
public:
    explicit OpenFile(const QString& path) : fd(FileSystem::openPlainFile(path))
    {
        struct stat st;
        if (::fstat(fd, &st) == 0)
            sizeHint = st.st_size;
    }
    ~OpenFile() { ::close(fd); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    // Appends what follows in the file, at most limit bytes.
    void readInto(QByteArray& data, qint64 limit)
    {
        // The size is only a hint: the file may grow or shrink while it is read.
        data.reserve(qsizetype(std::min<qint64>({sizeHint, limit, qint64(1) << 30})) + 1);
        char chunk[1 << 16];
        while (limit > 0) {
            const ssize_t n = ::read(fd, chunk, size_t(std::min<qint64>(qint64(sizeof chunk), limit)));
            if (n == 0)
                break;
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                Errors::throwErrno(errno);
            }
            data.append(chunk, n);
            limit -= n;
        }
    }

private:
    int fd;
    off_t sizeHint = 0;
};

// Where a metafile drawn smaller than its header's size keeps that size.
const QString naturalSizeKey = QStringLiteral("Pixalto natural size");

// Enough of a file for every header the loader checks before it reads the rest.
constexpr qint64 headLength = 64 * 1024;

// The most a raster picture of the header's size is read to: room for its
// metadata and 16 bytes a pixel (four 32-bit channels), whatever follows in
// the file. A header that does not tell the size gets the room only.
qint64 readLimit(const QByteArray& format, const QByteArray& head, QSize size)
{
    constexpr qint64 metadataRoom = qint64(16) << 20;
    const qint64 pixels = size.isValid() ? qint64(size.width()) * size.height() : 0;
    // Beyond the bound only a JPEG, decoded smaller, is read: its data is
    // held to 4 bytes a pixel of the bound, more than any real one takes.
    const qint64 limit = metadataRoom + (pixels > Metafile::maxPixels ? Metafile::maxPixels * 4 : pixels * 16);
    return std::min(limit, Completeness::declaredLength(format, head).value_or(limit));
}

// Decoding a large picture into freshly mapped memory costs about as much as
// the decoding itself, so the buffers of pictures nobody holds any more are
// decoded into again.
class BufferPool {
public:
    QImage take(QSize size, QImage::Format format)
    {
        std::lock_guard lock(mutex);
        QImage image;
        // Detached: only the pool refers to it, nobody can be reading it.
        auto it = std::find_if(images.begin(), images.end(), [&](const QImage& i) {
            return i.size() == size && i.format() == format && i.isDetached();
        });
        if (it != images.end()) {
            image = std::move(*it);
            images.erase(it);
        }
        // The other spares would only add to the memory this decode takes.
        std::erase_if(images, [](const QImage& i) { return i.isDetached(); });
        return image;
    }
    qint64 spareBytes()
    {
        std::lock_guard lock(mutex);
        qint64 bytes = 0;
        for (const QImage& image : images)
            bytes += image.isDetached() ? image.sizeInBytes() : 0;
        return bytes;
    }
    void keep(const QImage& image)
    {
        std::lock_guard lock(mutex);
        images.push_front(image);
        while (images.size() > capacity)
            images.pop_back();
    }

private:
    static constexpr size_t capacity = 3;
    std::mutex mutex;
    std::deque<QImage> images;
};

BufferPool& pool()
{
    static BufferPool instance;
    return instance;
}

// JPEG scales while decoding: a picture of more pixels than the bound is
// decodable when an eighth of it is within.
bool decodable(const QByteArray& format, QSize size, qint64 maxPixels)
{
    if (qint64(size.width()) * size.height() <= maxPixels)
        return true;
    return format == "jpeg" && Jpeg::scaledSize(size, {}, maxPixels).isValid();
}

// Refuses what Qt cannot read and what claims more pixels than it could
// decode within maxPixels; the size, when the header tells it.
QSize checkedSize(QImageReader& reader, qint64 maxPixels)
{
    reader.setDecideFormatFromContent(true);
    if (!reader.canRead())
        Errors::raise(Errors::invalidPicture(QStringLiteral("unknown or damaged format")));
    const QSize size = reader.size();
    if (size.isValid() && !decodable(reader.format(), size, maxPixels))
        Errors::raise(Errors::invalidPicture(
            QStringLiteral("%1 x %2 pixels is too large").arg(size.width()).arg(size.height())));
    return size;
}

[[noreturn]] void refuseAsTooLarge(QSize size)
{
    Errors::raise(Errors::invalidPicture(
        QStringLiteral("%1 x %2 pixels is too large to show").arg(size.width()).arg(size.height())));
}

// The size a picture of size is decoded at to have at most limit pixels:
// its own, or the largest of a half, a quarter and an eighth of it that
// fits; invalid when none fits.
QSize decodedSize(QSize size, qint64 limit)
{
    for (int divisor = 1; divisor <= 8; divisor *= 2) {
        const QSize scaled((size.width() + divisor - 1) / divisor, (size.height() + divisor - 1) / divisor);
        if (qint64(scaled.width()) * scaled.height() <= limit)
            return scaled;
    }
    return {};
}

// One libjpeg pass, which also tells whether the data ran out.
QImage decodeJpeg(const QByteArray& data, QSize size, QSize wanted, qint64 limit, const std::atomic<bool>* cancelled)
{
    // Qt tells no size for a header it cannot follow; libjpeg tells why.
    const QSize scaled = size.isValid() ? Jpeg::scaledSize(size, wanted, limit) : QSize();
    Jpeg::Decoded jpeg = Jpeg::decode(data, pool().take(scaled, QImage::Format_RGB32), wanted, limit, cancelled);
    if (jpeg.cutOff)
        Errors::raise(Errors::invalidPicture(QStringLiteral("the file is cut off")));
    if (jpeg.image.isNull())
        refuseAsTooLarge(size);
    QByteArray profile = jpeg.profile;
    if (profile.isEmpty() && !jpeg.cmyk && Exif::saysAdobeRgb(data))
        profile = QColorSpace(QColorSpace::AdobeRgb).iccProfile();
    return ColourProfile::inSrgb(std::move(jpeg.image), profile, jpeg.cmyk);
}

// Qt's readers: those that scale while decoding are asked to, the others
// decode whole within limit.
QImage decodeWithQt(QImageReader& reader, QSize size, QSize wanted, qint64 limit)
{
    QSize decoded = size;
    const bool scales = reader.supportsOption(QImageIOHandler::ScaledSize);
    if (size.isValid() && qint64(size.width()) * size.height() > limit) {
        decoded = decodedSize(size, limit);
        if (!decoded.isValid() || !scales)
            refuseAsTooLarge(size);
    }
    if (scales && wanted.isValid())
        decoded = decoded.boundedTo(size.scaled(wanted, Qt::KeepAspectRatioByExpanding));
    if (decoded != size)
        reader.setScaledSize(decoded);
    QImage image;
    if (decoded.isValid())
        image = pool().take(decoded, reader.imageFormat());
    if (!reader.read(&image) || image.isNull())
        Errors::raise(Errors::invalidPicture(reader.errorString()));
    return ColourProfile::inSrgb(std::move(image));
}

QImage upright(QImage image, QImageIOHandler::Transformations turn)
{
    if (turn == QImageIOHandler::TransformationRotate270)
        return image.transformed(QTransform().rotate(270));
    image = std::move(image).mirrored(turn & QImageIOHandler::TransformationMirror,
                                      turn & QImageIOHandler::TransformationFlip);
    return turn & QImageIOHandler::TransformationRotate90 ? image.transformed(QTransform().rotate(90)) : image;
}

QImage decodeRaster(const QByteArray& data, qint64 maxPixels, qint64 shownPixels, QSize shownAt,
                    const std::atomic<bool>* cancelled)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = checkedSize(reader, maxPixels);
    const QByteArray format = reader.format();
    if (!Completeness::isComplete(format, data))
        Errors::raise(Errors::invalidPicture(QStringLiteral("the file is cut off")));
    const QImageIOHandler::Transformations turn = reader.transformation();
    const bool sideways = turn & QImageIOHandler::TransformationRotate90;
    // Decoders work in the file's orientation.
    const QSize wanted = sideways ? shownAt.transposed() : shownAt;
    const qint64 limit = std::min(maxPixels, shownPixels);
    QImage image = format == "jpeg" ? decodeJpeg(data, size, wanted, limit, cancelled) : decodeWithQt(reader, size, wanted, limit);
    if (qint64(image.width()) * image.height() > limit)
        Errors::raise(Errors::invalidPicture(QStringLiteral("too large")));
    pool().keep(image);
    // What a reader could not bring down to the shown size is brought there
    // here, off the screen's thread.
    if (wanted.isValid() && (image.width() > wanted.width() || image.height() > wanted.height()))
        image = image.scaled(wanted.boundedTo(image.size()), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image = upright(std::move(image), turn);
    const QSize natural = sideways ? size.transposed() : size;
    if (size.isValid() && image.size() != natural)
        image.setText(naturalSizeKey, QStringLiteral("%1x%2").arg(natural.width()).arg(natural.height()));
    return image;
}

// Refuses what is no picture, or claims too many pixels, from its header: a
// large file named like a picture is never read whole for nothing. The
// length of data worth reading.
qint64 checkRasterHeader(const QByteArray& head, qint64 maxPixels)
{
    QBuffer buffer;
    buffer.setData(head);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // A header longer than the head leaves the size unknown until decoding.
    const QSize size = checkedSize(reader, maxPixels);
    return readLimit(reader.format(), head, size);
}

QImage loadFile(const QString& path, const std::atomic<bool>* cancelled, qint64 shownPixels, QSize shownAt,
                QByteArray* bytes)
{
    OpenFile file(path);
    QByteArray data;
    file.readInto(data, headLength);
    if (data.isEmpty())
        Errors::raise(Errors::invalidPicture(QStringLiteral("the file is empty")));
    if (Metafile::isWmf(data) || Metafile::isEmf(data)) {
        // The helper reads the file itself; a frame it would not draw is
        // refused without starting it.
        if (!Metafile::headerSize(data))
            Errors::raise(Errors::invalidPicture(QStringLiteral("the metafile's frame is empty")));
        QSize natural;
        QImage drawing = drawMetafile(path, std::min(Metafile::maxDrawnPixels, shownPixels), cancelled, &natural);
        if (natural != drawing.size())
            drawing.setText(naturalSizeKey, QStringLiteral("%1x%2").arg(natural.width()).arg(natural.height()));
        return drawing;
    }
    const qint64 limit = checkRasterHeader(data, Metafile::maxPixels);
    if (limit < data.size())
        data.truncate(qsizetype(limit));
    else
        file.readInto(data, limit - data.size());
    QImage image = decodeRaster(data, Metafile::maxPixels, shownPixels, shownAt, cancelled);
    if (bytes)
        *bytes = std::move(data);
    return image;
}

}

qint64 spareDecodeBytes() { return pool().spareBytes(); }

// HEIC, AVIF and JPEG XL are read by the program's own format plug-ins.
Q_IMPORT_PLUGIN(HeifPlugin)
Q_IMPORT_PLUGIN(JxlPlugin)

QImage loadPicture(const QString& path) { return loadFile(path, nullptr, Metafile::maxPixels, {}, nullptr); }

QImage loadPicture(const QString& path, const std::atomic<bool>* cancelled, qint64 shownPixels, QSize shownAt)
{
    return loadFile(path, cancelled, shownPixels, shownAt, nullptr);
}

QImage loadPictureWithData(const QString& path, QByteArray& data)
{
    data.clear();
    return loadFile(path, nullptr, Metafile::maxPixels, {}, &data);
}

QSize naturalSize(const QImage& picture)
{
    const QStringList sides = picture.text(naturalSizeKey).split(u'x');
    if (sides.size() != 2)
        return picture.size();
    return QSize(sides[0].toInt(), sides[1].toInt());
}

QImage decodePictureData(const QByteArray& data, qint64 maxPixels)
{
    if (Metafile::isWmf(data) || Metafile::isEmf(data))
        Errors::raise(Errors::invalidPicture(QStringLiteral("a metafile is drawn from its file")));
    const qint64 limit = checkRasterHeader(data.left(headLength), maxPixels);
    return decodeRaster(data.left(qsizetype(std::min<qint64>(limit, data.size()))), maxPixels, maxPixels, {}, nullptr);
}

qint64 decodingBytes(const PictureProbe& probe, QSize shownAt, qint64 shownPixels)
{
    const auto bytes = [](QSize size) { return size.isValid() ? qint64(size.width()) * size.height() * 4 : 0; };
    if (probe.metafile)
        return bytes(Metafile::drawnSize(probe.size, std::min(Metafile::maxDrawnPixels, shownPixels)));
    const qint64 limit = std::min(Metafile::maxPixels, shownPixels);
    const QSize decoded = probe.scalesWhileDecoding ? Jpeg::scaledSize(probe.size, shownAt, limit)
                                                    : decodedSize(probe.size, limit);
    // A picture decoded larger than it is shown is scaled down beside itself.
    const bool scaledAfter = shownAt.isValid() && (decoded.width() > shownAt.width() || decoded.height() > shownAt.height());
    return bytes(decoded) + (scaledAfter ? bytes(shownAt.boundedTo(decoded)) : 0);
}

void preparePictureReading()
{
    // Qt refuses pictures beyond a few hundred megabytes, which would refuse
    // some the loader accepts. The pixel count the loader checks is the real
    // bound; this only leaves room for 16-bit formats.
    QImageReader::setAllocationLimit(int(Metafile::maxPixels * 8 / (1024 * 1024)) + 1);
    QPluginLoader::staticInstances();
}

PictureProbe probePicture(const QString& path)
{
    QFile file;
    try {
        const int fd = FileSystem::openPlainFile(path);
        if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            return {};
        }
    } catch (const PxError&) {
        return {};
    }
    // Both metafile headers fit in the first 88 bytes.
    const QByteArray head = file.peek(88);
    if (Metafile::isWmf(head) || Metafile::isEmf(head)) {
        const std::optional<QSize> size = Metafile::headerSize(head);
        return size ? PictureProbe{true, *size, true} : PictureProbe{};
    }
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    if (!reader.canRead())
        return {};
    QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return {};
    const bool readable = decodable(reader.format(), size, Metafile::maxPixels);
    const bool scales = reader.format() == "jpeg";
    if (reader.transformation() & QImageIOHandler::TransformationRotate90)
        size.transpose();
    return {readable, size, false, scales};
}
