// pxmetafile: draws one WMF or EMF file and writes the picture to stdout as
// "PXMF", width and height (32-bit little endian) and then width*height
// ARGB32 pixels. The viewer runs it as a child process so that a fault in the
// metafile libraries ends this process and not the viewer.
#include "metafile_render.h"

#include <QFile>
#include <QGuiApplication>

#include <cstdio>
#include <unistd.h>

namespace {

bool writeAll(const char* data, qint64 size)
{
    while (size > 0) {
        ssize_t n = ::write(STDOUT_FILENO, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

int fail(const QString& why)
{
    std::fprintf(stderr, "%s\n", why.toLocal8Bit().constData());
    return 2;
}

}

int main(int argc, char** argv)
{
    // Text in the drawings needs the font database, but never a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2)
        return fail(QStringLiteral("usage: pxmetafile FILE"));

    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    // Real metafiles are small; a huge one is not worth the memory.
    if (file.size() > 256 * 1024 * 1024)
        return fail(QStringLiteral("file too large"));
    const QByteArray data = file.readAll();

    QString why;
    QImage image;
    if (Metafile::isEmf(data))
        image = Metafile::renderEmf(data, &why);
    else if (Metafile::isWmf(data))
        image = Metafile::renderWmf(data, &why);
    else
        why = QStringLiteral("not a metafile");
    if (image.isNull())
        return fail(why.isEmpty() ? QStringLiteral("cannot draw the metafile") : why);

    image = image.convertToFormat(QImage::Format_ARGB32);
    unsigned char header[12] = {'P', 'X', 'M', 'F'};
    const quint32 w = quint32(image.width()), h = quint32(image.height());
    for (int i = 0; i < 4; ++i) {
        header[4 + i] = (w >> (8 * i)) & 0xff;
        header[8 + i] = (h >> (8 * i)) & 0xff;
    }
    if (!writeAll(reinterpret_cast<const char*>(header), sizeof header))
        return 3;
    for (int y = 0; y < image.height(); ++y)
        if (!writeAll(reinterpret_cast<const char*>(image.constScanLine(y)), qint64(w) * 4))
            return 3;
    return 0;
}
