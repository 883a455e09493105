#include "support/test_environment.h"

#include "core/program_info.h"
#include "desktop/desktop.h"
#include "picture/picture_loader.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

TestEnvironment::TestEnvironment()
{
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", (config.path() + QStringLiteral("/data")).toLocal8Bit());
    // Qt reads the configuration folder once; point it at this test's.
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path());
    ProgramInfo::setFolder(program.path());
    preparePictureReading();
}

TestEnvironment::~TestEnvironment() { ProgramInfo::setFolder({}); }

QString TestEnvironment::settingsFile() const
{
    return config.path() + QStringLiteral("/Orvenko Soft/Pixalto.ini");
}

QString TestEnvironment::makeFolder(const QString& name) const
{
    QString path = files.path() + QLatin1Char('/') + name;
    QDir().mkpath(path);
    return path;
}
