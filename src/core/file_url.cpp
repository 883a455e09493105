#include "core/file_url.h"

#include "core/file_name.h"

QUrl FileUrl::fromPath(const QString& path)
{
    return QUrl::fromEncoded("file://" + FileName::toBytes(path).toPercentEncoding("/"), QUrl::StrictMode);
}

std::optional<QString> FileUrl::toPath(const QUrl& url)
{
    if (!url.isLocalFile())
        return std::nullopt;
    const QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    if (bytes.isEmpty())
        return std::nullopt;
    return FileName::fromBytes(bytes);
}
