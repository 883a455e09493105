#pragma once
#include "picture/codec_table.h"

#include <QImageIOHandler>
#include <QImageIOPlugin>

// HEIF (HEIC, AVIF) and JPEG XL as Qt image formats of the program's own, so
// that every reader of pictures (the loader, the probe, the info list) takes
// them as any other format. The decoders are in the codec module; a file is
// not handed to it unless its first bytes have the format's signature, so
// that telling other files apart never opens the module.
struct ModuleFormat {
    QByteArray name;
    QList<QByteArray> keys;
    // How much of the file start tells its size.
    qint64 headForSize;
    bool (*hasSignature)(const QByteArray& head);
    bool (*CodecTable::*canRead)(const QByteArray& head);
    QSize (*CodecTable::*size)(const QByteArray& head, qint64 fileSize);
    bool (*CodecTable::*read)(const QByteArray& data, QImage* image);
};

class ModuleFormatHandler : public QImageIOHandler {
public:
    explicit ModuleFormatHandler(const ModuleFormat& format) : format_(format) {}
    bool canRead() const override;
    bool read(QImage* image) override;
    QVariant option(ImageOption option) const override;
    bool supportsOption(ImageOption option) const override;
    static bool canRead(const ModuleFormat& format, QIODevice* device);

private:
    const ModuleFormat& format_;
};

class HeifPlugin : public QImageIOPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "heif_plugin.json")
public:
    Capabilities capabilities(QIODevice* device, const QByteArray& format) const override;
    QImageIOHandler* create(QIODevice* device, const QByteArray& format) const override;
};

class JxlPlugin : public QImageIOPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "jxl_plugin.json")
public:
    Capabilities capabilities(QIODevice* device, const QByteArray& format) const override;
    QImageIOHandler* create(QIODevice* device, const QByteArray& format) const override;
};
