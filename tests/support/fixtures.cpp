#include "support/fixtures.h"

#include "samples/metafile_writer.h"
#include "samples/vivo_writer.h"

#include <QFile>
#include <QHash>
#include <QTemporaryDir>

QString fixtureFile(const QString& name, QString* why)
{
    static QTemporaryDir folder;
    static QHash<QString, QString> made;
    if (const auto it = made.constFind(name); it != made.constEnd())
        return *it;
    if (!folder.isValid()) {
        *why = QStringLiteral("no temporary folder: ") + folder.errorString();
        return {};
    }
    QByteArray bytes;
    if (name == QLatin1String("clip.viv"))
        bytes = VivoWriter::testClip(why);
    else if (name == QLatin1String("drawing.wmf"))
        bytes = MetafileWriter::wmf();
    else if (name == QLatin1String("drawing.emf"))
        bytes = MetafileWriter::emf();
    else if (name == QLatin1String("emfplus.emf"))
        bytes = MetafileWriter::emfWithBadEmfPlus();
    else
        *why = QStringLiteral("no such fixture");
    if (bytes.isEmpty())
        return {};
    QFile file(folder.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        *why = file.errorString();
        return {};
    }
    return made[name] = file.fileName();
}
