#include "desktop/qt/qt_launcher.h"

#include "core/failure.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <cerrno>

void QtLauncher::startProgram(const QString& program, const QStringList& arguments, bool)
{
    // Focus is the window manager's to give; a started program takes it or not.
    const QFileInfo info(program);
    if (!info.exists())
        Errors::throwErrno(ENOENT);
    if (!info.isExecutable() || info.isDir())
        Errors::throwErrno(EACCES);
    if (!QProcess::startDetached(program, arguments, info.absolutePath()))
        Errors::throwErrno(ENOEXEC);
}

void QtLauncher::openWithDesktop(const QString& path)
{
    if (!QFileInfo::exists(path))
        Errors::throwErrno(ENOENT);
    // xdg-open finds the application for the file's type. Started detached,
    // it neither holds up the viewer nor stays behind as a zombie.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty() || !QProcess::startDetached(opener, {path}))
        Errors::raise(Errors::noAssociatedApplication());
}

void QtLauncher::startDisplaySettings()
{
    const QList<QStringList> tools = {
        {QStringLiteral("gnome-control-center"), QStringLiteral("display")},
        {QStringLiteral("systemsettings"), QStringLiteral("kcm_kscreen")},
        {QStringLiteral("xfce4-display-settings")},
        {QStringLiteral("lxqt-config-monitor")},
        {QStringLiteral("arandr")},
    };
    for (const QStringList& tool : tools) {
        const QString exe = QStandardPaths::findExecutable(tool.first());
        if (!exe.isEmpty()) {
            startProgram(exe, tool.mid(1), true);
            return;
        }
    }
    Errors::raise(Errors::noDisplayTool());
}
