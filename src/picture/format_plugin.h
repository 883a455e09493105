#pragma once
#include <QImageIOPlugin>
#include <QList>

// What the program's own format plug-ins answer Qt: each reads its own
// formats, and whatever data its handler recognises.
template <typename Handler>
QImageIOPlugin::Capabilities readCapabilities(QIODevice* device, const QByteArray& format,
                                              const QList<QByteArray>& keys)
{
    if (keys.contains(format))
        return QImageIOPlugin::CanRead;
    if (!format.isEmpty() || !device || !device->isOpen())
        return {};
    return Handler::canRead(device) ? QImageIOPlugin::CanRead : QImageIOPlugin::Capabilities();
}

template <typename Handler>
QImageIOHandler* readHandler(QIODevice* device, const QByteArray& format, const QByteArray& fallback)
{
    auto* handler = new Handler;
    handler->setDevice(device);
    handler->setFormat(format.isEmpty() ? fallback : format);
    return handler;
}
