#include "picture/whole_picture.h"

#include "picture/picture_loader.h"

WholePicture::WholePicture(QImage shown, QString source) : image(std::move(shown)), path(std::move(source)) {}

bool WholePicture::reduced() const { return !path.isEmpty() && size() != image.size(); }

QSize WholePicture::size() const { return naturalSize(image); }

const QImage& WholePicture::whole() const
{
    if (!reduced())
        return image;
    if (full.isNull())
        full = loadPicture(path);
    return full;
}
