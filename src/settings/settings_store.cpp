#include "settings/settings_store.h"

#include <QSettings>

namespace {
const QString kGroup = QStringLiteral("Pixalto");

QSettings store()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope,
                     QStringLiteral("Orvenko Soft"), QStringLiteral("Pixalto"));
}
}

QString readSetting(const QString& key)
{
    QSettings s = store();
    s.beginGroup(kGroup);
    if (s.contains(key))
        return s.value(key).toString();
    const QStringList keys = s.childKeys();
    for (const QString& k : keys)
        if (k.compare(key, Qt::CaseInsensitive) == 0)
            return s.value(k).toString();
    return {};
}

void writeSetting(const QString& key, const QString& value)
{
    QSettings s = store();
    s.beginGroup(kGroup);
    const QStringList keys = s.childKeys();
    for (const QString& k : keys)
        if (k != key && k.compare(key, Qt::CaseInsensitive) == 0)
            s.remove(k);
    s.setValue(key, value);
    s.endGroup();
    s.sync();
}

bool settingIsOne(const QString& key) { return readSetting(key) == QLatin1String("1"); }

bool settingIsNumericOne(const QString& key)
{
    bool ok = false;
    const double v = readSetting(key).trimmed().toDouble(&ok);
    return ok && v == 1.0;
}
