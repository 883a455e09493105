// The tray companion, run as the real program: while it runs the shared
// settings say SystrayLoaded=1, and however it is ended they say 0 again.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>

namespace {

const QString kTray = QStringLiteral(PIXALTO_BUILD_DIR "/PXTray.exe");
constexpr int kBound = 30000; // generous: the machine may be busy

struct Entry {
    QString key;
    QString value;
};

// The [Pixalto] group of the settings file exactly as written, so that two
// spellings of one key would both show.
QList<Entry> pixaltoGroup(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QList<Entry> entries;
    bool inGroup = false;
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == QStringLiteral("[Pixalto]");
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (inGroup && eq > 0)
            entries.append({line.left(eq).trimmed(), line.mid(eq + 1).trimmed()});
    }
    return entries;
}

// The values of every spelling of a key.
QStringList valuesOf(const QString& file, const QString& key)
{
    QStringList values;
    for (const Entry& e : pixaltoGroup(file))
        if (e.key.compare(key, Qt::CaseInsensitive) == 0)
            values << e.value;
    return values;
}

} // namespace

class TestTray : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_config;
    QList<QProcess*> m_started;

    QString settingsFile() const { return m_config->path() + QStringLiteral("/Orvenko Soft/Pixalto.ini"); }
    QStringList loaded() const { return valuesOf(settingsFile(), QStringLiteral("SystrayLoaded")); }
    QProcess* startTray();
    void endWith(QProcess* tray, int signalNumber);

private slots:
    void init();
    void cleanup();

    void loadedWhileRunningAndClearedWhenEnded_data();
    void loadedWhileRunningAndClearedWhenEnded();
    void otherSpellingOfTheKeyIsReplacedNotDuplicated();
    void secondCompanionLeavesTheFirstInCharge();
};

void TestTray::init()
{
    QVERIFY2(QFileInfo(kTray).isExecutable(), qPrintable(kTray + QStringLiteral(" is not built")));
    m_config = std::make_unique<QTemporaryDir>();
    QVERIFY(m_config->isValid());
}

void TestTray::cleanup()
{
    // A failed check must not leave a companion running.
    for (QProcess* p : std::as_const(m_started)) {
        if (p->state() != QProcess::NotRunning) {
            p->kill();
            p->waitForFinished(kBound);
        }
        delete p;
    }
    m_started.clear();
    m_config.reset();
}

QProcess* TestTray::startTray()
{
    auto* p = new QProcess;
    m_started.append(p);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config->path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p->setProcessEnvironment(env);
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p->start(kTray, {});
    if (!p->waitForStarted(kBound))
        qWarning("PXTray did not start: %s", qPrintable(p->errorString()));
    return p;
}

void TestTray::endWith(QProcess* tray, int signalNumber)
{
    QCOMPARE(::kill(pid_t(tray->processId()), signalNumber), 0);
    QVERIFY(tray->waitForFinished(kBound));
    QCOMPARE(tray->exitStatus(), QProcess::NormalExit);
    QCOMPARE(tray->exitCode(), 0);
}

void TestTray::loadedWhileRunningAndClearedWhenEnded_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGHUP") << int(SIGHUP);
}

void TestTray::loadedWhileRunningAndClearedWhenEnded()
{
    QFETCH(int, signalNumber);
    QVERIFY(!QFile::exists(settingsFile()));

    QProcess* tray = startTray();
    QCOMPARE(tray->state(), QProcess::Running);
    QTRY_COMPARE_WITH_TIMEOUT(loaded(), QStringList{QStringLiteral("1")}, kBound);
    // Headless there is no tray, and the companion still waits to be ended.
    QCOMPARE(tray->state(), QProcess::Running);

    endWith(tray, signalNumber);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(loaded(), QStringList{QStringLiteral("0")});
    QCOMPARE(pixaltoGroup(settingsFile()).first().key, QStringLiteral("SystrayLoaded"));
}

void TestTray::otherSpellingOfTheKeyIsReplacedNotDuplicated()
{
    QVERIFY(QDir().mkpath(m_config->path() + QStringLiteral("/Orvenko Soft")));
    {
        QFile f(settingsFile());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Text));
        f.write("[Pixalto]\nUser=Anna Berg\nsystrayloaded=0\nSystray=1\n");
    }

    QProcess* tray = startTray();
    QTRY_COMPARE_WITH_TIMEOUT(loaded(), QStringList{QStringLiteral("1")}, kBound);
    endWith(tray, SIGTERM);
    if (QTest::currentTestFailed())
        return;

    QCOMPARE(loaded(), QStringList{QStringLiteral("0")});
    // The companion touches its own key only.
    QCOMPARE(valuesOf(settingsFile(), QStringLiteral("User")), QStringList{QStringLiteral("Anna Berg")});
    QCOMPARE(valuesOf(settingsFile(), QStringLiteral("Systray")), QStringList{QStringLiteral("1")});
    QCOMPARE(pixaltoGroup(settingsFile()).size(), 3);
}

void TestTray::secondCompanionLeavesTheFirstInCharge()
{
    QProcess* first = startTray();
    QTRY_COMPARE_WITH_TIMEOUT(loaded(), QStringList{QStringLiteral("1")}, kBound);

    // A second one gives way at once; were it to run and end, it would
    // clear the key while the first still runs.
    QProcess* second = startTray();
    QVERIFY(second->waitForFinished(kBound));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    QCOMPARE(loaded(), QStringList{QStringLiteral("1")});
    QCOMPARE(first->state(), QProcess::Running);

    endWith(first, SIGTERM);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(loaded(), QStringList{QStringLiteral("0")});

    // The lock went with the first; a new companion runs normally.
    QProcess* third = startTray();
    QTRY_COMPARE_WITH_TIMEOUT(loaded(), QStringList{QStringLiteral("1")}, kBound);
    QCOMPARE(third->state(), QProcess::Running);
    endWith(third, SIGTERM);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(loaded(), QStringList{QStringLiteral("0")});
}

QTEST_GUILESS_MAIN(TestTray)
#include "test_tray.moc"
