// Times a settings read, the way the viewer reads them at every picture,
// from a settings file of 60 keys in a temporary folder.
#include "settings/settings_store.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

int main(int argc, char** argv)
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QCoreApplication app(argc, argv);
    for (int i = 0; i < 60; ++i)
        writeSetting(QStringLiteral("Key%1").arg(i), QStringLiteral("value number %1").arg(i));
    // A file changed within the last second is parsed at every read.
    QThread::sleep(2);
    constexpr int kReads = 100000;
    qsizetype total = 0;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kReads; ++i)
        total += readSetting(QStringLiteral("key%1").arg(i % 60)).size();
    std::printf("readSetting: %.2f us a read (%lld characters read)\n", timer.nsecsElapsed() / 1e3 / kReads,
                static_cast<long long>(total));
    return 0;
}
