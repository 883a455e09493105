#include "core/failure.h"

#include <cstring>

namespace Errors {

Failure invalidPicture(const QString& detail)
{
    return {481, detail.isEmpty() ? QStringLiteral("Invalid picture")
                                  : QStringLiteral("Invalid picture: ") + detail};
}
Failure typeMismatch() { return {13, QStringLiteral("Type mismatch")}; }
Failure overflow() { return {6, QStringLiteral("Overflow")}; }
Failure invalidPattern() { return {380, QStringLiteral("Invalid property value")}; }
Failure invalidPropertyValue() { return {380, QStringLiteral("Invalid property value")}; }
Failure invalidPath() { return {76, QStringLiteral("Path not found")}; }
Failure badFileName() { return {52, QStringLiteral("Bad file name or number")}; }
Failure sameFile() { return {58, QStringLiteral("Source and destination are the same file")}; }
Failure protectedFile(const QString& why)
{
    return {75, QStringLiteral("Path/File access error: the file is ") + why};
}
Failure notPlainFile() { return {54, QStringLiteral("Bad file mode: not a plain file")}; }
Failure fileTooLarge(qint64 limit)
{
    return {7, QStringLiteral("Out of memory: the file is larger than %1 MB").arg(limit / (1024 * 1024))};
}
Failure movieLoad(const QString& detail)
{
    return {482, QStringLiteral("Cannot play the file: ") + detail};
}
Failure noDisplayTool() { return {53, QStringLiteral("No display settings tool found")}; }
Failure noAssociatedApplication() { return {31, QStringLiteral("No application is associated with this file")}; }
Failure clipboardBusy() { return {521, QStringLiteral("Can't open Clipboard")}; }
Failure dialogCancelled() { return {32755, QStringLiteral("Cancel was selected.")}; }
Failure movieSpeed() { return {380, QStringLiteral("Invalid property value")}; }
Failure undescribed() { return {}; }

Failure fromErrno(int err)
{
    return {err, QString::fromLocal8Bit(std::strerror(err))};
}

void throwErrno(int err) { throw PxError(fromErrno(err)); }
void raise(Failure f) { throw PxError(std::move(f)); }

}
