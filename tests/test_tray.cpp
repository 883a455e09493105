// The tray companion, run as the real program: while it runs the shared
// settings say SystrayLoaded=1, and however it is ended they say 0 again.

#include "support/test_files.h"

#include <QtTest>

#include <csignal>

namespace {

const QString kTray = QStringLiteral(PIXALTO_BUILD_DIR "/PXTray.exe");
constexpr int kBound = 30000; // generous: the machine may be busy

// The [Pixalto] group of the settings file exactly as written, as sorted
// key=value lines, so that two spellings of one key would both show.
QStringList pixaltoGroup(const QString& file)
{
    QStringList entries;
    bool inGroup = false;
    for (const QByteArray& raw : fileBytes(file).split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inGroup = line == QStringLiteral("[Pixalto]");
        else if (inGroup && line.indexOf(QLatin1Char('=')) > 0)
            entries << line;
    }
    entries.sort();
    return entries;
}

} // namespace

class TestTray : public QObject {
    Q_OBJECT

private slots:
    void loadedWhileRunningAndClearedWhenEnded_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<QByteArray>("before"); // the settings file beforehand, none if empty
        QTest::addColumn<QStringList>("after");
        const QByteArray others = "[Pixalto]\nUser=Anna Berg\nsystrayloaded=0\nSystray=1\n";
        // The companion touches its own key only, and keeps one spelling of it.
        const QStringList kept{"Systray=1", "SystrayLoaded=0", "User=Anna Berg"};
        QTest::newRow("SIGTERM, no settings yet") << int(SIGTERM) << QByteArray() << QStringList{"SystrayLoaded=0"};
        QTest::newRow("SIGTERM, other spelling") << int(SIGTERM) << others << kept;
        QTest::newRow("SIGINT") << int(SIGINT) << others << kept;
        QTest::newRow("SIGHUP") << int(SIGHUP) << QByteArray() << QStringList{"SystrayLoaded=0"};
    }
    void loadedWhileRunningAndClearedWhenEnded()
    {
        QFETCH(int, signalNumber);
        QFETCH(QByteArray, before);
        QFETCH(QStringList, after);
        QVERIFY2(QFileInfo(kTray).isExecutable(), qPrintable(kTray + QStringLiteral(" is not built")));
        QTemporaryDir config;
        const QString settings = config.filePath(QStringLiteral("Orvenko Soft/Pixalto.ini"));
        if (!before.isEmpty()) {
            QVERIFY(QDir().mkpath(QFileInfo(settings).path()));
            writeFile(settings, before);
        }
        // While it runs, the same keys with SystrayLoaded=1.
        const QStringList running = QStringList(after).replaceInStrings(QStringLiteral("SystrayLoaded=0"),
                                                                        QStringLiteral("SystrayLoaded=1"));

        // A failed check must not leave the companion running: deleting a QProcess kills it.
        QProcess tray;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        tray.setProcessEnvironment(env);
        tray.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        tray.start(kTray, {});
        QTRY_COMPARE_WITH_TIMEOUT(pixaltoGroup(settings), running, kBound);
        // Headless there is no tray, and the companion still waits to be ended.
        QCOMPARE(tray.state(), QProcess::Running);
        QCOMPARE(::kill(pid_t(tray.processId()), signalNumber), 0);
        QVERIFY(tray.waitForFinished(kBound));
        QVERIFY(tray.exitStatus() == QProcess::NormalExit && tray.exitCode() == 0);
        QCOMPARE(pixaltoGroup(settings), after);
    }
};

QTEST_GUILESS_MAIN(TestTray)
#include "test_tray.moc"
