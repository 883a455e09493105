#include "infolist/info_estimate.h"

#include "core/failure.h"
#include "core/locale_text.h"

#include <limits>

QString estimateWithSizes(int count)
{
    const qint64 seconds = qint64(count) * 3;
    if (seconds > std::numeric_limits<qint16>::max() || seconds < std::numeric_limits<qint16>::min())
        Errors::raise(Errors::overflow());
    return QString::number(seconds) + QStringLiteral(" sec.");
}

QString estimateWithoutSizes(int count)
{
    return shortestNumber(count * 0.036) + QStringLiteral(" sec.");
}
