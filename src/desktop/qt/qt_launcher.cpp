#include "desktop/qt/qt_launcher.h"

#include "core/failure.h"
#include "core/file_name.h"
#include "desktop/hand_off.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <cerrno>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

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
    QByteArray file = FileName::toBytes(path);
    struct stat st;
    if (::stat(file.constData(), &st) != 0)
        Errors::throwErrno(errno);
    // Refused when the desktop would start this viewer again, or nothing.
    HandOff::application(path);
    // xdg-open finds the application for the file's type. It is started
    // here rather than by QProcess, whose arguments are text: the name must
    // arrive as the file system's bytes. The grandchild is detached, so it
    // neither holds up the viewer nor stays behind as a zombie.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty())
        Errors::raise(Errors::noAssociatedApplication());
    QByteArray program = FileName::toBytes(opener);
    char* const argv[] = {program.data(), file.data(), nullptr};
    // The opener passes the mark on to what it starts.
    QByteArray mark = QByteArray(HandOff::marker) + "=1";
    std::vector<char*> environment{mark.data()};
    for (char** variable = environ; *variable; ++variable)
        environment.push_back(*variable);
    environment.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        // Between fork and exec: plain system calls only.
        if (::fork() == 0) {
            ::setsid();
            ::execve(argv[0], argv, environment.data());
        }
        ::_exit(0);
    }
    if (child < 0)
        Errors::raise(Errors::noAssociatedApplication());
    ::waitpid(child, nullptr, 0);
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
