// Delete, rename, the sub-directory command and the file list's keys, on real
// files: re-selection after a delete, the rename rule and its refusals, and
// the keypad zoom.
#include "core/file_system.h"
#include "fileops/name_rules.h"
#include "support/window_helpers.h"

namespace {
const QStringList kFive{"1.jpg", "2.jpg", "3.jpg", "4.jpg", "5.jpg"};

QStringList without(QStringList names, const QString& name)
{
    names.removeOne(name);
    return names;
}

// The main window browsing a folder of five pictures 1.jpg ... 5.jpg, each
// 40 by 20 and of its own colour.
struct Window {
    TestEnvironment env;
    const QString dir = savePictures(env.makeFolder("five"), kFive, {40, 20});
    Viewer viewer{env.desktop(), dir};
    MainWindow& form = viewer.form;
    const Form1Controls& ui = viewer.ui;
};
}

class DeleteRenameTest : public QObject {
    Q_OBJECT
private slots:
    void deleteSelectsTheNextFile()
    {
        // The second of five by the menu: the file that followed is selected and
        // shown. The last of five by the Delete key: nothing is selected.
        for (const int index : {1, 4}) {
            Window w;
            w.ui.File1->setListIndex(index);
            index == 1 ? w.ui.mnudelete->trigger() : QTest::keyClick(w.ui.File1, Qt::Key_Delete);
            QVERIFY(fileArrived(w.form));
            QCOMPARE(entries(w.dir), without(kFive, kFive[index]));
            QCOMPARE(w.ui.Label6->text(), QString("4 File(s)"));
            QCOMPARE(w.ui.File1->fileName(), QString(index == 1 ? "3.jpg" : ""));
            QCOMPARE(w.ui.Label7->text(), QString(index == 1 ? "Current: 2" : "Current: "));
            QVERIFY(w.env.dialogs.messages.isEmpty());
            if (index == 1)
                QCOMPARE(w.form.shownPath(), w.dir + "/3.jpg");
        }
    }

    void deleteConfirmationAndReadOnly()
    {
        Window w;
        writeSetting("DelConfirmation", "1");
        w.ui.File1->setListIndex(2);
        w.env.dialogs.messageAnswers = {MsgResult::No};
        w.form.mnudelete_Click();
        QCOMPARE(w.env.dialogs.messages[0].text,
                 QString("Are you sure you want to delete the following file:\r\r") + w.dir + "/3.jpg");
        QCOMPARE(entries(w.dir), kFive);

        // Yes deletes a read-only file without a further question.
        FileSystem::setAttributes(w.dir + "/3.jpg", FileSystem::ReadOnly);
        w.env.dialogs.messageAnswers = {MsgResult::Yes};
        w.form.mnudelete_Click();
        QCOMPARE(w.env.dialogs.messages.size(), 2);
        QCOMPARE(entries(w.dir), without(kFive, "3.jpg"));
    }

    void renameAndSubDirectoryRefuseBadNames()
    {
        QCOMPARE(renameTarget("/pics", "holiday", "/pics/beach.jpeg"), QString("/pics/holiday.jpeg"));
        QCOMPARE(renameTarget("/pics/", "holiday.old", "/pics/beach.jpeg"), QString("/pics/holiday.old"));
        QCOMPARE(renameTarget("/", "holiday", "/beach.jpegxyz"), QString("/holiday.jpeg"));
        QCOMPARE(renameTarget("/pics", "holiday", "/pics/beach"), QString("/pics/holiday"));
        // The extension comes from the first "." of the whole old path.
        QCOMPARE(renameTarget("/my.pics", "holiday", "/my.pics/beach.gif"), QString("/my.pics/holiday.pics"));
        QVERIFY(isPlainName("Holiday 2024") && isPlainName(".hidden"));
        for (const char* bad : {"", ".", "..", "a/b", "../x.jpg", "/abs"})
            QVERIFY2(!isPlainName(bad), bad);

        Window w;
        w.ui.File1->setListIndex(1);
        w.env.dialogs.inputAnswers = {" holiday "};
        w.ui.mnurename->trigger();
        const QStringList renamed{"1.jpg", "3.jpg", "4.jpg", "5.jpg", "holiday.jpg"};
        QCOMPARE(entries(w.dir), renamed);
        QCOMPARE(w.ui.File1->item(4), QString("holiday.jpg"));

        // An existing name, a path out of the folder and a cancel change nothing.
        w.ui.File1->setListIndex(0);
        w.env.dialogs.inputAnswers = {"3.jpg", "../escaped.jpg"};
        for (int i = 0; i < 3; ++i)
            w.form.mnurename_Click();
        QCOMPARE(entries(w.dir), renamed);
        QCOMPARE(w.env.dialogs.messages.size(), 2);
        QCOMPARE(w.env.dialogs.messages[0].title, QString("File rename ERROR 17 (File exists)"));

        const int beeps = w.env.dialogs.beeps;
        const int rows = w.ui.Dir1->count();
        w.env.dialogs.inputAnswers = {"Holiday 2024", "Holiday 2024", "../beside"};
        for (int i = 0; i < 3; ++i)
            w.form.mnusub_Click();
        QVERIFY(QFileInfo(w.dir + "/Holiday 2024").isDir());
        QCOMPARE(w.ui.Dir1->count(), rows + 1);

        // An existing name fails without a beep; a path is not a name.
        QCOMPARE(w.env.dialogs.messages.size(), 4);
        QCOMPARE(w.env.dialogs.messages[2].title, QString("SubDIR Creation ERROR 17 (File exists)"));
        QCOMPARE(w.env.dialogs.beeps, beeps);
        QVERIFY(!QFileInfo::exists(QFileInfo(w.dir).path() + "/beside"));
    }

    void keypadZoomCompounds()
    {
        Window w;
        w.ui.File1->setListIndex(0);
        QVERIFY(fileArrived(w.form));
        QTest::keyClick(w.ui.File1, Qt::Key_Plus, Qt::KeypadModifier);
        QTest::keyClick(w.ui.File1, Qt::Key_Plus, Qt::KeypadModifier);
        QCOMPARE(w.ui.Image1->widthTwips(), 40 * 15.0 * 1.05 * 1.05);
        QTest::keyClick(w.ui.File1, Qt::Key_Minus, Qt::KeypadModifier);
        QCOMPARE(w.ui.Image1->widthTwips(), 40 * 15.0 * 1.05 * 1.05 * 0.95);
        // Ctrl + wheel takes the same steps, one a notch, however the turn comes.
        turnWheel(w.ui.Image1, {0, -60}, Qt::ControlModifier);
        turnWheel(w.ui.Image1, {0, -60}, Qt::ControlModifier);
        turnWheel(w.ui.Image1, {0, 240}, Qt::ControlModifier);
        QCOMPARE(w.ui.Image1->widthTwips(), 40 * 15.0 * 1.05 * 1.05 * 0.95 * 0.95 * 1.05 * 1.05);
        QCOMPARE(w.ui.StatusBar1->text(4), QString("User"));

        // The main keyboard's plus and minus leave the picture alone.
        w.form.Option3_Click();
        QTest::keyClick(w.ui.File1, Qt::Key_Plus);
        QTest::keyClick(w.ui.File1, Qt::Key_Minus);
        QCOMPARE(w.ui.Image1->widthTwips(), 40 * 15.0);
    }
};

QTEST_MAIN(DeleteRenameTest)
#include "test_delete_rename.moc"
