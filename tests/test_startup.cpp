// Start-up and shut-down of the main window: the run log of each kind of
// start, the fallback block, the start-up checks and the stored interval.
#include "startup/form15.h"
#include "support/window_helpers.h"

#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTimer>

namespace {
QString ok(const QString& label)
{
    return label + QString(53 - label.size(), QLatin1Char('.')) + QStringLiteral(" OK");
}

QStringList okLines(const QStringList& labels)
{
    QStringList out;
    for (const QString& l : labels)
        out.append(ok(l));
    return out;
}

const QStringList kHead = {"***Orvenko Works, Pixalto Run Logfile***", ""};
const QStringList kInfo = okLines({"Program Logfile set", "Program information saved to registration database",
                                   "Program Help file set", "File list box pattern set"});
const QStringList kFallback = okLines({"Default copy destination set BY DEFAULT", "Statusbar text set BY DEFAULT",
                                       "Drive list box drive set BY DEFAULT", "Dir list box path ser BY DEFAULT"});
const QStringList kEnd = okLines({"Usertest section completed", "Screen resolution section completed",
                                  "Systray program load is off", "Systray section completed"})
                       + QStringList{"PROGRAM LOAD COMPLETED"};

// A known user who starts without the splash.
void knownUser()
{
    writeSetting("User", "Ann");
    writeSetting("UserReq", "0");
    writeSetting("SpcSetting", "fast NoSplash please");
}

// One start and shut-down of the main window; whether it went on past the checks.
bool load(TestEnvironment& env)
{
    MainWindow form(env.desktop());
    const Form1Controls ui(form);
    return form.Form_Load();
}

QStringList runLog(const TestEnvironment& env) { return logLines(env.programFolder() + "/PXRunLog.txt"); }
}

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void firstStartAsksForNameAndWritesDefaults()
    {
        TestEnvironment env;
        const QString home = env.makeFolder("home");
        for (const char* name : {"/a.jpg", "/b.JPG", "/c.txt"})
            writeFile(home + name);
        qputenv("HOME", home.toLocal8Bit());
        env.dialogs.inputAnswers = {"", "Ann Lee"};
        bool splashSeen = false;
        QTimer::singleShot(300, [&] {
            for (Form15* splash : openWindows<Form15>())
                splashSeen = splash->Label2->text() == "Pixalto 3.0" && splash->Image3->pixmap().size() == QSize(32, 32);
        });
        MainWindow form(env.desktop());
        const Form1Controls ui(form);
        QVERIFY(form.Form_Load());
        QVERIFY(splashSeen);

        QCOMPARE(runLog(env), kHead + kInfo + kFallback
                                  + okLines({"Label6 caption set", "Special settings section completed",
                                             "New user added", "Options saved to registration database"})
                                  + kEnd);
        // Cancel at the name prompt asks again.
        QCOMPARE(env.dialogs.inputs.size(), 2);
        const QList<std::pair<const char*, QString>> defaults = {
            {"User", "Ann Lee"}, {"OLE", "1"}, {"AutoZoom", "1"}, {"AutoSkip", "1"}, {"UserReq", "0"},
            {"DelConfirmation", "1"}, {"MoveConfirmation", "1"}, {"OnTop", "1"}, {"Systray", "0"},
            {"AniPattern", "*.avi;*.mpg;*.mpeg;*.mov;*.viv;*.qm"},
            {"PicPattern", "*.jpg;*.jpeg;*.bmp;*.gif;*.wmf;*.emf;*.ico"},
            {"AppPath", env.programFolder() + "/"}, {"Version", "3"}};
        for (const auto& [key, value] : defaults)
            QCOMPARE(readSetting(key), value);
        QVERIFY(readSetting("EXEName").endsWith(".exe"));
        // The fallback shows the home folder and copies there.
        QCOMPARE(ui.Dir1->path(), home);
        QCOMPARE(ui.StatusBar1->text(1), QString("Pictures"));
        QCOMPARE(ui.StatusBar1->text(3), "  " + home + "/");
        QCOMPARE(ui.Label6->text(), QString("2 File(s)"));
    }

    void normalStartAppliesStoredSettingsOrFallsBack()
    {
        TestEnvironment env;
        knownUser();
        const QString home = env.makeFolder("home");
        qputenv("HOME", home.toLocal8Bit());
        const QString start = env.makeFolder("start");
        writeFile(start + "/one.gif");
        writeSetting("Startupdir", start + "/");
        writeSetting("defaultcopydir", "/copies/");
        writeSetting("AutoSkipInterval", "abc");
        {
            MainWindow form(env.desktop());
            const Form1Controls ui(form);
            QVERIFY(form.Form_Load());
            QCOMPARE(runLog(env), kHead + kInfo
                                      + okLines({"Drive list box drive set", "Dir list box path set",
                                                 "Default copy destination path set", "AutoSkip interval set",
                                                 "Statusbar text set", "Label6 caption set",
                                                 "Special settings section completed"})
                                      + kEnd);
            QCOMPARE(ui.Dir1->path(), start);
            QCOMPARE(ui.Text2->text(), QString("abc"));
            QCOMPARE(ui.StatusBar1->text(1), QString(" Pictures "));
            QCOMPARE(ui.StatusBar1->text(3), QString("  /copies/"));
            QVERIFY(env.dialogs.inputs.isEmpty() && env.dialogs.messages.isEmpty());
            // What the user types is stored as typed.
            QTest::keyClicks(ui.Text2, ",5x");
            form.close();
        }
        QCOMPARE(readSetting("autoskipinterval"), QString("abc,5x"));

        // The start folder is gone: the fallback block.
        QDir(start).removeRecursively();
        {
            MainWindow form(env.desktop());
            const Form1Controls ui(form);
            QVERIFY(form.Form_Load());
            QCOMPARE(runLog(env).mid(0, 12), kHead + kInfo + okLines({"Drive list box drive set"}) + kFallback
                                                 + okLines({"Label6 caption set"}));
            QCOMPARE(ui.Dir1->path(), home);
            // This run shows the default; the stored interval survives it.
            QCOMPARE(ui.Text2->text(), QString("10"));
            form.close();
        }
        QCOMPARE(readSetting("AutoSkipInterval"), QString("abc,5x"));
    }

    void unusableSettingsFileIsNamedOnce()
    {
        TestEnvironment env;
        QVERIFY(QDir().mkpath(env.settingsFile()));
        env.dialogs.inputAnswers = {"Ann"};
        QVERIFY(load(env));
        // No first-run set-up: nothing could keep the name.
        QVERIFY(env.dialogs.inputs.isEmpty());
        QCOMPARE(env.dialogs.messages.size(), 1);
        QCOMPARE(env.dialogs.messages.first().title, QString("Pixalto - Settings file ERROR"));
        QVERIFY(env.dialogs.messages.first().text.startsWith("The settings file " + env.settingsFile()
                                                             + " is a folder, not a file."));
    }

    // The checks in their order: a wrong name ends the start; the right one goes
    // on to the screen check, which warns of a narrow screen.
    void startupPasswordThenNarrowScreen()
    {
        TestEnvironment env;
        knownUser();
        writeSetting("User", "AnnLee");
        writeSetting("UserReq", "1");
        env.screen = FixedScreen(800, 600);
        env.dialogs.inputAnswers = {"annlee"};
        QVERIFY(!load(env));
        QCOMPARE(env.dialogs.messages.size(), 1);
        QCOMPARE(env.dialogs.messages.last().title, QString("Pixalto - Invalid User Name"));
        QCOMPARE(env.dialogs.beeps, 1);
        const QStringList run = runLog(env);
        QCOMPARE(run.mid(run.size() - 2), QStringList({ok("Special settings section completed"),
                                                       "Invalid user name was entered, Program terminated"}));
        const QString record = logLines(env.programFolder() + "/PXLog.txt").last();
        QVERIFY2(record.startsWith("<") && record.endsWith("> Invalid user name was entered"), qPrintable(record));

        // Enter at the warning gives its default, No, which leaves the display settings alone.
        env.dialogs.inputAnswers = {"AnnLee"};
        QVERIFY(load(env));
        QCOMPARE(runLog(env).last(), QString("PROGRAM LOAD COMPLETED"));
        QCOMPARE(env.dialogs.messages.size(), 2);
        const MessageBoxRequest warning = env.dialogs.messages.last();
        QCOMPARE(warning.title, QString("Pixalto - The current screen resolution is insufficient"));
        QVERIFY(warning.text.contains("\r\rThe current screen resolution is: 800 x 600 Pixels\r\r"));
        QCOMPARE(env.launcher.displaySettingsStarts, 0);

        env.dialogs.inputAnswers = {"AnnLee"};
        env.dialogs.messageAnswers = {MsgResult::Yes};
        QVERIFY(load(env));
        QCOMPARE(env.dialogs.messages.last().title, QString("HELP - for changing the screen resolution"));
        QCOMPARE(env.launcher.displaySettingsStarts, 1);
    }

    void trayCompanion()
    {
        TestEnvironment env;
        knownUser();
        writeSetting("Systray", "1");
        QVERIFY(load(env));
        const QStringList run = runLog(env);
        QCOMPARE(run.mid(run.indexOf("Systray program ERROR")),
                 QStringList({"Systray program ERROR", ok("Systray section completed"), "PROGRAM LOAD COMPLETED"}));
        QCOMPARE(env.dialogs.beeps, 1);
        const QString title = env.dialogs.messages.last().title;
        QVERIFY2(title.startsWith("Systray ERROR 2 ("), qPrintable(title));
        QVERIFY(logLines(env.programFolder() + "/PXLog.txt").last().endsWith("> " + title + "\""));

        const QString companion = env.programFolder() + "/PXTray.exe";
        writeFile(companion);
        QFile::setPermissions(companion, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(load(env));
        QCOMPARE(env.launcher.started, QStringList{companion});
        QVERIFY(runLog(env).contains(ok("Systray program loaded")));

        // A running companion is not started again; one killed outright is,
        // though it had no chance to reset SystrayLoaded.
        QProcess tray;
        tray.start(PIXALTO_BUILD_DIR "/PXTray.exe");
        QTRY_VERIFY_WITH_TIMEOUT(settingIsOne("SystrayLoaded"), 30000);
        QVERIFY(load(env));
        QCOMPARE(env.launcher.started.size(), 1);
        QCOMPARE(runLog(env).filter("Systray"), QStringList{ok("Systray section completed")});
        tray.kill();
        QVERIFY(tray.waitForFinished());
        QVERIFY(settingIsOne("SystrayLoaded"));
        QVERIFY(load(env));
        QCOMPARE(env.launcher.started, QStringList({companion, companion}));
    }
};

QTEST_MAIN(StartupTest)
#include "test_startup.moc"
