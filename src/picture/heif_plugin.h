#pragma once
#include <QImageIOHandler>
#include <QImageIOPlugin>

// HEIF pictures (HEIC from phones and cameras, AVIF) through libheif, as a
// Qt image format of the program's own, so that every reader of pictures
// (the loader, the probe, the info list) takes them as any other format.
// libheif turns the picture upright (its rotation and mirror boxes) itself.
class HeifHandler : public QImageIOHandler {
public:
    bool canRead() const override;
    bool read(QImage* image) override;
    QVariant option(ImageOption option) const override;
    bool supportsOption(ImageOption option) const override;
    // Whether the data starts as a HEIF file whose brand libheif decodes.
    static bool canRead(QIODevice* device);
};

class HeifPlugin : public QImageIOPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "heif_plugin.json")
public:
    Capabilities capabilities(QIODevice* device, const QByteArray& format) const override;
    QImageIOHandler* create(QIODevice* device, const QByteArray& format) const override;
};
