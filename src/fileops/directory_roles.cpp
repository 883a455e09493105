#include "fileops/directory_roles.h"

#include "controls/status_bar.h"
#include "core/failure.h"
#include "core/paths.h"
#include "startup/form1.h"

QString directoryValue(const QString& folder)
{
    if (folder.isEmpty())
        Errors::raise(Errors::invalidPath());
    return withTrailingSeparator(folder);
}

void useAsCopyDirectory(Form1& form, const QString& folder)
{
    form.StatusBar1->setText(3, QStringLiteral("  ") + folder);
    form.Text3 = folder;
}
