#include "movie/mpv_version.h"

#include <mpv/client.h>

QString mpvVersion()
{
    const unsigned long version = mpv_client_api_version();
    return QString::number(version >> 16) + QLatin1Char('.') + QString::number(version & 0xffff);
}
