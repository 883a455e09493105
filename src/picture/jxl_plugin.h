#pragma once
#include <QImageIOHandler>
#include <QImageIOPlugin>

// JPEG XL pictures through libjxl, as a Qt image format of the program's
// own like HEIF. libjxl turns them upright by their orientation itself; an
// animation gives its first frame.
class JxlHandler : public QImageIOHandler {
public:
    bool canRead() const override;
    bool read(QImage* image) override;
    QVariant option(ImageOption option) const override;
    bool supportsOption(ImageOption option) const override;
    static bool canRead(QIODevice* device);
};

class JxlPlugin : public QImageIOPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "jxl_plugin.json")
public:
    Capabilities capabilities(QIODevice* device, const QByteArray& format) const override;
    QImageIOHandler* create(QIODevice* device, const QByteArray& format) const override;
};
