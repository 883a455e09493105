#include "metafile/metafile_render.h"

namespace Metafile {

QImage render(const QByteArray& data, qint64 maxPixels, QSize* natural, QString* why)
{
    if (isEmf(data))
        return renderEmf(data, maxPixels, natural, why);
    if (isWmf(data))
        return renderWmf(data, maxPixels, natural, why);
    *why = QStringLiteral("not a metafile");
    return {};
}

}
