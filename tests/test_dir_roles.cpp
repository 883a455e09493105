// The copy and start-up directories: the settings menu, the DIR browser and
// the status panels that open the secondary windows.
#include "controls/drive_list.h"
#include "fileops/form7.h"
#include "support/window_helpers.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QTimer>

namespace {
// The title of the modal window a panel click opens, closed again at once;
// empty when none opens.
QString modalTitleOnClick(MainWindow& form, int panel)
{
    QString title;
    QTimer::singleShot(0, [&title] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            title = dialog->windowTitle();
            QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
        }
    });
    form.StatusBar1->click(panel);
    QCoreApplication::processEvents();
    return title;
}
}

class DirRolesTest : public QObject {
    Q_OBJECT
private slots:
    void menuTakesTheFolderForEachRole();
    void browserShowsAndStoresTheRoles();
    void browserSubDirectoryReportsInItsBoxOnly();
    void panelsOpenTheirWindows();
};

void DirRolesTest::menuTakesTheFolderForEachRole()
{
    // The root keeps its single "/"; any other folder gets one added.
    TestEnvironment env;
    const QString pics = env.makeFolder("pics");
    for (const QString& folder : {QString("/"), pics}) {
        const QString value = folder == "/" ? "/" : folder + "/";
        Viewer v(folder);
        v.form.Text3 = "/old/";
        v.form.StatusBar1->setText(3, "  /old/");
        v.form.mnudefault->trigger();
        v.form.mnustartup->trigger();
        QCOMPARE(readSetting("Defaultcopydir"), value);
        QCOMPARE(readSetting("startupdir"), value);
        // Storing the default leaves the copy directory of this run alone.
        QCOMPARE(v.form.StatusBar1->text(3), QString("  /old/"));
        writeSetting("defaultcopydir", "/kept/");
        v.form.mnusession->trigger();
        QCOMPARE(v.form.Text3, value);
        QCOMPARE(v.form.StatusBar1->text(3), "  " + value);
        QCOMPARE(readSetting("defaultcopydir"), QString("/kept/"));
    }
}

void DirRolesTest::browserShowsAndStoresTheRoles()
{
    TestEnvironment env;
    const QString pics = env.makeFolder("pics");
    const QString other = env.makeFolder("other");
    Viewer v(pics);
    writeSetting("defaultcopydir", "/from/menu/");

    // With no copy directory the browser opens where the program runs.
    {
        Form7 browser(&v.form);
        QCOMPARE(browser.Dir1->path(), QDir::currentPath());
        QCOMPARE(browser.Label1->text(), QString("Current copy DIR: "));
        QCOMPARE(browser.Label2->text(), QString("Default copy DIR: /from/menu/"));
        QCOMPARE(browser.Label3->text(), QString("Startup DIR: "));
        QCOMPARE(browser.Frame1->title(), QString("Settings"));
    }

    v.form.Text3 = pics + "/";
    Form7 browser(&v.form);
    QCOMPARE(browser.Dir1->path(), pics);
    browser.Dir1->setPath(other);
    browser.Command2_Click();
    browser.Command3_Click();
    QCOMPARE(browser.Label2->text(), "Default copy DIR: " + other + "/");
    QCOMPARE(browser.Label3->text(), "Startup DIR: " + other + "/");
    QCOMPARE(readSetting("startupdir"), other + "/");
    QCOMPARE(v.form.Text3, pics + "/");

    browser.Command1_Click();
    QCOMPARE(v.form.Text3, other + "/");
    QCOMPARE(v.form.StatusBar1->text(3), "  " + other + "/");
    QCOMPARE(browser.result(), int(QDialog::Accepted));
    QVERIFY(env.dialogs.messages.isEmpty());
}

void DirRolesTest::browserSubDirectoryReportsInItsBoxOnly()
{
    TestEnvironment env;
    const QString pics = env.makeFolder("pics");
    QDir(pics).mkdir("taken");
    Viewer v(pics);
    v.form.Text3 = pics + "/";
    Form7 browser(&v.form);

    env.dialogs.inputAnswers = {"fresh", "taken"};
    browser.Command4_Click();
    QVERIFY(QFileInfo(pics + "/fresh").isDir());
    QCOMPARE(env.dialogs.inputs[0].helpTopic, 19);
    QVERIFY(env.dialogs.messages.isEmpty());

    browser.Command4_Click();
    QCOMPARE(env.dialogs.messages.size(), 1);
    const MessageBoxRequest& box = env.dialogs.messages[0];
    QCOMPARE(box.text, QString("Unable to create sub directory, please make sure that the current path is valid"));
    QVERIFY2(box.title.startsWith("ERROR 17 ("), qPrintable(box.title));
    QCOMPARE(box.icon, MsgIcon::Critical);
    QCOMPARE(env.dialogs.beeps, 0);
    QVERIFY(logLines(env.programFolder() + "/PXLog.txt").isEmpty());
    QCOMPARE(browser.Dir1->path(), pics);
}

void DirRolesTest::panelsOpenTheirWindows()
{
    TestEnvironment env;
    Viewer v(env.makeFolder("pics"));
    v.form.show();
    QCOMPARE(modalTitleOnClick(v.form, 2), QString("File Information"));
    QCOMPARE(modalTitleOnClick(v.form, 3), QString("DIR browser"));
    QCOMPARE(modalTitleOnClick(v.form, 4), QString());
    QCOMPARE(v.form.StatusBar1->tooltip(2), QString("Click to view file information"));
    QCOMPARE(v.form.StatusBar1->tooltip(3), QString("Click to view DIR Browser"));
}

QTEST_MAIN(DirRolesTest)
#include "test_dir_roles.moc"
