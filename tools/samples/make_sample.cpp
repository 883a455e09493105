// make_sample: writes one of the generated samples (also the tests' fixtures).
#include "samples/metafile_writer.h"
#include "samples/vivo_writer.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv); // ffmpeg runs through QProcess
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_sample wmf|emf|viv OUT\n");
        return 2;
    }
    QString why;
    QByteArray bytes;
    if (std::strcmp(argv[1], "wmf") == 0)
        bytes = MetafileWriter::wmf();
    else if (std::strcmp(argv[1], "emf") == 0)
        bytes = MetafileWriter::emf();
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
