#include "fileops/directory_roles.h"

#include "core/failure.h"
#include "core/paths.h"

QString directoryValue(const QString& folder)
{
    if (folder.isEmpty())
        Errors::raise(Errors::invalidPath());
    return withTrailingSeparator(folder);
}
