#include "metafile/metafile_render.h"
#include "metafile/symbol_fonts.h"

#include <QPainter>
#include <QSvgRenderer>
#include <QtEndian>

#include <emf2svg.h>

#include <cmath>
#include <cstdlib>
#include <initializer_list>

// libemf2svg looks up the font of text given as glyph indices through
// fontconfig and then shuts fontconfig down, which aborts the process once
// Qt has drawn text (Qt still holds fontconfig's caches). Its calls come
// here instead: fontconfig stays up until the process ends.
extern "C" void FcFini() {}

namespace Metafile {

namespace {

QByteArray words(std::initializer_list<quint32> values)
{
    QByteArray out;
    for (const quint32 value : values) {
        char bytes[4];
        qToLittleEndian(value, bytes);
        out.append(bytes, 4);
    }
    return out;
}

// libemf2svg converts the header's description (UTF-16, found by a count and
// an offset) without checking that it lies within the header, and reads
// from the offset even when the count is 0. One that does not lie there is
// dropped: it is only a caption, never drawn.
void dropDescriptionOutsideHeader(QByteArray& emf)
{
    constexpr qsizetype countAt = 60, offsetAt = 64;
    if (emf.size() < offsetAt + 4)
        return;
    const quint64 header = qMin<quint64>(qFromLittleEndian<quint32>(emf.constData() + 4), quint64(emf.size()));
    const quint64 chars = qFromLittleEndian<quint32>(emf.constData() + countAt);
    const quint64 offset = qFromLittleEndian<quint32>(emf.constData() + offsetAt);
    const bool none = chars == 0 && offset == 0;
    if (none || (chars > 0 && offset >= offsetAt + 4 && offset + 2 * chars <= header))
        return;
    qToLittleEndian<quint32>(0, emf.data() + countAt);
    qToLittleEndian<quint32>(0, emf.data() + offsetAt);
}

// libemf2svg trusts the header's byte count and each record's size, and
// reads past its buffer when a record runs past the end of the file. A file
// whose records do not fit is damaged, as a cut-off WMF is; bytes after the
// end-of-file record are left out, a missing end-of-file record is added,
// and the header counts what the library gets.
bool keepWholeRecords(QByteArray& emf)
{
    constexpr quint32 endOfFile = 14;
    constexpr qsizetype bytesAt = 48, recordsAt = 52;
    qsizetype at = 0;
    quint32 records = 0;
    bool ended = false;
    while (!ended && at < emf.size()) {
        if (emf.size() - at < 8)
            return false;
        const quint32 type = qFromLittleEndian<quint32>(emf.constData() + at);
        const quint32 size = qFromLittleEndian<quint32>(emf.constData() + at + 4);
        if (size < 8 || size % 4 != 0 || size > quint64(emf.size() - at))
            return false;
        at += size;
        ++records;
        ended = type == endOfFile;
    }
    emf.truncate(at);
    if (!ended) {
        // nPalEntries 0, offPalEntries 16, nSizeLast 20.
        emf += words({endOfFile, 20u, 0u, 16u, 20u});
        ++records;
    }
    if (emf.size() < recordsAt + 4)
        return false;
    qToLittleEndian<quint32>(quint32(emf.size()), emf.data() + bytesAt);
    qToLittleEndian<quint32>(records, emf.data() + recordsAt);
    return true;
}

// A page starts with the white stock brush selected; libemf2svg fills with
// black until a brush is, so the library's copy selects it first.
void startWithWhiteBrush(QByteArray& emf)
{
    constexpr quint32 selectObject = 37, whiteBrush = 0x80000000;
    constexpr qsizetype bytesAt = 48, recordsAt = 52;
    emf.insert(qFromLittleEndian<quint32>(emf.constData() + 4), words({selectObject, 12u, whiteBrush}));
    qToLittleEndian<quint32>(quint32(emf.size()), emf.data() + bytesAt);
    qToLittleEndian<quint32>(qFromLittleEndian<quint32>(emf.constData() + recordsAt) + 1, emf.data() + recordsAt);
}

// libemf2svg places the picture by the header's bounds, the device pixels
// the drawing inks, which crops its margin and stretches what is drawn to
// fill the page. The frame (0.01 mm) is the picture's page; given as bounds
// in the reference device's pixels, it is what the library places instead.
void frameAsBounds(QByteArray& emf)
{
    constexpr qsizetype boundsAt = 8, frameAt = 24, deviceAt = 72, millimetresAt = 80;
    const auto s32 = [&](qsizetype at) { return double(qFromLittleEndian<qint32>(emf.constData() + at)); };
    const double pixelsPerMm[] = {s32(deviceAt) / s32(millimetresAt), s32(deviceAt + 4) / s32(millimetresAt + 4)};
    double bounds[4];
    for (int i = 0; i < 4; ++i) {
        bounds[i] = std::round(s32(frameAt + 4 * i) * pixelsPerMm[i % 2] / 100);
        if (!(pixelsPerMm[i % 2] > 0) || !(std::abs(bounds[i]) < 1e9))
            return;
    }
    if (!(bounds[2] > bounds[0] && bounds[3] > bounds[1]))
        return;
    for (int i = 0; i < 4; ++i)
        qToLittleEndian<qint32>(qint32(bounds[i]), emf.data() + boundsAt + 4 * i);
}

}

QImage renderEmf(const QByteArray& data, qint64 maxPixels, QSize* natural, QString* why)
{
    const std::optional<QSize> size = headerSize(data);
    if (!size) {
        *why = QStringLiteral("EMF file without a size");
        return {};
    }
    *natural = *size;
    const QSize drawn = drawnSize(*size, maxPixels);
    const qint64 w = drawn.width(), h = drawn.height();

    generatorOptions options{};
    // With a prefix the library closes some elements without it, which is not XML.
    options.nameSpace = const_cast<char*>("");
    options.verbose = false;
    // The EMF+ parser reads past its buffers on damaged records; every EMF+
    // file also carries plain EMF records, which are drawn instead.
    options.emfplus = false;
    options.svgDelimiter = true;
    options.imgWidth = double(w);
    options.imgHeight = double(h);
    QByteArray input = data;
    if (!keepWholeRecords(input)) {
        *why = QStringLiteral("damaged EMF file");
        return {};
    }
    dropDescriptionOutsideHeader(input);
    frameAsBounds(input);
    startWithWhiteBrush(input);
    char* svg = nullptr;
    size_t svgLength = 0;
    const int ok = emf2svg(input.data(), size_t(input.size()), &svg, &svgLength, &options);
    const QByteArray document = svgSymbolsAsUnicode(QByteArray(svg, svg ? qsizetype(svgLength) : 0));
    std::free(svg);
    if (!ok || document.isEmpty()) {
        *why = QStringLiteral("damaged EMF file");
        return {};
    }

    QSvgRenderer renderer(document);
    if (!renderer.isValid()) {
        *why = QStringLiteral("damaged EMF file");
        return {};
    }
    QImage image(int(w), int(h), QImage::Format_RGB32);
    if (image.isNull()) {
        *why = QStringLiteral("EMF picture too large");
        return {};
    }
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, w, h));
    painter.end();
    return image;
}

}
