// The installed program: the layout under a prefix, the desktop files the
// validators accept, and the installed command run headless.
#include "settings/settings_store.h"
#include "support/test_environment.h"
#include "support/test_files.h"

#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

namespace {
const QString kAppId = QStringLiteral("com.orvenkosoft.Pixalto");

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run run(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        process.kill();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

QString readLink(const QString& path)
{
    char target[4096];
    const ssize_t n = ::readlink(QFile::encodeName(path).constData(), target, sizeof target);
    return n < 0 ? QString() : QFile::decodeName(QByteArray(target, int(n)));
}
}

class InstallTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void layoutUnderThePrefix();
    void desktopFilesPassTheValidators();
    void optionsAnswerWithoutADisplay();
    void startWithAFileSelectsIt();

private:
    QString at(const QString& relative) const { return prefix.path() + "/" + relative; }
    QTemporaryDir prefix;
};

void InstallTest::initTestCase()
{
    const Run install = run(CMAKE_COMMAND, {"--install", PIXALTO_BUILD_DIR, "--prefix", prefix.path()},
                            QProcessEnvironment::systemEnvironment());
    QVERIFY2(install.exitCode == 0, install.err.constData());
}

void InstallTest::layoutUnderThePrefix()
{
    QCOMPARE(readLink(at("bin/pixalto")), QString("../lib/pixalto/pixalto"));
    for (const char* name : {"pixalto", "PXTray.exe", "pxmetafile"})
        QVERIFY2(QFileInfo(at("lib/pixalto/") + name).isExecutable(), name);
    QVERIFY(QFileInfo::exists(at("lib/pixalto/pxhelp.hlp")));
    QVERIFY(QFileInfo::exists(at("share/man/man1/pixalto.1.gz")));
    QVERIFY(QFileInfo::exists(at("share/icons/hicolor/scalable/apps/" + kAppId + ".svg")));
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString icon = at(QString("share/icons/hicolor/%1x%1/apps/").arg(size) + kAppId + ".png");
        QCOMPARE(QImage(icon).size(), QSize(size, size));
    }
}

void InstallTest::desktopFilesPassTheValidators()
{
    const struct {
        const char* tool;
        QStringList arguments;
    } checks[] = {
        {"desktop-file-validate", {at("share/applications/" + kAppId + ".desktop")}},
        {"appstreamcli", {"validate", "--no-net", at("share/metainfo/" + kAppId + ".metainfo.xml")}},
    };
    for (const auto& check : checks) {
        const QString tool = QStandardPaths::findExecutable(check.tool);
        QVERIFY2(!tool.isEmpty(), check.tool);
        const Run result = run(tool, check.arguments, QProcessEnvironment::systemEnvironment());
        QVERIFY2(result.exitCode == 0, (result.out + result.err).constData());
    }
}

void InstallTest::optionsAnswerWithoutADisplay()
{
    QProcessEnvironment bare = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        bare.remove(name);
    const Run version = run(at("bin/pixalto"), {"--version"}, bare);
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.out, QByteArray("Pixalto 3.0\n"));
    const Run help = run(at("bin/pixalto"), {"--version", "--help"}, bare);
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.startsWith("Usage: pixalto"));

    QProcessEnvironment headless = QProcessEnvironment::systemEnvironment();
    headless.insert("QT_QPA_PLATFORM", "offscreen");
    const Run unknown = run(at("bin/pixalto"), {"a.jpg", "--zoom"}, headless);
    QCOMPARE(unknown.exitCode, 2);
    QVERIFY(unknown.out.isEmpty());
    QVERIFY2(unknown.err.contains("'--zoom'"), unknown.err.constData());
}

// The installed program finds its folder through the command's link, keeps
// its logs there, and selects the file it is given: a picture it cannot read
// there is reported in the program log, which nothing else would do.
void InstallTest::startWithAFileSelectsIt()
{
    TestEnvironment env;
    const QString start = env.makeFolder("start");
    const QString photos = env.makeFolder("photos");
    savePicture(photos + "/a.jpg", {20, 20});
    writeFile(photos + "/b.jpg", "not a picture at all");
    const QList<std::pair<QString, QString>> settings{
        {"User", "Ann"}, {"SpcSetting", "NoSplash"}, {"OLE", "0"}, {"PicPattern", "*.jpg"}, {"startupdir", start + "/"}};
    for (const auto& [key, value] : settings)
        writeSetting(key, value);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    QProcess viewer;
    viewer.setProcessEnvironment(environment);
    viewer.start(at("bin/pixalto"), {photos + "/b.jpg", photos + "/a.jpg"});
    const QString log = at("lib/pixalto/PXLog.txt");
    QTRY_VERIFY_WITH_TIMEOUT(!logLines(log).filter("> Picture load ERROR 481 (").isEmpty(), 30000);
    viewer.kill();
    viewer.waitForFinished();

    QCOMPARE(logLines(at("lib/pixalto/PXRunLog.txt")).last(), QString("PROGRAM LOAD COMPLETED"));
    QCOMPARE(readSetting("AppPath"), at("lib/pixalto/"));
    QCOMPARE(readSetting("startupdir"), start + "/");
    QVERIFY(!fileBytes(env.settingsFile()).contains("photos"));
}

QTEST_MAIN(InstallTest)
#include "test_install.moc"
