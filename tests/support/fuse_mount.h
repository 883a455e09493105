#pragma once
#include <QProcess>
#include <QString>
#include <QStringList>

// A file system program of the build, mounted for one test and unmounted
// when the object goes. ready() is false, with why() saying so, when the
// machine cannot mount one (no usable /dev/fuse, the kernel refuses).
class FuseMount {
public:
    // program: a file name in the build folder; arguments: its own, the
    // mount point among them.
    FuseMount(const QString& program, const QStringList& arguments, const QString& mountPoint);
    ~FuseMount();
    FuseMount(const FuseMount&) = delete;
    FuseMount& operator=(const FuseMount&) = delete;

    bool ready() const { return why_.isEmpty(); }
    QString why() const { return why_; }

private:
    QProcess process;
    QString why_;
};

// Skips the test when the mount is not ready.
#define REQUIRE_MOUNTED(mount)                                                                                   \
    do {                                                                                                         \
        if (!(mount).ready())                                                                                    \
            QSKIP(qPrintable((mount).why()));                                                                    \
    } while (false)
