#include "support/test_files.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTest>
#include <QtEndian>

#include <cstdio>

#include <jpeglib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

void savePicture(const QString& path, QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QVERIFY(image.save(path));
}

void savePlainJpeg(const QString& path, QSize size, QColor colour)
{
    FILE* out = std::fopen(QFile::encodeName(path).constData(), "wb");
    QVERIFY(out);
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, out);
    info.image_width = JDIMENSION(size.width());
    info.image_height = JDIMENSION(size.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_start_compress(&info, TRUE);
    QByteArray row = (QByteArray(1, char(colour.red())) + char(colour.green()) + char(colour.blue())).repeated(size.width());
    JSAMPROW rows[] = {reinterpret_cast<JSAMPLE*>(row.data())};
    while (info.next_scanline < info.image_height)
        jpeg_write_scanlines(&info, rows, 1);
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(out);
}

qint64 procStatusBytes(const char* field)
{
    for (const QByteArray& line : fileBytes("/proc/self/status").split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLongLong() * 1024;
    qFatal("no %s in /proc/self/status", field);
}

QString savePictures(const QString& folder, const QStringList& names, QSize size)
{
    for (int i = 0; i < names.size(); ++i)
        savePicture(folder + "/" + names[i], size, QColor::fromHsv(i * 50, 255, 255));
    return folder;
}

namespace {
QByteArray littleEndian(auto value)
{
    QByteArray bytes(sizeof value, 0);
    qToLittleEndian(value, bytes.data());
    return bytes;
}

// jpeg with an EXIF segment after its start marker, whose TIFF data holds ifds.
QByteArray withExif(const QByteArray& jpeg, const QByteArray& ifds)
{
    const QByteArray exif = QByteArrayLiteral("Exif\0\0II*\0") + littleEndian(quint32(8)) + ifds;
    const int length = int(exif.size()) + 2; // big-endian, unlike the TIFF inside
    return jpeg.left(2) + QByteArrayLiteral("\xFF\xE1") + char(length >> 8) + char(length & 0xff) + exif + jpeg.mid(2);
}

QByteArray ifdEntry(quint16 tag, quint16 type, quint32 count, quint32 value)
{
    return littleEndian(tag) + littleEndian(type) + littleEndian(count) + littleEndian(value);
}
}

QByteArray withOrientation(const QByteArray& jpeg, quint16 orientation)
{
    return withExif(jpeg, littleEndian(quint16(1)) + ifdEntry(0x0112, 3, 1, orientation) + littleEndian(quint32(0)));
}

QByteArray withColourSpace(const QByteArray& jpeg, quint16 colourSpace, const QByteArray& interopIndex)
{
    // The first directory at 8 points to the EXIF one at 26, which points
    // to the interoperability one at 56.
    const QByteArray first = littleEndian(quint16(1)) + ifdEntry(0x8769, 4, 1, 26) + littleEndian(quint32(0));
    const QByteArray exif = littleEndian(quint16(2)) + ifdEntry(0xA001, 3, 1, colourSpace)
        + ifdEntry(0xA005, 4, 1, 56) + littleEndian(quint32(0));
    const QByteArray interop = littleEndian(quint16(1)) + ifdEntry(0x0001, 2, 4, qFromLittleEndian<quint32>(interopIndex.leftJustified(4, '\0').constData()))
        + littleEndian(quint32(0));
    return withExif(jpeg, first + exif + interop);
}

double meanDifference(QImage a, QImage b)
{
    a.convertTo(QImage::Format_RGB32);
    b.convertTo(QImage::Format_RGB32);
    if (a.size() != b.size())
        return 255;
    qint64 sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return double(sum) / (3.0 * a.width() * a.height());
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
}

QByteArray encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 90);
    return bytes;
}

QStringList logLines(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

bool makeClip(const QString& path, const QString& source, int seconds)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), {"-loglevel", "error", "-y", "-f", "lavfi", "-i", source, "-t",
                                            QString::number(seconds), path});
    return ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0;
}

bool inChildProcesses(const QList<std::function<bool()>>& checks, bool asOrdinaryUser)
{
    QList<pid_t> children;
    for (const auto& check : checks) {
        const pid_t child = ::fork();
        if (child == 0) {
            if (asOrdinaryUser && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
                ::_exit(2);
            ::_exit(check() ? 0 : 1);
        }
        children.append(child);
    }
    bool all = true;
    for (pid_t child : children) {
        int status = -1;
        all = ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0 && all;
    }
    return all;
}

bool setMode(const QString& path, int mode) { return ::chmod(QFile::encodeName(path).constData(), mode) == 0; }
