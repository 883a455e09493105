// Start-up and shut-down of the main window: the run log of each kind of
// start, the fallback block, the start-up checks and the stored interval.
#include "app/main_window.h"
#include "controls/dir_list.h"
#include "controls/status_bar.h"
#include "settings/settings_store.h"
#include "startup/form15.h"
#include "support/test_environment.h"
#include "support/test_files.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
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

// A known user who starts without the splash.
void knownUser()
{
    writeSetting("User", "Ann");
    writeSetting("UserReq", "0");
    writeSetting("SpcSetting", "fast NoSplash please");
}
}

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void firstStartAsksForNameAndWritesDefaults();
    void normalStartAppliesStoredSettings();
    void removedStartupFolderFallsBack();
    void unusableSettingsFileIsNamedOnce();
    void startupPasswordEndsOrContinues();
    void narrowScreenWarning();
    void trayCompanion();
};

void StartupTest::firstStartAsksForNameAndWritesDefaults()
{
    TestEnvironment env;
    const QString home = env.makeFolder("home");
    writeFile(home + "/a.jpg");
    writeFile(home + "/b.JPG");
    writeFile(home + "/c.txt");
    qputenv("HOME", home.toLocal8Bit());
    env.dialogs.inputAnswers = {"", "Ann Lee"};
    bool splashSeen = false;
    QTimer::singleShot(300, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<Form15*>(w) && w->isVisible())
                splashSeen = static_cast<Form15*>(w)->Label2->text() == "Pixalto 3.0"
                          && static_cast<Form15*>(w)->Image3->pixmap().size() == QSize(32, 32);
    });
    MainWindow form;
    QVERIFY(form.Form_Load());
    QVERIFY(splashSeen);

    QCOMPARE(logLines(env.programFolder() + "/PXRunLog.txt"),
             kHead + kInfo + kFallback
                 + okLines({"Label6 caption set", "Special settings section completed", "New user added",
                            "Options saved to registration database", "Usertest section completed",
                            "Screen resolution section completed", "Systray program load is off",
                            "Systray section completed"})
                 + QStringList{"PROGRAM LOAD COMPLETED"});
    // Cancel at the name prompt asks again.
    QCOMPARE(env.dialogs.inputs.size(), 2);
    QCOMPARE(env.dialogs.inputs.at(1).title, QString("Pixalto - User name entry"));
    QCOMPARE(env.dialogs.inputs.at(1).helpTopic, 27);
    QCOMPARE(readSetting("User"), QString("Ann Lee"));
    QCOMPARE(readSetting("OLE"), QString("1"));
    QCOMPARE(readSetting("UserReq"), QString("0"));
    QCOMPARE(readSetting("Systray"), QString("0"));
    QCOMPARE(readSetting("AniPattern"), QString("*.avi;*.mpg;*.mpeg;*.mov;*.viv;*.qm"));
    QCOMPARE(readSetting("PicPattern"), QString("*.jpg;*.jpeg;*.bmp;*.gif;*.wmf;*.emf;*.ico"));
    QCOMPARE(readSetting("AppPath"), env.programFolder() + "/");
    QCOMPARE(readSetting("Version"), QString("3"));
    QVERIFY(readSetting("EXEName").endsWith(".exe"));
    // The fallback shows the home folder and copies there.
    QCOMPARE(form.Dir1->path(), home);
    QCOMPARE(form.Text3, home + "/");
    QCOMPARE(form.StatusBar1->text(1), QString("Pictures"));
    QCOMPARE(form.StatusBar1->text(3), "  " + home + "/");
    QCOMPARE(form.Label6->text(), QString("2 File(s)"));
}

void StartupTest::normalStartAppliesStoredSettings()
{
    TestEnvironment env;
    knownUser();
    const QString start = env.makeFolder("start");
    writeFile(start + "/one.gif");
    writeSetting("Startupdir", start + "/");
    writeSetting("defaultcopydir", "/copies/");
    writeSetting("AutoSkipInterval", "abc");
    MainWindow form;
    QVERIFY(form.Form_Load());
    QCOMPARE(logLines(env.programFolder() + "/PXRunLog.txt"),
             kHead + kInfo
                 + okLines({"Drive list box drive set", "Dir list box path set", "Default copy destination path set",
                            "AutoSkip interval set", "Statusbar text set", "Label6 caption set",
                            "Special settings section completed", "Usertest section completed",
                            "Screen resolution section completed", "Systray program load is off",
                            "Systray section completed"})
                 + QStringList{"PROGRAM LOAD COMPLETED"});
    QCOMPARE(form.Dir1->path(), start);
    QCOMPARE(form.Text2->text(), QString("abc"));
    QCOMPARE(form.StatusBar1->text(1), QString(" Pictures "));
    QCOMPARE(form.StatusBar1->text(3), QString("  /copies/"));
    QCOMPARE(form.Label6->text(), QString("1 File(s)"));
    QVERIFY(env.dialogs.inputs.isEmpty());
    QVERIFY(env.dialogs.messages.isEmpty());
}

void StartupTest::removedStartupFolderFallsBack()
{
    TestEnvironment env;
    knownUser();
    const QString home = env.makeFolder("home");
    qputenv("HOME", home.toLocal8Bit());
    writeSetting("startupdir", env.makeFolder("gone") + "/");
    QDir(env.makeFolder("gone")).removeRecursively();
    writeSetting("AutoSkipInterval", "7");
    {
        MainWindow form;
        QVERIFY(form.Form_Load());
        const QStringList lines = logLines(env.programFolder() + "/PXRunLog.txt");
        QCOMPARE(lines.mid(0, 7), kHead + kInfo + okLines({"Drive list box drive set"}));
        QCOMPARE(lines.mid(7, 5), kFallback + okLines({"Label6 caption set"}));
        QCOMPARE(form.Dir1->path(), home);
        // This run shows the default; the stored interval survives it.
        QCOMPARE(form.Text2->text(), QString("10"));
        form.close();
    }
    QCOMPARE(readSetting("AutoSkipInterval"), QString("7"));
    MainWindow form;
    QVERIFY(form.Form_Load());
    // What the user types is stored as typed.
    QTest::keyClicks(form.Text2, ",5x");
    form.close();
    QCOMPARE(readSetting("autoskipinterval"), QString("10,5x"));
}

void StartupTest::unusableSettingsFileIsNamedOnce()
{
    TestEnvironment env;
    QVERIFY(QDir().mkpath(env.settingsFile()));
    env.dialogs.inputAnswers = {"Ann"};
    MainWindow form;
    QVERIFY(form.Form_Load());
    // No first-run set-up: nothing could keep the name.
    QVERIFY(env.dialogs.inputs.isEmpty());
    QCOMPARE(env.dialogs.messages.size(), 1);
    const MessageBoxRequest& message = env.dialogs.messages.first();
    QCOMPARE(message.title, QString("Pixalto - Settings file ERROR"));
    QCOMPARE(message.icon, MsgIcon::Critical);
    QVERIFY(message.text.startsWith("The settings file " + env.settingsFile() + " is a folder, not a file."));
    QVERIFY(logLines(env.programFolder() + "/PXRunLog.txt").contains(ok("Usertest section completed")));
    QVERIFY(QFileInfo(env.settingsFile()).isDir());
}

void StartupTest::startupPasswordEndsOrContinues()
{
    TestEnvironment env;
    knownUser();
    writeSetting("User", "AnnLee");
    writeSetting("UserReq", "1");
    {
        env.dialogs.inputAnswers = {"annlee"};
        MainWindow form;
        QVERIFY(!form.Form_Load());
        QCOMPARE(env.dialogs.inputs.last().title, QString("Pixalto - User Verification"));
        QCOMPARE(env.dialogs.messages.last().title, QString("Pixalto - Invalid User Name"));
        QCOMPARE(env.dialogs.beeps, 1);
        const QStringList run = logLines(env.programFolder() + "/PXRunLog.txt");
        QCOMPARE(run.last(), QString("Invalid user name was entered, Program terminated"));
        QCOMPARE(run.at(run.size() - 2), ok("Special settings section completed"));
        const QStringList program = logLines(env.programFolder() + "/PXLog.txt");
        QVERIFY(program.last().startsWith("<"));
        QVERIFY(program.last().endsWith("> Invalid user name was entered"));
    }
    env.dialogs.inputAnswers = {"AnnLee"};
    MainWindow form;
    QVERIFY(form.Form_Load());
    QCOMPARE(logLines(env.programFolder() + "/PXRunLog.txt").last(), QString("PROGRAM LOAD COMPLETED"));
}

void StartupTest::narrowScreenWarning()
{
    TestEnvironment env;
    knownUser();
    env.screen = FixedScreen(800, 600);
    env.dialogs.messageAnswers = {MsgResult::No};
    {
        MainWindow form;
        QVERIFY(form.Form_Load());
    }
    QCOMPARE(env.dialogs.messages.size(), 1);
    const MessageBoxRequest& warning = env.dialogs.messages.first();
    QCOMPARE(warning.title, QString("Pixalto - The current screen resolution is insufficient"));
    QVERIFY(warning.text.contains("\r\rThe current screen resolution is: 800 x 600 Pixels\r\r"));
    QCOMPARE(warning.buttons, MsgButtons::YesNo);
    QCOMPARE(warning.defaultButton, 2);
    QCOMPARE(env.launcher.displaySettingsStarts, 0);

    env.dialogs.messageAnswers = {MsgResult::Yes, MsgResult::OK};
    {
        MainWindow form;
        QVERIFY(form.Form_Load());
    }
    QCOMPARE(env.dialogs.messages.last().title, QString("HELP - for changing the screen resolution"));
    QCOMPARE(env.launcher.displaySettingsStarts, 1);

}

void StartupTest::trayCompanion()
{
    TestEnvironment env;
    knownUser();
    writeSetting("Systray", "1");
    {
        MainWindow form;
        QVERIFY(form.Form_Load());
    }
    QStringList run = logLines(env.programFolder() + "/PXRunLog.txt");
    QVERIFY(run.contains("Systray program ERROR"));
    QCOMPARE(run.at(run.indexOf("Systray program ERROR") + 1), ok("Systray section completed"));
    QCOMPARE(run.last(), QString("PROGRAM LOAD COMPLETED"));
    QCOMPARE(env.dialogs.beeps, 1);
    const QString title = env.dialogs.messages.last().title;
    QVERIFY2(title.startsWith("Systray ERROR 2 ("), qPrintable(title));
    QVERIFY(logLines(env.programFolder() + "/PXLog.txt").last().endsWith("> " + title + "\""));

    const QString companion = env.programFolder() + "/PXTray.exe";
    writeFile(companion);
    QFile::setPermissions(companion, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    {
        MainWindow form;
        QVERIFY(form.Form_Load());
    }
    QCOMPARE(env.launcher.started, QStringList{companion});
    QVERIFY(logLines(env.programFolder() + "/PXRunLog.txt").contains(ok("Systray program loaded")));

    writeSetting("SystrayLoaded", "1");
    MainWindow form;
    QVERIFY(form.Form_Load());
    run = logLines(env.programFolder() + "/PXRunLog.txt");
    QCOMPARE(env.launcher.started.size(), 1);
    QCOMPARE(run.filter("Systray program").size(), 0);
    QVERIFY(run.contains(ok("Systray section completed")));
}

QTEST_MAIN(StartupTest)
#include "test_startup.moc"
