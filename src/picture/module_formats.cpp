#include "picture/module_formats.h"

#include <QIODevice>
#include <QVariant>

namespace {
// An ISO media file ("ftyp" box first), as HEIF files are; which of its
// brands libheif decodes is the module's to say.
bool isoMediaSignature(const QByteArray& head) { return head.size() >= 12 && head.mid(4, 4) == "ftyp"; }

// A bare codestream, or the container's signature box.
bool jxlSignature(const QByteArray& head)
{
    return head.startsWith("\xff\x0a") || head.startsWith(QByteArray("\0\0\0\x0cJXL \x0d\x0a\x87\x0a", 12));
}

// The size box of the primary picture is in the file's meta box, which
// writers put before the picture's data; a file whose meta box lies further
// in tells its size only when it is decoded.
const ModuleFormat kHeif{"heif",
                         {"heif", "heic", "avif"},
                         256 * 1024,
                         isoMediaSignature,
                         &CodecTable::heifCanRead,
                         &CodecTable::heifSize,
                         &CodecTable::heifRead};
// The basic information sits at the start of the codestream.
const ModuleFormat kJxl{"jxl", {"jxl"}, 64 * 1024, jxlSignature, &CodecTable::jxlCanRead, &CodecTable::jxlSize,
                        &CodecTable::jxlRead};

QImageIOPlugin::Capabilities capabilitiesOf(const ModuleFormat& own, QIODevice* device, const QByteArray& format)
{
    if (own.keys.contains(format))
        return QImageIOPlugin::CanRead;
    if (!format.isEmpty() || !device || !device->isOpen())
        return {};
    return ModuleFormatHandler::canRead(own, device) ? QImageIOPlugin::CanRead : QImageIOPlugin::Capabilities();
}

QImageIOHandler* handlerOf(const ModuleFormat& own, QIODevice* device, const QByteArray& format)
{
    auto* handler = new ModuleFormatHandler(own);
    handler->setDevice(device);
    handler->setFormat(format.isEmpty() ? own.name : format);
    return handler;
}
}

bool ModuleFormatHandler::canRead(const ModuleFormat& format, QIODevice* device)
{
    const QByteArray head = device ? device->peek(12) : QByteArray();
    if (!format.hasSignature(head))
        return false;
    const CodecTable* table = codecTable();
    return table && (table->*format.canRead)(head);
}

bool ModuleFormatHandler::canRead() const
{
    if (!canRead(format_, device()))
        return false;
    setFormat(format_.name);
    return true;
}

bool ModuleFormatHandler::read(QImage* image)
{
    const QByteArray data = device()->readAll();
    const CodecTable* table = format_.hasSignature(data.left(12)) ? codecTable() : nullptr;
    return table && (table->*format_.read)(data, image);
}

QVariant ModuleFormatHandler::option(ImageOption option) const
{
    if (option != Size)
        return {};
    const QByteArray head = device()->peek(format_.headForSize);
    const CodecTable* table = format_.hasSignature(head.left(12)) ? codecTable() : nullptr;
    if (!table)
        return {};
    const QSize size = (table->*format_.size)(head, device()->size());
    return size.isValid() ? QVariant(size) : QVariant();
}

bool ModuleFormatHandler::supportsOption(ImageOption option) const { return option == Size; }

QImageIOPlugin::Capabilities HeifPlugin::capabilities(QIODevice* device, const QByteArray& format) const
{
    return capabilitiesOf(kHeif, device, format);
}

QImageIOHandler* HeifPlugin::create(QIODevice* device, const QByteArray& format) const
{
    return handlerOf(kHeif, device, format);
}

QImageIOPlugin::Capabilities JxlPlugin::capabilities(QIODevice* device, const QByteArray& format) const
{
    return capabilitiesOf(kJxl, device, format);
}

QImageIOHandler* JxlPlugin::create(QIODevice* device, const QByteArray& format) const
{
    return handlerOf(kJxl, device, format);
}
