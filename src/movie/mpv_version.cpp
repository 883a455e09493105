#include "movie/mpv_version.h"

#include "jobs/cross_thread.h"
#include "movie/mpv_library.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThreadPool>

void whenMpvVersionKnown(QObject* receiver, std::function<void(const QString&)> known)
{
    CrossThread::start(*QThreadPool::globalInstance(), [guard = QPointer<QObject>(receiver), known = std::move(known)]() mutable {
        const MpvApi* api = MpvLibrary::load();
        QString version = QStringLiteral("not available");
        if (api) {
            const unsigned long number = api->mpv_client_api_version();
            version = QString::number(number >> 16) + QLatin1Char('.') + QString::number(number & 0xffff);
        }
        // Posted to the application, which outlives the receiver.
        CrossThread::post(qApp, [guard = std::move(guard), known = std::move(known), version] {
            if (guard)
                known(version);
        });
    });
}
