#include "fileops/name_rules.h"

#include "core/paths.h"

std::optional<QString> extensionAfterFirstDot(const QString& path)
{
    const qsizetype dot = path.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return std::nullopt;
    return path.mid(dot + 1, 4);
}

std::optional<QString> saveAsTarget(const QString& chosen, const QString& source)
{
    const qsizetype dot = chosen.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return std::nullopt;
    const std::optional<QString> extension = extensionAfterFirstDot(source);
    if (!extension)
        return chosen;
    return chosen.left(dot) + QLatin1Char('.') + *extension;
}

QString renameTarget(const QString& folder, const QString& answer, const QString& oldPath)
{
    const QString base = withTrailingSeparator(folder) + answer;
    if (answer.contains(QLatin1Char('.')))
        return base;
    const std::optional<QString> extension = extensionAfterFirstDot(oldPath);
    return extension ? base + QLatin1Char('.') + *extension : base;
}

bool isPlainName(const QString& name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QChar(0))
        && name != QLatin1String(".") && name != QLatin1String("..");
}
