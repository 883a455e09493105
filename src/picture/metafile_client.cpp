#include "picture/metafile_client.h"

#include "core/failure.h"
#include "picture/metafile_format.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QtEndian>

#include <csignal>
#include <cstring>
#include <sys/prctl.h>
#include <sys/resource.h>

QImage drawMetafile(const QString& path, const std::atomic<bool>* cancelled)
{
    const QString helper = QCoreApplication::applicationDirPath() + QStringLiteral("/pxmetafile");
    if (QCoreApplication::instance() == nullptr || !QFile::exists(helper))
        Errors::raise(Errors::invalidPicture(QStringLiteral("the metafile helper is missing")));

    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.setStandardErrorFile(QProcess::nullDevice());
    process.setChildProcessModifier([] {
        // Runs in the child between fork and exec: plain system calls only.
#ifndef __SANITIZE_ADDRESS__
        // AddressSanitizer reserves terabytes of address space at start, so
        // an instrumented helper would never start under this limit.
        const rlimit memory{rlim_t(3) << 30, rlim_t(3) << 30};
        ::setrlimit(RLIMIT_AS, &memory);
#endif
        const rlimit cpu{20, 20};
        ::setrlimit(RLIMIT_CPU, &cpu);
        const rlimit core{0, 0};
        ::setrlimit(RLIMIT_CORE, &core);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    });
    process.start(helper, {QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())});
    constexpr int timeLimitMs = 8000;
    if (!process.waitForStarted(timeLimitMs))
        Errors::raise(Errors::invalidPicture(QStringLiteral("the metafile helper did not start")));
    QElapsedTimer clock;
    clock.start();
    // Waited for in short steps, so that a cancel is seen at once.
    const int step = cancelled ? 10 : timeLimitMs;
    while (!process.waitForFinished(step) && process.state() != QProcess::NotRunning) {
        const bool unwanted = cancelled && cancelled->load();
        if (unwanted || clock.elapsed() >= timeLimitMs) {
            process.kill();
            process.waitForFinished(1000);
            Errors::raise(Errors::invalidPicture(unwanted ? QStringLiteral("the metafile is no longer wanted")
                                                          : QStringLiteral("drawing the metafile took too long")));
        }
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        Errors::raise(Errors::invalidPicture(QStringLiteral("cannot draw the metafile")));

    const QByteArray out = process.readAllStandardOutput();
    if (out.size() < 12 || !out.startsWith("PXMF"))
        Errors::raise(Errors::invalidPicture(QStringLiteral("cannot draw the metafile")));
    const qint64 w = qFromLittleEndian<quint32>(out.constData() + 4);
    const qint64 h = qFromLittleEndian<quint32>(out.constData() + 8);
    if (w < 1 || h < 1 || w * h > Metafile::maxPixels || out.size() != 12 + w * h * 4)
        Errors::raise(Errors::invalidPicture(QStringLiteral("cannot draw the metafile")));
    QImage image(int(w), int(h), QImage::Format_ARGB32);
    if (image.isNull())
        Errors::raise(Errors::invalidPicture(QStringLiteral("too large")));
    for (int y = 0; y < int(h); ++y)
        std::memcpy(image.scanLine(y), out.constData() + 12 + y * w * 4, size_t(w) * 4);
    return image.convertToFormat(QImage::Format_RGB32);
}
