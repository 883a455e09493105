#include "desktop/key_file.h"

#include <QFile>

KeyFile::KeyFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QString group;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            group = line.mid(1, line.size() - 2);
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!group.isEmpty() && equals > 0)
            groups[group].insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
    }
}

QString KeyFile::value(const QString& group, const QString& key) const
{
    return groups.value(group).value(key);
}

QStringList KeyFile::list(const QString& group, const QString& key) const
{
    return value(group, key).split(QLatin1Char(';'), Qt::SkipEmptyParts);
}
