#include "support/fuse_mount.h"

#include <QFile>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {
// A mount point shows another device than its parent folder once mounted.
bool mounted(const QString& mountPoint)
{
    struct stat inside {}, parent {};
    return ::stat(QFile::encodeName(mountPoint).constData(), &inside) == 0
        && ::stat(QFile::encodeName(mountPoint + "/..").constData(), &parent) == 0 && inside.st_dev != parent.st_dev;
}
}

FuseMount::FuseMount(const QString& program, const QStringList& arguments, const QString& mountPoint)
{
    if (::access("/dev/fuse", R_OK | W_OK) != 0) {
        why_ = QStringLiteral("no usable /dev/fuse: cannot mount %1").arg(program);
        return;
    }
    process.start(QStringLiteral(PIXALTO_BUILD_DIR "/") + program, arguments);
    if (!process.waitForStarted()) {
        why_ = process.errorString();
        return;
    }
    const bool up = QTest::qWaitFor(
        [&] { return mounted(mountPoint) || process.state() == QProcess::NotRunning; }, 20000);
    if (!up || !mounted(mountPoint))
        why_ = QStringLiteral("the kernel refused the mount: ") + QString::fromLocal8Bit(process.readAllStandardError());
}

FuseMount::~FuseMount()
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    process.waitForFinished();
}
