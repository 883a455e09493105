// Delete, rename, the directory commands and the file list's keys, on real
// files: re-selection after a delete, the rename rule and its refusals, the
// sub-directory box, and the keypad zoom.
#include "fileops/name_rules.h"
#include "platform/dir_list.h"
#include "platform/file_list.h"
#include "platform/file_system.h"
#include "platform/image_view.h"
#include "platform/status_bar.h"
#include "settings/settings_store.h"
#include "startup/form1.h"
#include "support/test_environment.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <cstdio>
#include <unistd.h>

namespace {
void savePicture(const QString& path, QColor colour, int w = 40, int h = 20)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    QVERIFY(image.save(path));
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

// The main window browsing a folder of five pictures 1.jpg ... 5.jpg.
struct Window {
    explicit Window(const QString& folder)
    {
        for (int i = 1; i <= 5; ++i)
            savePicture(folder + QString("/%1.jpg").arg(i), QColor::fromHsv(i * 60, 255, 255));
        form.Dir1->setPath(folder);
    }
    Form1 form;
};
}

class DeleteRenameTest : public QObject {
    Q_OBJECT
private slots:
    void deleteSelectsTheNextFile();
    void deleteConfirmationAndReadOnly();
    void deleteActsOnlyOnTheSelectedFile();
    void renameRule();
    void renameCommand();
    void renameRefusesBadNames();
    void renameDirectory();
    void subDirectory();
    void keypadZoomCompounds();
    void deleteKey();
};

void DeleteRenameTest::deleteSelectsTheNextFile()
{
    TestEnvironment env;
    const QString dir = env.makeFolder("five");
    Window w(dir);

    w.form.File1->setListIndex(1);
    w.form.mnudelete->trigger();
    QCOMPARE(entries(dir), QStringList({"1.jpg", "3.jpg", "4.jpg", "5.jpg"}));
    QCOMPARE(w.form.Label6->text(), QString("4 File(s)"));
    // The file that was third is selected and shown.
    QCOMPARE(w.form.File1->fileName(), QString("3.jpg"));
    QCOMPARE(w.form.Label1, dir + "/3.jpg");
    QCOMPARE(w.form.Label7->text(), QString("Current: 2"));
    QVERIFY(w.form.Image1->hasPicture());

    // The last one leaves nothing selected.
    w.form.File1->setListIndex(3);
    w.form.mnudelete_Click();
    QCOMPARE(entries(dir), QStringList({"1.jpg", "3.jpg", "4.jpg"}));
    QCOMPARE(w.form.File1->listIndex(), -1);
    QCOMPARE(w.form.Label6->text(), QString("3 File(s)"));
    QCOMPARE(w.form.Label7->text(), QString("Current: "));
    QVERIFY(env.dialogs.messages.isEmpty());
}

void DeleteRenameTest::deleteConfirmationAndReadOnly()
{
    TestEnvironment env;
    const QString dir = env.makeFolder("five");
    Window w(dir);
    writeSetting("DelConfirmation", "1");
    w.form.File1->setListIndex(2);

    env.dialogs.messageAnswers = {MsgResult::No};
    w.form.mnudelete_Click();
    QCOMPARE(env.dialogs.messages.size(), 1);
    QCOMPARE(env.dialogs.messages[0].text,
             QString("Are you sure you want to delete the following file:\r\r") + dir + "/3.jpg");
    QCOMPARE(entries(dir).size(), 5);
    QCOMPARE(w.form.File1->listIndex(), 2);

    // A read-only file goes without a further question.
    FileSystem::setAttributes(dir + "/3.jpg", FileSystem::ReadOnly);
    env.dialogs.messageAnswers = {MsgResult::Yes};
    w.form.mnudelete_Click();
    QCOMPARE(env.dialogs.messages.size(), 2);
    QCOMPARE(entries(dir), QStringList({"1.jpg", "2.jpg", "4.jpg", "5.jpg"}));

    // A file that vanished is reported and the list stays as it was.
    writeSetting("DelConfirmation", "0");
    w.form.File1->setListIndex(0);
    QFile::remove(dir + "/1.jpg");
    w.form.mnudelete_Click();
    QCOMPARE(env.dialogs.messages.size(), 3);
    QCOMPARE(env.dialogs.messages.last().title, QString("File delete ERROR 2 (No such file or directory)"));
    QCOMPARE(env.dialogs.beeps, 1);
    QCOMPARE(w.form.File1->listCount(), 4);
}

void DeleteRenameTest::deleteActsOnlyOnTheSelectedFile()
{
    TestEnvironment env;
    const QString first = env.makeFolder("first");
    const QString second = env.makeFolder("second");
    Window w(first);
    w.form.File1->setListIndex(0);
    // Label1 still names 1.jpg of the first folder after the folder change.
    w.form.Dir1->setPath(second);
    QCOMPARE(w.form.Label1, first + "/1.jpg");
    w.form.mnudelete_Click();
    env.dialogs.inputAnswers = {"renamed"};
    w.form.mnurename_Click();
    QCOMPARE(entries(first).size(), 5);
    QVERIFY(env.dialogs.inputs.isEmpty());
    QVERIFY(env.dialogs.messages.isEmpty());
}

void DeleteRenameTest::renameRule()
{
    QCOMPARE(renameTarget("/pics", "holiday", "/pics/beach.jpeg"), QString("/pics/holiday.jpeg"));
    QCOMPARE(renameTarget("/pics/", "holiday.old", "/pics/beach.jpeg"), QString("/pics/holiday.old"));
    QCOMPARE(renameTarget("/", "holiday", "/beach.jpegxyz"), QString("/holiday.jpeg"));
    // No "." on either side: the answer as typed.
    QCOMPARE(renameTarget("/pics", "holiday", "/pics/beach"), QString("/pics/holiday"));
    // The extension comes from the first "." of the whole old path.
    QCOMPARE(renameTarget("/my.pics", "holiday", "/my.pics/beach.gif"), QString("/my.pics/holiday.pics"));

    QVERIFY(isPlainName("Holiday 2024"));
    QVERIFY(isPlainName(".hidden"));
    for (const QString& bad : {QString(), QString("."), QString(".."), QString("a/b"), QString("../x.jpg"),
                               QString("/abs")})
        QVERIFY2(!isPlainName(bad), qPrintable(bad));
}

void DeleteRenameTest::renameCommand()
{
    TestEnvironment env;
    const QString dir = env.makeFolder("five");
    Window w(dir);
    w.form.File1->setListIndex(1);

    env.dialogs.inputAnswers = {" holiday "};
    w.form.mnurename->trigger();
    QCOMPARE(env.dialogs.inputs.size(), 1);
    const InputBoxRequest box = env.dialogs.inputs.first();
    QCOMPARE(box.defaultText, QString("2.jpg"));
    QCOMPARE(box.positionTwips, std::optional<QPoint>(QPoint(120, 2880)));
    QCOMPARE(box.helpTopic, 9);
    QCOMPARE(entries(dir), QStringList({"1.jpg", "3.jpg", "4.jpg", "5.jpg", "holiday.jpg"}));
    QCOMPARE(w.form.File1->item(4), QString("holiday.jpg"));
    // Only the list follows; Label1 waits for the next selection.
    QCOMPARE(w.form.Label1, dir + "/2.jpg");

    // A name that exists is refused; both files stay.
    w.form.File1->setListIndex(0);
    env.dialogs.inputAnswers = {"3.jpg"};
    w.form.mnurename_Click();
    QCOMPARE(env.dialogs.messages.size(), 1);
    QCOMPARE(env.dialogs.messages[0].title, QString("File rename ERROR 17 (File exists)"));
    QCOMPARE(entries(dir), QStringList({"1.jpg", "3.jpg", "4.jpg", "5.jpg", "holiday.jpg"}));
    QVERIFY(qAbs(QImage(dir + "/3.jpg").pixelColor(20, 10).hue() - 180) <= 4);

    // Cancel changes nothing and shows nothing.
    w.form.mnurename_Click();
    QCOMPARE(env.dialogs.messages.size(), 1);
    QCOMPARE(entries(dir).size(), 5);
}

void DeleteRenameTest::renameRefusesBadNames()
{
    TestEnvironment env;
    const QString dir = env.makeFolder("five");
    Window w(dir);
    QDir(dir).mkdir("sub");
    const QStringList before = entries(dir);
    w.form.File1->setListIndex(0);

    env.dialogs.inputAnswers = {"sub/x.jpg", "..", "../escaped.jpg", QString(300, 'n'), "   "};
    for (int i = 0; i < 5; ++i)
        w.form.mnurename_Click();
    QCOMPARE(entries(dir), before);
    QCOMPARE(entries(dir + "/sub"), QStringList());
    QCOMPARE(env.dialogs.messages.size(), 4);
    QCOMPARE(env.dialogs.messages[0].title, QString("File rename ERROR 52 (Bad file name or number)"));
    QCOMPARE(env.dialogs.messages[3].title, QString("File rename ERROR 36 (File name too long)"));
}

void DeleteRenameTest::renameDirectory()
{
    TestEnvironment env;
    const QString dir = env.makeFolder("old");
    const QString taken = env.makeFolder("taken");
    QFile(dir + "/keep.txt").open(QIODevice::WriteOnly);
    Form1 form;
    form.Dir1->setPath(dir);

    const QString renamed = QFileInfo(dir).path() + "/new";
    env.dialogs.inputAnswers = {taken, "relative", renamed};
    form.mnurenamedir->trigger();
    form.mnurenamedir_Click();
    QCOMPARE(env.dialogs.messages.size(), 2);
    for (const MessageBoxRequest& m : env.dialogs.messages)
        QCOMPARE(m.title, QString("Directory rename ERROR"));
    QCOMPARE(env.dialogs.beeps, 2);
    QVERIFY(QFile::exists(dir + "/keep.txt"));

    form.mnurenamedir_Click();
    QVERIFY(QFile::exists(renamed + "/keep.txt"));
    // Nothing is refreshed: the list keeps the old path.
    QCOMPARE(form.Dir1->path(), dir);
}

void DeleteRenameTest::subDirectory()
{
    TestEnvironment env;
    const QString dir = env.makeFolder("base");
    Form1 form;
    form.Dir1->setPath(dir);
    const int rows = form.Dir1->count();

    env.dialogs.inputAnswers = {"Holiday 2024"};
    form.mnusub->trigger();
    QCOMPARE(env.dialogs.inputs.first().helpTopic, 19);
    QVERIFY(QFileInfo(dir + "/Holiday 2024").isDir());
    QCOMPARE(form.Dir1->path(), dir);
    QCOMPARE(form.Dir1->count(), rows + 1);

    // An existing name fails without a beep; a path is not a name.
    env.dialogs.inputAnswers = {"Holiday 2024", "../beside"};
    form.mnusub_Click();
    form.mnusub_Click();
    QCOMPARE(env.dialogs.messages.size(), 2);
    QCOMPARE(env.dialogs.messages[0].title, QString("SubDIR Creation ERROR 17 (File exists)"));
    QCOMPARE(env.dialogs.beeps, 0);
    QVERIFY(!QFileInfo::exists(QFileInfo(dir).path() + "/beside"));
}

void DeleteRenameTest::keypadZoomCompounds()
{
    TestEnvironment env;
    const QString dir = env.makeFolder("five");
    Window w(dir);
    w.form.File1->setListIndex(0);
    const double width = w.form.Image1->widthTwips();
    const double height = w.form.Image1->heightTwips();
    QCOMPARE(width, 40 * 15.0);

    QTest::keyClick(w.form.File1, Qt::Key_Plus, Qt::KeypadModifier);
    QTest::keyClick(w.form.File1, Qt::Key_Plus, Qt::KeypadModifier);
    QCOMPARE(w.form.Image1->widthTwips(), width * 1.05 * 1.05);
    QCOMPARE(w.form.Image1->heightTwips(), height * 1.1025);
    QVERIFY(w.form.Image1->stretch());
    QCOMPARE(w.form.StatusBar1->text(4), QString("User"));
    QTest::keyClick(w.form.File1, Qt::Key_Minus, Qt::KeypadModifier);
    QCOMPARE(w.form.Image1->widthTwips(), width * 1.1025 * 0.95);

    // The main keyboard's plus and minus leave the picture alone.
    w.form.Option3_Click();
    QCOMPARE(w.form.StatusBar1->text(4), QString("1:1"));
    QTest::keyClick(w.form.File1, Qt::Key_Plus);
    QTest::keyClick(w.form.File1, Qt::Key_Minus);
    QCOMPARE(w.form.Image1->widthTwips(), width);
    QCOMPARE(w.form.StatusBar1->text(4), QString("1:1"));

    // In animation mode the keys bring the hidden picture area back.
    w.form.Label2 = "avi";
    w.form.Image1->hide();
    QTest::keyClick(w.form.File1, Qt::Key_Minus, Qt::KeypadModifier);
    QVERIFY(!w.form.Image1->isHidden());
    QCOMPARE(w.form.Image1->widthTwips(), width * 0.95);
}

void DeleteRenameTest::deleteKey()
{
    TestEnvironment env;
    const QString dir = env.makeFolder("five");
    Window w(dir);
    w.form.File1->setListIndex(1);
    QTest::keyClick(w.form.File1, Qt::Key_Delete);
    QCOMPARE(entries(dir), QStringList({"1.jpg", "3.jpg", "4.jpg", "5.jpg"}));
    QCOMPARE(w.form.File1->fileName(), QString("3.jpg"));

    // A name that is not valid UTF-8 is deleted as that very file, or not at
    // all with a message; never another file.
    const QByteArray odd = QFile::encodeName(dir) + "/caf\xe9.jpg";
    savePicture(dir + "/plain.bmp", Qt::white);
    QCOMPARE(::rename(QFile::encodeName(dir + "/plain.bmp").constData(), odd.constData()), 0);
    w.form.File1->refresh();
    QCOMPARE(w.form.File1->listCount(), 5);
    w.form.File1->setListIndex(4);
    QVERIFY(w.form.File1->fileName().startsWith("caf"));
    const qsizetype messages = env.dialogs.messages.size();
    QTest::keyClick(w.form.File1, Qt::Key_Delete);
    const bool gone = ::access(odd.constData(), F_OK) != 0;
    QCOMPARE(gone, env.dialogs.messages.size() == messages);
    if (!gone)
        QVERIFY(env.dialogs.messages.last().title.startsWith("File delete ERROR "));
    QCOMPARE(entries(dir), QStringList({"1.jpg", "3.jpg", "4.jpg", "5.jpg"}));
    ::unlink(odd.constData());
}

QTEST_MAIN(DeleteRenameTest)
#include "test_delete_rename.moc"
