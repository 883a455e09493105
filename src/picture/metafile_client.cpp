#include "picture/metafile_client.h"

#include "core/failure.h"
#include "core/file_system.h"
#include "core/program_info.h"
#include "picture/metafile_format.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QtEndian>

#include <algorithm>
#include <climits>
#include <csignal>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

// GCC names a sanitizer build with a macro, clang as a feature.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define SHADOW_SANITIZED 1
#elif defined(__has_feature)
#define SHADOW_SANITIZED (__has_feature(address_sanitizer) || __has_feature(thread_sanitizer))
#else
#define SHADOW_SANITIZED 0
#endif

namespace {

[[noreturn]] void refuse(const QString& why) { Errors::raise(Errors::invalidPicture(why)); }

// Takes the helper's output as it comes: the header, then the pixels read
// straight into the picture, which is allocated once the header is known.
class Receiver {
public:
    explicit Receiver(qint64 maxPixels) : maxPixels(maxPixels) {}

    void take(QProcess& process)
    {
        while (process.bytesAvailable() > 0) {
            if (header.size() < headerLength) {
                header += process.read(headerLength - header.size());
                if (header.size() == headerLength)
                    allocate();
                continue;
            }
            const qint64 room = image.sizeInBytes() - filled;
            if (room == 0)
                refuse(QStringLiteral("the metafile helper wrote too much"));
            filled += process.read(reinterpret_cast<char*>(image.bits()) + filled, room);
        }
    }
    bool complete() const { return !image.isNull() && filled == image.sizeInBytes(); }
    QImage picture() const { return image; }
    QSize natural() const { return naturalSize; }

private:
    static constexpr qsizetype headerLength = 20;

    void allocate()
    {
        auto field = [this](int i) { return qint64(qFromLittleEndian<quint32>(header.constData() + 4 + 4 * i)); };
        const qint64 w = field(0), h = field(1);
        naturalSize = QSize(int(std::min<qint64>(field(2), INT_MAX)), int(std::min<qint64>(field(3), INT_MAX)));
        if (!header.startsWith("PXMF") || w < 1 || h < 1 || w * h > maxPixels || naturalSize.isEmpty())
            refuse(QStringLiteral("cannot draw the metafile"));
        // The helper draws opaque 0xffRRGGBB words, which is this format as is.
        image = QImage(int(w), int(h), QImage::Format_RGB32);
        if (image.isNull())
            refuse(QStringLiteral("too large"));
    }

    const qint64 maxPixels;
    QByteArray header;
    QImage image;
    QSize naturalSize;
    qint64 filled = 0;
};

}

QImage drawMetafile(const QString& path, qint64 maxPixels, const std::atomic<bool>* cancelled, QSize* natural,
                    int timeLimitMs)
{
    const QString helper = ProgramInfo::besideProgram(QStringLiteral("pxmetafile"));
    if (QCoreApplication::instance() == nullptr || !QFile::exists(helper))
        refuse(QStringLiteral("the metafile helper is missing"));

    // The helper reads the file as its standard input: a name that is not
    // valid text cannot pass through an argument list.
    const int input = FileSystem::openPlainFile(path);
    const auto closeInput = qScopeGuard([input] { ::close(input); });
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.setStandardErrorFile(QProcess::nullDevice());
    process.setChildProcessModifier([input] {
        // Runs in the child between fork and exec: plain system calls only.
        ::dup2(input, STDIN_FILENO);
#if !SHADOW_SANITIZED
        // The address and thread sanitizers reserve terabytes of address space at start, so
        // an instrumented helper would never start under this limit.
        const rlimit memory{rlim_t(3) << 30, rlim_t(3) << 30};
        ::setrlimit(RLIMIT_AS, &memory);
#endif
        const rlimit cpu{20 * metafileSlowdown, 20 * metafileSlowdown};
        ::setrlimit(RLIMIT_CPU, &cpu);
        const rlimit core{0, 0};
        ::setrlimit(RLIMIT_CORE, &core);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    });
    process.start(helper, {QStringLiteral("-"), QString::number(maxPixels)});
    if (!process.waitForStarted(timeLimitMs))
        refuse(QStringLiteral("the metafile helper did not start"));
    QElapsedTimer clock;
    clock.start();
    // Read while the helper writes, so that its output never piles up in a
    // buffer of its own; in short steps, so that a cancel is seen at once.
    Receiver receiver(maxPixels);
    const int step = cancelled ? 10 : 100;
    while (process.state() != QProcess::NotRunning) {
        process.waitForReadyRead(step);
        receiver.take(process);
        const bool unwanted = cancelled && cancelled->load();
        if (unwanted || clock.elapsed() >= timeLimitMs) {
            process.kill();
            process.waitForFinished(1000);
            refuse(unwanted ? QStringLiteral("the metafile is no longer wanted")
                            : QStringLiteral("drawing the metafile took too long"));
        }
    }
    receiver.take(process);
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 || !receiver.complete())
        refuse(QStringLiteral("cannot draw the metafile"));
    if (natural)
        *natural = receiver.natural();
    return receiver.picture();
}
