#include "picture/apng_frames.h"

#include "picture/animation_frames.h"

#include <QColorSpace>
#include <QPainter>
#include <QtEndian>

#include <array>

namespace {

constexpr QByteArrayView signature("\x89PNG\r\n\x1a\n", 8);
constexpr qint64 maxCanvasPixels = 4096 * 4096;
constexpr int maxFrames = 10000;

enum Dispose { DisposeNone = 0, DisposeBackground = 1, DisposePrevious = 2 };
enum Blend { BlendSource = 0 };

quint32 crc(const QByteArray& bytes)
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xedb88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    quint32 c = 0xffffffffu;
    for (const char byte : bytes)
        c = table[(c ^ quint8(byte)) & 0xff] ^ (c >> 8);
    return c ^ 0xffffffffu;
}

QByteArray bigEndian(quint32 value)
{
    QByteArray bytes(4, Qt::Uninitialized);
    qToBigEndian(value, bytes.data());
    return bytes;
}

QByteArray chunk(const QByteArray& type, const QByteArray& body)
{
    const QByteArray typed = type + body;
    return bigEndian(quint32(body.size())) + typed + bigEndian(crc(typed));
}

quint32 read32(const QByteArray& bytes, qsizetype at) { return qFromBigEndian<quint32>(bytes.constData() + at); }
quint16 read16(const QByteArray& bytes, qsizetype at) { return qFromBigEndian<quint16>(bytes.constData() + at); }

}

std::unique_ptr<ApngFrames> ApngFrames::parse(const QByteArray& data)
{
    if (!data.startsWith(signature))
        return nullptr;
    std::unique_ptr<ApngFrames> apng(new ApngFrames);
    QSize canvasSize;
    bool animated = false;
    Control* current = nullptr;
    for (qsizetype at = signature.size(); at + 12 <= data.size();) {
        const qint64 length = read32(data, at);
        if (length > data.size() - at - 12)
            return nullptr;
        const QByteArray type = data.mid(at + 4, 4);
        const QByteArray body = data.mid(at + 8, qsizetype(length));
        at += 12 + length;
        if (type == "IHDR" && body.size() == 13) {
            const qint64 width = read32(body, 0), height = read32(body, 4);
            if (width > maxCanvasPixels || height > maxCanvasPixels || width * height > maxCanvasPixels)
                return nullptr;
            canvasSize = QSize(int(read32(body, 0)), int(read32(body, 4)));
            apng->header = body.mid(8);
        } else if (type == "acTL" && body.size() == 8) {
            animated = true;
            apng->playsLeft = read32(body, 4) == 0 ? -1 : int(std::min<quint32>(read32(body, 4), 1000)) - 1;
        } else if (type == "fcTL" && body.size() == 26) {
            if (apng->frames.size() >= maxFrames)
                return nullptr;
            // Within the canvas, checked before any sum can overflow.
            const qint64 width = read32(body, 4), height = read32(body, 8), x = read32(body, 12), y = read32(body, 16);
            if (width == 0 || height == 0 || x + width > canvasSize.width() || y + height > canvasSize.height())
                return nullptr;
            const quint16 num = read16(body, 20), den = read16(body, 22);
            const int delay = int(qint64(num) * 1000 / (den == 0 ? 100 : den));
            apng->frames.append({QRect(int(x), int(y), int(width), int(height)), shownFrameDelay(delay),
                                 quint8(body[24]), quint8(body[25]), {}});
            current = &apng->frames.last();
        } else if (type == "IDAT" && current) {
            current->data += body;
        } else if (type == "fdAT" && current && body.size() > 4) {
            current->data += body.mid(4);
        } else if (type == "PLTE" || type == "tRNS" || type == "gAMA" || type == "cHRM" || type == "sRGB"
                   || type == "iCCP") {
            apng->shared += chunk(type, body);
        } else if (type == "IEND") {
            break;
        }
    }
    if (!animated || apng->frames.size() < 2 || apng->header.size() != 5 || canvasSize.isEmpty())
        return nullptr;
    for (const Control& frame : apng->frames)
        if (frame.data.isEmpty())
            return nullptr;
    apng->canvas = QImage(canvasSize, QImage::Format_ARGB32_Premultiplied);
    if (apng->canvas.isNull())
        return nullptr;
    apng->canvas.fill(Qt::transparent);
    return apng;
}

bool ApngFrames::announcesAnimation(QIODevice& file)
{
    if (file.read(signature.size()) != signature)
        return false;
    for (;;) {
        const QByteArray head = file.read(8);
        if (head.size() != 8)
            return false;
        const QByteArray type = head.mid(4);
        if (type == "acTL")
            return true;
        if (type == "IDAT" || type == "IEND" || !file.seek(file.pos() + read32(head, 0) + 4))
            return false;
    }
}

ApngFrames::Frame ApngFrames::next()
{
    if (at == frames.size()) {
        if (playsLeft == 0)
            return {};
        if (playsLeft > 0)
            --playsLeft;
        at = 0;
        canvas.fill(Qt::transparent);
    }
    const Control& frame = frames[at++];
    const QByteArray png = QByteArray(signature.data(), signature.size())
        + chunk("IHDR", bigEndian(quint32(frame.area.width())) + bigEndian(quint32(frame.area.height())) + header)
        + shared + chunk("IDAT", frame.data) + chunk("IEND", {});
    const QImage image = QImage::fromData(png, "png");
    if (image.isNull())
        return {};
    if (frame.dispose == DisposePrevious)
        saved = canvas.copy(frame.area);
    {
        QPainter painter(&canvas);
        if (frame.blend == BlendSource)
            painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(frame.area.topLeft(), image);
    }
    Frame shown{canvas.convertToFormat(QImage::Format_ARGB32), frame.delayMs};
    shown.image.setColorSpace(image.colorSpace());
    // What the frame leaves behind for the next one.
    QPainter painter(&canvas);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (frame.dispose == DisposeBackground)
        painter.fillRect(frame.area, Qt::transparent);
    else if (frame.dispose == DisposePrevious && !saved.isNull())
        painter.drawImage(frame.area.topLeft(), saved);
    return shown;
}
