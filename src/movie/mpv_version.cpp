#include "movie/mpv_version.h"

#include "movie/mpv_library.h"

void whenMpvVersionKnown(QObject* receiver, std::function<void(const QString&)> known)
{
    MpvLibrary::whenLoaded(receiver, [known = std::move(known)](const MpvApi* api) {
        if (!api) {
            known(QStringLiteral("not available"));
            return;
        }
        const unsigned long version = api->mpv_client_api_version();
        known(QString::number(version >> 16) + QLatin1Char('.') + QString::number(version & 0xffff));
    });
}
