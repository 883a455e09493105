// pxmetafile FILE MAXPIXELS: draws one WMF or EMF file (FILE "-": the file
// open as standard input) at its header size,
// shrunk in proportion to at most MAXPIXELS pixels, and writes to stdout
// "PXMF", the drawn width and height, the natural (header) width and height
// (each 32-bit little endian) and then width*height pixels as 0xffRRGGBB
// words, line by line. The viewer runs it as a child process so that a fault
// in the metafile libraries ends this process and not the viewer, and reads
// the pixels straight into its own picture.
#include "metafile/metafile_render.h"

#include <QFile>
#include <QGuiApplication>
#include <QtEndian>

#include <cstdio>
#include <cstring>
#include <fcntl.h>
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
    bool numeric = false;
    const qint64 maxPixels = argc == 3 ? QByteArray(argv[2]).toLongLong(&numeric) : 0;
    if (argc != 3 || !numeric || maxPixels < 1)
        return fail(QStringLiteral("usage: pxmetafile FILE MAXPIXELS"));

    // The name is used as the bytes it came as: it need not be valid text.
    const bool fromInput = std::strcmp(argv[1], "-") == 0;
    const int fd = fromInput ? STDIN_FILENO : ::open(argv[1], O_RDONLY | O_CLOEXEC);
    QFile file;
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return fail(QStringLiteral("cannot open the file"));
    // Real metafiles are small; a huge one is not worth the memory.
    if (file.size() > 256 * 1024 * 1024)
        return fail(QStringLiteral("file too large"));
    const QByteArray data = file.readAll();

    QString why;
    QSize natural;
    QImage image = Metafile::render(data, maxPixels, &natural, &why);
    if (image.isNull())
        return fail(why.isEmpty() ? QStringLiteral("cannot draw the metafile") : why);

    // Both renderers draw opaque RGB32 already: no copy.
    image = image.convertToFormat(QImage::Format_RGB32);
    char header[20] = {'P', 'X', 'M', 'F'};
    const quint32 w = quint32(image.width());
    const quint32 sizes[] = {w, quint32(image.height()), quint32(natural.width()), quint32(natural.height())};
    for (int i = 0; i < 4; ++i)
        qToLittleEndian(sizes[i], header + 4 + 4 * i);
    if (!writeAll(header, sizeof header))
        return 3;
    for (int y = 0; y < image.height(); ++y)
        if (!writeAll(reinterpret_cast<const char*>(image.constScanLine(y)), qint64(w) * 4))
            return 3;
    return 0;
}
