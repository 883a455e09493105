// Browsing: the pattern rule, which files the list shows, the labels after a
// folder change, the drive fallback and the pop-up menus' state.
#include "app/main_window.h"
#include "controls/dir_list.h"
#include "controls/drive_list.h"
#include "controls/file_list.h"
#include "core/file_pattern.h"
#include "core/file_system.h"
#include "core/volumes.h"
#include "settings/settings_store.h"
#include "support/test_environment.h"
#include "support/test_files.h"

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <sys/xattr.h>

namespace {
bool hasUserXattrs(const QString& folder)
{
    const QString probe = folder + "/.probe";
    writeFile(probe);
    const bool ok = ::setxattr(QFile::encodeName(probe).constData(), "user.DOSATTRIB", "0x20", 4, 0) == 0;
    QFile::remove(probe);
    return ok;
}

void rightClick(QWidget* w)
{
    const QPointF at = w->rect().center();
    QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::RightButton, Qt::RightButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}
}

class BrowserTest : public QObject {
    Q_OBJECT
private slots:
    void patternRule();
    void listShowsMatchingPlainFilesOnly();
    void dosAttributesHideFiles();
    void folderChangeUpdatesLabels();
    void driveFallsBackWhenFolderVanished();
    void driveFollowsTheDirectoryList();
    void fileMenuStateFollowsSelection();
    void directoryMenuOnRightClick();
    void clickingAFileShowsThatFile();
};

void BrowserTest::clickingAFileShowsThatFile()
{
    TestEnvironment env;
    writeSetting("OLE", "0");
    const QString dir = env.makeFolder("click");
    for (const char* name : {"a.png", "b.png", "c.png"})
        savePicture(dir + "/" + name, {10 + name[0] - 'a', 5});
    MainWindow form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.File1->setPattern("*.png");
    form.Dir1->setPath(dir);
    QWidget* viewport = form.File1->viewport();
    const QPoint at = form.File1->visualRect(form.File1->model()->index(1, 0)).center();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, viewport->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &event);
    }
    QVERIFY(env.dialogs.messages.isEmpty());
    QCOMPARE(form.Label1, dir + "/b.png");
    QCOMPARE(form.Picture1.size(), QSize(11, 5));
    QCOMPARE(form.Label7->text(), QString("Current: 2"));
}

void BrowserTest::patternRule()
{
    const FilePattern p("*.jpg; *.JPEG;;a?c.bmp");
    QVERIFY(p.matches(QString("photo.JPG")));
    QVERIFY(p.matches(QString("x.jpeg")));
    QVERIFY(p.matches(QString("ABC.BMP")));
    QVERIFY(!p.matches(QString("abbc.bmp")));
    QVERIFY(!p.matches(QString("photo.jpg.txt")));
    QVERIFY(FilePattern("*.*").matches(QString("noext.")));
    QVERIFY(FilePattern(QString::fromUtf8("*.jpé")).matches(QString::fromUtf8("bild.jpé")));
    // Non-UTF-8 bytes in a name still match by their bytes.
    QVERIFY(FilePattern("*.gif").matches("caf\xe9.gif"));
}

void BrowserTest::listShowsMatchingPlainFilesOnly()
{
    TestEnvironment env;
    const QString dir = env.makeFolder("list");
    for (const char* name : {"b.jpg", "A.JPG", "c.gif", "notes.txt", ".hidden.jpg"})
        writeFile(dir + "/" + name);
    QDir(dir).mkdir("folder.jpg");
    QFile::link(dir + "/b.jpg", dir + "/link.jpg");
    QFile::link(dir + "/folder.jpg", dir + "/dirlink.jpg");
    QCOMPARE(FileSystem::listMatching(dir, "*.jpg;*.GIF"),
             QStringList({"A.JPG", "b.jpg", "c.gif", "link.jpg"}));
    QVERIFY(FileSystem::listMatching(dir, "*.png").isEmpty());
    QCOMPARE(FileSystem::namesake(dir, "C.GIF"), QString("c.gif"));
    QCOMPARE(FileSystem::namesake(dir, "*.jpg"), QString());
    QCOMPARE(FileSystem::namesake(dir + "/missing", "b.jpg"), QString());
    const QDateTime stamp(QDate(2020, 1, 2), QTime(3, 4, 5, 600));
    QFile gif(dir + "/c.gif");
    QVERIFY(gif.open(QIODevice::ReadWrite) && gif.setFileTime(stamp, QFileDevice::FileModificationTime));
    QCOMPARE(FileSystem::changeTime(dir + "/c.gif"), stamp);
}

void BrowserTest::dosAttributesHideFiles()
{
    TestEnvironment env;
    const QString dir = env.makeFolder("attrs");
    if (!hasUserXattrs(dir))
        QSKIP("no user extended attributes on this file system");
    for (const char* name : {"plain.jpg", "hidden.jpg", "system.jpg"})
        writeFile(dir + "/" + name);
    FileSystem::setAttributes(dir + "/hidden.jpg", FileSystem::Hidden);
    FileSystem::setAttributes(dir + "/system.jpg", FileSystem::System | FileSystem::ReadOnly);
    QCOMPARE(FileSystem::listMatching(dir, "*.jpg"), QStringList{"plain.jpg"});
    QCOMPARE(FileSystem::attributes(dir + "/system.jpg"), FileSystem::System | FileSystem::ReadOnly);
    QCOMPARE(FileSystem::attributes(dir + "/plain.jpg"), int(FileSystem::Archive));
    FileSystem::setAttributes(dir + "/system.jpg", FileSystem::Archive);
    QCOMPARE(FileSystem::attributes(dir + "/system.jpg"), int(FileSystem::Archive));
    QCOMPARE(FileSystem::listMatching(dir, "*.jpg").size(), 2);
}

void BrowserTest::folderChangeUpdatesLabels()
{
    TestEnvironment env;
    const QString full = env.makeFolder("full");
    const QString empty = env.makeFolder("empty");
    for (const char* name : {"1.jpg", "2.bmp", "3.ico", "4.txt"})
        writeFile(full + "/" + name);
    MainWindow form;
    form.File1->setPattern("*.jpg;*.bmp;*.ico");
    form.Dir1->setPath(full);
    QCOMPARE(form.Label6->text(), QString("3 File(s)"));
    QCOMPARE(form.Label7->text(), QString("Current: "));
    QCOMPARE(form.File1->path(), full);
    form.Dir1->setPath(empty);
    QCOMPARE(form.Label6->text(), QString("0 File(s)"));
    QCOMPARE(form.File1->listCount(), 0);
    QCOMPARE(form.File1->listIndex(), -1);
    QCOMPARE(form.Drive1->currentDirectory(form.Drive1->drive()), empty);
}

void BrowserTest::driveFallsBackWhenFolderVanished()
{
    TestEnvironment env;
    const QString dir = env.makeFolder("here");
    const QString gone = env.makeFolder("gone");
    MainWindow form;
    form.Dir1->setPath(gone);
    form.Dir1->setPath(dir);
    QDir(gone).removeRecursively();
    // The drive's remembered folder vanished: choosing the drive again
    // leaves the lists where they were.
    form.Drive1->followDirectory(gone);
    form.Drive1_Change();
    QCOMPARE(form.Dir1->path(), dir);
    QCOMPARE(form.Drive1->drive(), driveOf(dir, mountedDrives()));
}

void BrowserTest::driveFollowsTheDirectoryList()
{
    TestEnvironment env;
    const QString outer = env.makeFolder("outer");
    const QString volume = outer + "/volume";
    QDir().mkpath(volume);
    if (QProcess::execute("mount", {"-t", "tmpfs", "pixalto-test", volume}) != 0)
        QSKIP("a tmpfs cannot be mounted here (mounting needs root)");
    const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {volume}); });
    QDir().mkpath(volume + "/inner");
    MainWindow form;
    QSignalSpy driveChanges(form.Drive1, &DriveList::changed);

    // Into the volume and up out of it again: the drive list shows the
    // volume that holds the folder, and the folder stays where it was.
    for (const QString& folder : {volume + "/inner", outer}) {
        form.Dir1->setPath(folder);
        QCOMPARE(form.Dir1->path(), folder);
        QCOMPARE(form.Drive1->drive(), driveOf(folder, mountedDrives()));
        QCOMPARE(form.Drive1->currentText(), form.Drive1->drive());
    }
    QVERIFY(driveChanges.isEmpty());
    // Choosing the volume again goes back where it was left.
    form.Drive1->setDrive(volume);
    QCOMPARE(form.Dir1->path(), volume + "/inner");
}

void BrowserTest::fileMenuStateFollowsSelection()
{
    TestEnvironment env;
    const QString dir = env.makeFolder("menu");
    writeFile(dir + "/movie.VIV");
    writeFile(dir + "/picture.jpg");
    MainWindow form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QList<QMenu*> popped;
    form.popUp = [&](QMenu* m) { popped.append(m); };
    form.File1->setPattern("*.*");
    form.Dir1->setPath(dir);
    // Nothing selected: the separate window entry is available.
    form.File1_MouseDown(Qt::RightButton);
    QCOMPARE(popped, QList<QMenu*>{form.mnufile});
    QVERIFY(form.newwindow->isEnabled());
    QVERIFY(form.textfile->isEnabled());

    // Selecting shows the file; these empty files fail to load, reported
    // to the scripted person.
    form.File1->setListIndex(0);
    QCOMPARE(form.File1->fileName(), QString("movie.VIV"));
    form.File1_MouseDown(Qt::LeftButton);
    QVERIFY(!form.newwindow->isEnabled());
    QCOMPARE(popped.size(), 1);
    form.File1->setListIndex(1);
    rightClick(form.File1->viewport());
    QVERIFY(form.newwindow->isEnabled());
    QCOMPARE(popped.size(), 2);
    // A right-click does not move the selection.
    QCOMPARE(form.File1->listIndex(), 1);
    QCOMPARE(form.mnufile->actions().size(), 13);
    QCOMPARE(form.mnufile->title(), QString("File"));
}

void BrowserTest::directoryMenuOnRightClick()
{
    TestEnvironment env;
    MainWindow form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QList<QMenu*> popped;
    form.popUp = [&](QMenu* m) { popped.append(m); };
    form.Dir1_MouseDown(Qt::LeftButton);
    QVERIFY(popped.isEmpty());
    rightClick(form.Dir1->viewport());
    QCOMPARE(popped, QList<QMenu*>{form.mnuset});
    QStringList captions;
    for (QAction* a : form.mnuset->actions())
        captions.append(a->isSeparator() ? "-" : a->text());
    QCOMPARE(captions, QStringList({"Rename", "-", "&Use as Copy DIR (this session)", "Set as &Default Copy DIR",
                                    "Set as &Startup DIR", "&Create Sub DIR", "-", "Create Info List", "-",
                                    "Help"}));
    form.mnuhelp->trigger();
    QCOMPARE(env.help.topics.size(), 1);
    QCOMPARE(env.help.topics.first().second, 14);
}

QTEST_MAIN(BrowserTest)
#include "test_browser.moc"
