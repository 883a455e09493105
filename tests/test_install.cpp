// The program installed into a temporary prefix and run headless from its
// command link.
#include "settings/settings_store.h"
#include "support/test_environment.h"
#include "support/test_files.h"
#include "support/virtual_display.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <csignal>

namespace {
// Runs a program to its end: its exit code, and its standard output in out.
int run(const QString& program, const QStringList& arguments, QByteArray* out = nullptr, int waitMs = 60000)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(waitMs);
    if (out)
        *out = process.readAllStandardOutput();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}
}

class InstallTest : public QObject {
    Q_OBJECT
private slots:
    void installedCommandAnswersOpensAFileAndShowsItsIdentity()
    {
        QTemporaryDir prefix;
        const QString command = prefix.path() + "/bin/pixalto";
        const QString folder = prefix.path() + "/lib/pixalto/";
        QCOMPARE(run(CMAKE_COMMAND, {"--install", PIXALTO_BUILD_DIR, "--prefix", prefix.path()}), 0);
        QCOMPARE(QFileInfo(command).symLinkTarget(), folder + "pixalto");
        QVERIFY(QFileInfo::exists(folder + "PXTray.exe") && QFileInfo::exists(folder + "pxmetafile"));

        // Help and version open no display: with none to open, Qt would end the run.
        qputenv("QT_QPA_PLATFORM", "xcb");
        qputenv("DISPLAY", ":nothing");
        QByteArray version, help;
        QVERIFY(run(command, {"--version"}, &version) == 0 && run(command, {"--version", "-h"}, &help) == 0);
        QCOMPARE(version, QByteArray("Pixalto 3.0\n"));
        QVERIFY(help.startsWith("Usage: pixalto"));
        QCOMPARE(run(command, {"-platform", "xcb", "--bogus"}), 2);

        // A picture that cannot be read, second in its list: only its
        // selection writes the load error, to the log beside the program.
        TestEnvironment env;
        const QString photos = env.makeFolder("photos");
        savePicture(photos + "/a.jpg", {20, 20});
        writeFile(photos + "/b.jpg", "not a picture");
        const QList<std::pair<QString, QString>> settings{
            {"User", "Ann"}, {"SpcSetting", "NoSplash"}, {"OLE", "0"}, {"startupdir", photos}};
        for (const auto& [key, value] : settings)
            writeSetting(key, value);
        // A screen large enough for the start-up to ask nothing.
        writeFile(env.configHome() + "/screen.json", R"({"screens": [{"name": "s", "width": 1280, "height": 1024}]})");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen:configfile=" + env.configHome() + "/screen.json");
        QProcess viewer;
        viewer.setProcessEnvironment(environment);
        viewer.start(command, {photos + "/b.jpg", photos + "/a.jpg"});
        QTRY_VERIFY_WITH_TIMEOUT(!logLines(folder + "PXLog.txt").filter("> Picture load ERROR 481 (").isEmpty(), 30000);
        viewer.kill();
        viewer.waitForFinished();
        QCOMPARE(readSetting("AppPath"), folder);

        // Handed to the desktop's application for JPEG pictures, which is
        // the viewer, run as "pixalto" by a command that notes each start:
        // the hand-off fails instead of starting it again.
        writeSetting("OLE", "1");
        QVERIFY(QDir().mkpath(env.configHome() + "/data/applications"));
        writeFile(env.configHome() + "/data/applications/com.orvenkosoft.Pixalto.desktop",
                  fileBytes(PIXALTO_SOURCE_DIR "/packaging/com.orvenkosoft.Pixalto.desktop"));
        writeFile(env.configHome() + "/mimeapps.list", "[Default Applications]\nimage/jpeg=com.orvenkosoft.Pixalto.desktop\n");
        const QString bin = env.makeFolder("bin");
        writeFile(bin + "/pixalto", ("#!/bin/sh\necho $$ >> " + bin + "/starts\nexec " + command + " \"$@\"\n").toUtf8());
        QVERIFY(setMode(bin + "/pixalto", 0755));
        environment.insert("PATH", bin + ":" + environment.value("PATH"));
        environment.insert("DISPLAY", ":0"); // else xdg-open reads no desktop entry
        viewer.setProcessEnvironment(environment);
        viewer.setProgram(bin + "/pixalto");
        viewer.setArguments({photos + "/b.jpg"});
        QVERIFY(viewer.startDetached());
        const auto starts = [&] { return QString(fileBytes(bin + "/starts")).split('\n', Qt::SkipEmptyParts); };
        const auto refused = [&] { return !logLines(folder + "PXLog.txt").filter("> Picture load ERROR 31 (").isEmpty(); };
        QTRY_VERIFY_WITH_TIMEOUT(refused() || starts().size() > 1, 30000);
        const QStringList started = starts();
        for (const QString& pid : started)
            ::kill(pid.toInt(), SIGKILL);
        QCOMPARE(started.size(), 1);

        // On an X display the main window carries the desktop entry's class
        // and the program's icon.
        VirtualDisplay screen;
        QVERIFY2(screen.missing().isEmpty() && screen.failure().isEmpty(),
                 qPrintable(screen.missing() + screen.failure()));
        const QString display = qEnvironmentVariable("DISPLAY");
        environment.insert("QT_QPA_PLATFORM", "xcb");
        environment.insert("DISPLAY", display);
        viewer.setProcessEnvironment(environment);
        viewer.start(command, {});
        QByteArray tree, icon;
        const auto windowListed = [&] {
            return run("xwininfo", {"-display", display, "-root", "-tree"}, &tree, 5000) == 0
                && tree.contains("\"Pixalto\": (");
        };
        // A slow start under the sanitizers on a loaded machine, or a window
        // the program put up instead: what the display shows tells which.
        if (!QTest::qWaitFor(windowListed, 60000))
            QFAIL(qPrintable(QString("No main window; the viewer %1; its errors: %2; the windows: %3")
                                 .arg(viewer.state() == QProcess::Running ? "runs" : "ended")
                                 .arg(QString(viewer.readAllStandardError().right(2000)))
                                 .arg(QString(tree).split('\n').filter("\"").join('\n'))));
        const auto window = QRegularExpression("(0x\\w+) \"Pixalto\": \\(\"[^\"]*\" \"([^\"]*)\"\\)").match(QString(tree));
        QVERIFY(fileBytes(prefix.path() + "/share/applications/com.orvenkosoft.Pixalto.desktop")
                    .contains("\nStartupWMClass=" + window.captured(2).toUtf8() + "\n"));
        // The icon follows the window: it is decoded off the window's thread.
        const auto iconSet = [&] {
            run("xprop", {"-display", display, "-id", window.captured(1), "_NET_WM_ICON"}, &icon);
            return icon.startsWith("_NET_WM_ICON(CARDINAL) = ");
        };
        QVERIFY2(QTest::qWaitFor(iconSet, 10000), icon.constData());
        viewer.kill();
        viewer.waitForFinished();
    }
};

QTEST_MAIN(InstallTest)
#include "test_install.moc"
