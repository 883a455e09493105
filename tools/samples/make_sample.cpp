// make_sample: writes one of the generated samples (also the tests' fixtures).
#include "samples/metafile_writer.h"
#include "samples/vivo_writer.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv); // ffmpeg runs through QProcess
    const bool metafile = argc >= 2 && (std::strcmp(argv[1], "wmf") == 0 || std::strcmp(argv[1], "emf") == 0);
    if (argc != 3 && !(metafile && argc == 5)) {
        std::fprintf(stderr, "usage: make_sample wmf|emf|viv|emf-margin|emf-symbols|emf-plus|emf-plus-dual|wmf-records OUT\n"
                             "       make_sample wmf|emf OUT WIDTH HEIGHT   (pixels at 96 DPI)\n");
        return 2;
    }
    QSize size = MetafileWriter::drawingSize;
    if (argc == 5) {
        bool okW = false, okH = false;
        size = QSize(QByteArray(argv[3]).toInt(&okW), QByteArray(argv[4]).toInt(&okH));
        if (!okW || !okH || size.isEmpty()) {
            std::fprintf(stderr, "make_sample: WIDTH and HEIGHT must be positive numbers\n");
            return 2;
        }
    }
    QString why;
    QByteArray bytes;
    if (std::strcmp(argv[1], "wmf") == 0)
        // Logical units of 1/1440 inch overflow 16 bits beyond 2184 pixels.
        bytes = MetafileWriter::wmf(size, std::max(size.width(), size.height()) > 2184 ? 96 : 1440);
    else if (std::strcmp(argv[1], "emf") == 0)
        bytes = MetafileWriter::emf(size);
    else if (std::strcmp(argv[1], "emf-margin") == 0)
        bytes = MetafileWriter::emfWithMargin();
    else if (std::strcmp(argv[1], "emf-symbols") == 0)
        bytes = MetafileWriter::emfText(QStringLiteral("Symbol"), QString::fromUtf16(u"a\u00B3\uF0B3\uF0E6\uF0FF"));
    else if (std::strcmp(argv[1], "emf-plus") == 0)
        bytes = MetafileWriter::emfPlusPage();
    else if (std::strcmp(argv[1], "emf-plus-dual") == 0)
        bytes = MetafileWriter::emfWithBadEmfPlus();
    else if (std::strcmp(argv[1], "wmf-records") == 0)
        bytes = MetafileWriter::wmfOfEveryKind();
    else if (std::strcmp(argv[1], "viv") == 0)
        bytes = VivoWriter::testClip(&why);
    else
        why = QStringLiteral("unknown kind %1").arg(QString::fromLocal8Bit(argv[1]));
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (!bytes.isEmpty() && (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size()))
        why = out.errorString();
    if (bytes.isEmpty() || !why.isEmpty()) {
        std::fprintf(stderr, "make_sample: %s\n", qPrintable(why));
        return 1;
    }
    return 0;
}
