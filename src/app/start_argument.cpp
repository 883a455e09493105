#include "app/start_argument.h"

#include "core/file_name.h"
#include "core/file_url.h"

QString startArgumentPath(QByteArrayView argument)
{
    if (argument.size() >= 5 && argument.first(5).compare("file:", Qt::CaseInsensitive) == 0) {
        if (const auto path = FileUrl::toPath(QUrl::fromEncoded(argument.toByteArray())))
            return *path;
    }
    return FileName::fromBytes(argument);
}
