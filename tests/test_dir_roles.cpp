// The copy and start-up directories: the settings menu, the DIR browser and
// the status panels that open the secondary windows.
#include "controls/drive_list.h"
#include "core/volumes.h"
#include "fileops/form7.h"
#include "fileops/main_files.h"
#include "support/window_helpers.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTimer>

namespace {
// The title of the modal window a panel click opens (closed again at once),
// empty when none opens.
QString modalTitleOnClick(MainWindow& form, int panel)
{
    QString title;
    QTimer::singleShot(0, [&title] {
        if (QWidget* dialog = QApplication::activeModalWidget())
            title = dialog->windowTitle(), dialog->close();
    });
    Form1Controls(form).StatusBar1->click(panel);
    QCoreApplication::processEvents();
    return title;
}
}

class DirRolesTest : public QObject {
    Q_OBJECT
private slots:
    void menuTakesTheFolderForEachRole()
    {
        // The root keeps its single "/"; any other folder gets one added.
        TestEnvironment env;
        for (const QString& value : {QString("/"), env.makeFolder("pics") + "/"}) {
            Viewer v(env.desktop(), value);
            v.ui.mnudefault->trigger();
            v.ui.mnustartup->trigger();
            QCOMPARE(readSetting("Defaultcopydir"), value);
            QCOMPARE(readSetting("startupdir"), value);
            writeSetting("defaultcopydir", "/kept/");
            v.ui.mnusession->trigger();
            QCOMPARE(v.form.copyFolder(), value);
            QCOMPARE(v.ui.StatusBar1->text(3), "  " + value);
            QCOMPARE(readSetting("defaultcopydir"), QString("/kept/"));
        }
    }

    void browserAndThePanelsThatOpenIt()
    {
        TestEnvironment env;
        const QString pics = env.makeFolder("pics");
        const QString other = env.makeFolder("other");
        QDir(other).mkdir("taken");
        Viewer v(env.desktop(), pics);
        // Without a copy directory, or with one removed since, it opens where the
        // program runs, and creates sub-directories there.
        const QString running = env.makeFolder("running");
        const QString before = QDir::currentPath();
        auto back = qScopeGuard([&] { QDir::setCurrent(before); });
        QVERIFY(QDir::setCurrent(running));
        const QString removed = env.makeFolder("removed");
        QVERIFY(QDir(removed).removeRecursively());
        for (const QString& copyDir : {QString(), removed + "/"}) {
            v.form.files().useAsCopyDirectory(copyDir);
            Form7 opened(&v.form);
            QCOMPARE(opened.Dir1->path(), running);
            QCOMPARE(opened.Drive1->drive(), driveOf(running, mountedDrives()));
            QCOMPARE(opened.Label1->text(), "Current copy DIR: " + copyDir);
        }
        env.dialogs.inputAnswers = {"made"};
        Form7(&v.form).Command4_Click();
        QVERIFY(QFileInfo(running + "/made").isDir());
        v.form.files().useAsCopyDirectory(pics + "/");
        Form7 browser(&v.form);
        QCOMPARE(browser.Dir1->path(), pics);
        browser.Dir1->setPath(other);
        browser.Command2_Click();
        browser.Command3_Click();
        QCOMPARE(browser.Label2->text(), "Default copy DIR: " + other + "/");
        QCOMPARE(browser.Label3->text(), "Startup DIR: " + other + "/");

        // A sub-directory that exists is reported in the box only, without a beep.
        env.dialogs.inputAnswers = {"fresh", "taken"};
        browser.Command4_Click();
        browser.Command4_Click();
        QVERIFY(QFileInfo(other + "/fresh").isDir());
        QCOMPARE(env.dialogs.messages.size(), 1);
        QCOMPARE(env.dialogs.messages[0].text,
                 QString("Unable to create sub directory, please make sure that the current path is valid"));
        QVERIFY(env.dialogs.messages[0].title.startsWith("ERROR 17 ("));
        QCOMPARE(env.dialogs.beeps, 0);
        QVERIFY(logLines(env.programFolder() + "/PXLog.txt").isEmpty());

        browser.Command1_Click();
        QCOMPARE(v.form.copyFolder(), other + "/");
        QCOMPARE(v.ui.StatusBar1->text(3), "  " + other + "/");

        // The status panels open the secondary windows.
        v.form.show();
        QCOMPARE(modalTitleOnClick(v.form, 2), QString("File Information"));
        QCOMPARE(modalTitleOnClick(v.form, 3), QString("DIR browser"));
        QCOMPARE(modalTitleOnClick(v.form, 4), QString());
    }
};

QTEST_MAIN(DirRolesTest)
#include "test_dir_roles.moc"
