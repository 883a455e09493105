// The program installed into a temporary prefix and run headless from its
// command link.
#include "settings/settings_store.h"
#include "support/test_environment.h"
#include "support/test_files.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
int run(const QString& program, const QStringList& arguments, QByteArray* out = nullptr, QByteArray* err = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        process.kill();
    if (out)
        *out = process.readAllStandardOutput();
    if (err)
        *err = process.readAllStandardError();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}
}

class InstallTest : public QObject {
    Q_OBJECT
private slots:
    void installedCommandAnswersAndOpensAFile()
    {
        QTemporaryDir prefix;
        const QString command = prefix.path() + "/bin/pixalto";
        const QString folder = prefix.path() + "/lib/pixalto/";
        QByteArray out, err;
        QCOMPARE(run(CMAKE_COMMAND, {"--install", PIXALTO_BUILD_DIR, "--prefix", prefix.path()}, nullptr, &err), 0);
        QCOMPARE(QFileInfo(command).symLinkTarget(), folder + "pixalto");
        for (const char* beside : {"PXTray.exe", "pxmetafile", "pxhelp.hlp"})
            QVERIFY2(QFileInfo::exists(folder + beside), beside);

        // Help and version open no display: without one, Qt would end the run.
        const QByteArray display = qgetenv("QT_QPA_PLATFORM");
        qputenv("QT_QPA_PLATFORM", "xcb");
        qputenv("DISPLAY", ":nothing");
        QCOMPARE(run(command, {"--version"}, &out), 0);
        QCOMPARE(out, QByteArray("Pixalto 3.0\n"));
        QCOMPARE(run(command, {"--version", "--help"}, &out), 0);
        QVERIFY(out.startsWith("Usage: pixalto"));
        qputenv("QT_QPA_PLATFORM", display);
        QCOMPARE(run(command, {"a.jpg", "--zoom"}, &out, &err), 2);
        QVERIFY(out.isEmpty() && err.contains("'--zoom'"));

        // A picture that cannot be read, second in its list: only its
        // selection writes the load error to the log beside the program.
        TestEnvironment env;
        const QString start = env.makeFolder("start");
        const QString photos = env.makeFolder("photos");
        savePicture(photos + "/a.jpg", {20, 20});
        writeFile(photos + "/b.jpg", "not a picture");
        for (const auto& [key, value] : {std::pair{"User", "Ann"}, {"SpcSetting", "NoSplash"}, {"OLE", "0"}})
            writeSetting(key, value);
        writeSetting("startupdir", start + "/");
        // The screen must be large enough for the start-up to ask nothing.
        writeFile(start + "/screen.json", R"({"screens": [{"name": "s", "width": 1280, "height": 1024}]})");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen:configfile=" + start + "/screen.json");
        QProcess viewer;
        viewer.setProcessEnvironment(environment);
        viewer.start(command, {photos + "/b.jpg", photos + "/a.jpg"});
        QTRY_VERIFY_WITH_TIMEOUT(!logLines(folder + "PXLog.txt").filter("> Picture load ERROR 481 (").isEmpty(), 30000);
        viewer.kill();
        viewer.waitForFinished();
        QCOMPARE(logLines(folder + "PXRunLog.txt").last(), QString("PROGRAM LOAD COMPLETED"));
        QCOMPARE(readSetting("AppPath"), folder);
        QVERIFY(!fileBytes(env.settingsFile()).contains("photos"));
    }
};

QTEST_MAIN(InstallTest)
#include "test_install.moc"
