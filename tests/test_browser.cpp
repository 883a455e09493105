// Browsing: the pattern rule, which files the list shows, the labels after a
// folder change, the drive fallback and the pop-up menus' state.
#include "controls/drive_list.h"
#include "controls/file_list.h"
#include "controls/image_view.h"
#include "core/file_pattern.h"
#include "core/file_name.h"
#include "core/file_system.h"
#include "core/file_url.h"
#include "core/volumes.h"
#include "support/window_helpers.h"

#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMimeData>
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
}

class BrowserTest : public QObject {
    Q_OBJECT
private slots:
    void listShowsMatchingPlainFilesOnly();
    void folderChangeUpdatesLabelsAndDrive();
    void listFollowsChangesMadeByOthers();
    void filesTravelByDragAndDrop();
    void driveFollowsTheDirectoryList();
    void clicksShowTheFileAndPopTheMenus();
};

void BrowserTest::listShowsMatchingPlainFilesOnly()
{
    const QString p = "*.jpg; *.JPEG;;a?c.bmp";
    for (const auto& [pattern, name, matches] :
         {std::tuple{p, QString("photo.JPG"), true}, {p, "x.jpeg", true}, {p, "ABC.BMP", true}, {p, "abbc.bmp", false},
          {p, "photo.jpg.txt", false}, {p, "jpg", false}, {"*", "x", true}, {"*.JPG", "\u00dcbersicht.jpg", true},
          {"*.*", "noext.", true}, {"*.jpé", "bild.jpé", true}})
        QVERIFY2(FilePattern(pattern).matches(name) == matches, qPrintable(pattern + " " + name));
    // Non-UTF-8 bytes in a name still match by their bytes.
    QVERIFY(FilePattern("*.gif").matches("caf\xe9.gif"));

    TestEnvironment env;
    const QString dir = env.makeFolder("list");
    for (const char* name : {"b.jpg", "A.JPG", "c.gif", "notes.txt", ".hidden.jpg"})
        writeFile(dir + "/" + name);
    QDir(dir).mkdir("folder.jpg");
    QFile::link(dir + "/b.jpg", dir + "/link.jpg");
    QFile::link(dir + "/folder.jpg", dir + "/dirlink.jpg");
    QCOMPARE(FileSystem::listMatching(dir, "*.jpg;*.GIF"),
             QStringList({"A.JPG", "b.jpg", "c.gif", "link.jpg"}));
    QCOMPARE(FileSystem::namesake(dir, "C.GIF"), QString("c.gif"));
    QCOMPARE(FileSystem::namesake(dir, "*.jpg"), QString());
    QCOMPARE(FileSystem::namesake(dir + "/missing", "b.jpg"), QString());
    const QDateTime stamp(QDate(2020, 1, 2), QTime(3, 4, 5, 600));
    QFile gif(dir + "/c.gif");
    QVERIFY(gif.open(QIODevice::ReadWrite) && gif.setFileTime(stamp, QFileDevice::FileModificationTime));
    QCOMPARE(FileSystem::changeTime(dir + "/c.gif"), stamp);

    // DOS attributes kept in extended attributes hide files too.
    const QString attrs = env.makeFolder("attrs");
    if (!hasUserXattrs(attrs))
        QSKIP("no user extended attributes on this file system");
    for (const char* name : {"plain.jpg", "hidden.jpg", "system.jpg"})
        writeFile(attrs + "/" + name);
    FileSystem::setAttributes(attrs + "/hidden.jpg", FileSystem::Hidden);
    FileSystem::setAttributes(attrs + "/system.jpg", FileSystem::System | FileSystem::ReadOnly);
    QCOMPARE(FileSystem::listMatching(attrs, "*.jpg"), QStringList{"plain.jpg"});
    QCOMPARE(FileSystem::attributes(attrs + "/system.jpg"), FileSystem::System | FileSystem::ReadOnly);
    QCOMPARE(FileSystem::attributes(attrs + "/plain.jpg"), int(FileSystem::Archive));
    // Setting replaces the attributes, so the file shows again.
    FileSystem::setAttributes(attrs + "/system.jpg", FileSystem::Archive);
    QCOMPARE(FileSystem::listMatching(attrs, "*.jpg").size(), 2);
}

void BrowserTest::folderChangeUpdatesLabelsAndDrive()
{
    TestEnvironment env;
    const QString full = env.makeFolder("full");
    const QString gone = env.makeFolder("gone");
    for (const char* name : {"1.jpg", "2.bmp", "3.ico", "4.txt"})
        writeFile(full + "/" + name);
    Viewer v(env.desktop(), full, "*.jpg;*.bmp;*.ico");
    MainWindow& form = v.form;
    const Form1Controls& ui = v.ui;
    QCOMPARE(ui.Label6->text(), QString("3 File(s)"));
    QCOMPARE(ui.Label7->text(), QString("Current: "));
    ui.Dir1->setPath(gone);
    QCOMPARE(ui.Label6->text(), QString("0 File(s)"));
    QCOMPARE(ui.File1->listIndex(), -1);
    QCOMPARE(ui.Drive1->currentDirectory(ui.Drive1->drive()), gone);

    // The drive's remembered folder vanished: choosing the drive again
    // leaves the lists where they were.
    ui.Dir1->setPath(full);
    QDir(gone).removeRecursively();
    ui.Drive1->followDirectory(gone);
    form.Drive1_Change();
    QCOMPARE(ui.Dir1->path(), full);
    QCOMPARE(ui.Drive1->drive(), driveOf(full, mountedDrives()));
}

void BrowserTest::listFollowsChangesMadeByOthers()
{
    TestEnvironment env;
    const QString dir = env.makeFolder("live");
    for (const char* name : {"b.png", "c.png", "d.png"})
        savePicture(dir + "/" + name, {8, 8}, Qt::red);
    Viewer v(env.desktop(), dir, "*.png");
    v.select("c.png");
    QSignalSpy clicks(v.ui.File1, &FileList::clicked);
    savePicture(dir + "/a.png", {8, 8}, Qt::blue);
    QVERIFY(QFile::rename(dir + "/d.png", dir + "/e.png"));
    QVERIFY(QFile::remove(dir + "/b.png"));
    writeFile(dir + "/notes.txt");
    QTRY_COMPARE(v.listed(), QStringList({"a.png", "c.png", "e.png"}));
    QCOMPARE(v.ui.File1->fileName(), QString("c.png"));
    QCOMPARE(v.ui.Label6->text(), QString("3 File(s)"));
    QCOMPARE(v.ui.Label7->text(), QString("Current: 2"));
    QCOMPARE(clicks.count(), 0);
    // The selected file goes: nothing is selected, its picture stays shown.
    QVERIFY(QFile::remove(dir + "/c.png"));
    QTRY_COMPARE(v.listed(), QStringList({"a.png", "e.png"}));
    QCOMPARE(v.ui.File1->listIndex(), -1);
    QVERIFY(v.ui.Image1->hasPicture());
    QCOMPARE(clicks.count(), 0);
}

void BrowserTest::filesTravelByDragAndDrop()
{
    // Addresses as other programs read and write them, and names that are
    // not UTF-8.
    for (const QString& path : {QString("/tmp/a b#c%d?e.png"), QString::fromUtf8("/tmp/Ünï €.png")}) {
        QCOMPARE(FileUrl::fromPath(path).toLocalFile(), path);
        QCOMPARE(FileUrl::toPath(QUrl::fromLocalFile(path)), path);
    }
    const QString odd = FileName::fromBytes("/tmp/caf\xe9.png");
    QCOMPARE(FileUrl::toPath(FileUrl::fromPath(odd)), odd);
    QCOMPARE(FileUrl::toPath(QUrl("https://example.org/a.png")), std::nullopt);

    TestEnvironment env;
    const QString from = env.makeFolder("from");
    const QString to = env.makeFolder("to");
    const QString name = "a b#1.png";
    savePicture(from + "/a.png", {8, 8}, Qt::red);
    savePicture(to + "/" + name, {8, 8}, Qt::blue);
    Viewer v(env.desktop(), from, "*.png");
    v.ui.File1->setListIndex(0);
    const std::unique_ptr<QMimeData> dragged(
        v.ui.File1->model()->mimeData({v.ui.File1->model()->index(0, 0)}));
    QCOMPARE(dragged->urls(), QList<QUrl>{QUrl::fromLocalFile(from + "/a.png")});

    QMimeData dropped;
    dropped.setUrls({QUrl::fromLocalFile(to + "/" + name)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&v.form, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&v.form, &drop);
    QCOMPARE(v.ui.File1->path(), to);
    QCOMPARE(v.ui.File1->fileName(), name);
    QVERIFY(fileArrived(v.form));
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
    MainWindow form(env.desktop());
    const Form1Controls ui(form);
    QSignalSpy driveChanges(ui.Drive1, &DriveList::changed);

    // Into the volume and up out of it again: the drive list shows the
    // volume that holds the folder, and the folder stays where it was.
    for (const QString& folder : {volume + "/inner", outer}) {
        ui.Dir1->setPath(folder);
        QCOMPARE(ui.Dir1->path(), folder);
        QCOMPARE(ui.Drive1->drive(), driveOf(folder, mountedDrives()));
        QCOMPARE(ui.Drive1->currentText(), ui.Drive1->drive());
    }
    QVERIFY(driveChanges.isEmpty());
    // Choosing the volume again goes back where it was left.
    ui.Drive1->setDrive(volume);
    QCOMPARE(ui.Dir1->path(), volume + "/inner");
}

void BrowserTest::clicksShowTheFileAndPopTheMenus()
{
    TestEnvironment env;
    writeSetting("OLE", "0");
    const QString dir = env.makeFolder("click");
    for (const char* name : {"a.png", "b.png", "c.png"})
        savePicture(dir + "/" + name, {10 + name[0] - 'a', 5});
    writeFile(dir + "/movie.VIV");
    Viewer v(env.desktop(), dir);
    MainWindow& form = v.form;
    const Form1Controls& ui = v.ui;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QList<QMenu*> popped;
    form.popUp = [&](QMenu* m) { popped.append(m); };

    // A click on a file shows that file, not the folder.
    QTest::mouseClick(ui.File1->viewport(), Qt::LeftButton, {},
                      ui.File1->visualRect(ui.File1->model()->index(1, 0)).center());
    QVERIFY(fileArrived(form));
    QVERIFY(env.dialogs.messages.isEmpty());
    QCOMPARE(form.shownPath(), dir + "/b.png");
    QCOMPARE(form.lastPicture().size(), QSize(11, 5));
    QCOMPARE(ui.Label7->text(), QString("Current: 2"));
    QVERIFY(popped.isEmpty());

    // The separate window entry is there for all but Vivo movies; a
    // right-click pops the menu without moving the selection.
    v.select("movie.VIV");
    form.File1_MouseDown(Qt::LeftButton);
    QVERIFY(!ui.newwindow->isEnabled());
    QVERIFY(popped.isEmpty());
    ui.File1->setListIndex(1);
    QTest::mousePress(ui.File1->viewport(), Qt::RightButton);
    QCOMPARE(popped, QList<QMenu*>{ui.mnufile});
    QVERIFY(ui.newwindow->isEnabled());
    QCOMPARE(ui.File1->listIndex(), 1);

    // The directory list pops its own menu on a right-click only.
    form.Dir1_MouseDown(Qt::LeftButton);
    QCOMPARE(popped.size(), 1);
    QTest::mousePress(ui.Dir1->viewport(), Qt::RightButton);
    QCOMPARE(popped.last(), ui.mnuset);
    ui.mnuhelp->trigger();
    QCOMPARE(env.help.topics.size(), 1);
    QCOMPARE(env.help.topics.first().second, 14);
}

QTEST_MAIN(BrowserTest)
#include "test_browser.moc"
