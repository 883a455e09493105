// The File Information window on real files: what it shows, the attribute
// flags it writes (also where the file system keeps no extended
// attributes), and its rename and delete.
#include "core/file_system.h"
#include "fileops/form10.h"
#include "support/window_helpers.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QProcess>

namespace {
// The main window with name selected in folder.
struct Selected {
    Selected(const QString& folder, const QString& name) : v(folder) { v.select(name); }
    Viewer v;
    MainWindow& form = v.form;
};

QList<bool> ticks(const Form10& info)
{
    return {info.Check1->isChecked(), info.Check2->isChecked(), info.Check3->isChecked(), info.Check4->isChecked()};
}

void tickAll(Form10& info, bool on)
{
    for (QCheckBox* box : {info.Check1, info.Check2, info.Check3, info.Check4})
        box->setChecked(on);
}

// A folder on a file system without extended attributes (ramfs), unmounted
// when it goes; empty when this process may not mount.
struct RamFolder {
    explicit RamFolder(const QString& at) : path(at)
    {
        if (QProcess::execute("mount", {"-t", "ramfs", "none", at}) != 0)
            path.clear();
    }
    ~RamFolder()
    {
        if (!path.isEmpty())
            QProcess::execute("umount", {path});
    }
    QString path;
};
}

class FileInfoTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheCurrentFile();
    void stopsWhereTheFileVanished();
    void attributeFlags();
    void okWritesTheTickedFlags();
    void flagsWithoutExtendedAttributes();
    void renameAndDeleteAlwaysClose();
};

void FileInfoTest::showsTheCurrentFile()
{
    TestEnvironment env;
    const QString dir = env.makeFolder("info");
    writeFile(dir + "/empty.jpg");
    writeFile(dir + "/two.jpg", QByteArray(2048, 'x'));
    QFile two(dir + "/two.jpg");
    QVERIFY(two.open(QIODevice::ReadWrite));
    QVERIFY(two.setFileTime(QDateTime(QDate(2026, 3, 7), QTime(0, 0)), QFileDevice::FileModificationTime));
    two.close();

    Viewer none(dir);
    Form10 blank(&none.form);
    for (QLabel* l : {blank.Label5, blank.Label6, blank.Label7, blank.Label8})
        QCOMPARE(l->text(), QString("No file selected"));
    QCOMPARE(ticks(blank), QList<bool>({false, false, false, false}));

    Selected s(dir, "two.jpg");
    Form10 info(&s.form);
    QCOMPARE(info.Label5->text(), QString("two.jpg"));
    QCOMPARE(info.Label6->text(), dir + "/");
    QCOMPARE(info.Label7->text(), QString("2,048 bytes"));
    QCOMPARE(info.Label8->text(), QString("3/7/26"));

    Selected e(dir, "empty.jpg");
    QCOMPARE(Form10(&e.form).Label7->text(), QString(" bytes"));
}

void FileInfoTest::stopsWhereTheFileVanished()
{
    TestEnvironment env;
    const QString dir = env.makeFolder("gone");
    writeFile(dir + "/a.jpg");
    Selected s(dir, "a.jpg");
    QVERIFY(QFile::remove(dir + "/a.jpg"));
    Form10 info(&s.form);
    QCOMPARE(info.Label5->text(), QString("a.jpg"));
    QCOMPARE(info.Label7->text(), QString("No file selected"));
    QCOMPARE(info.Label8->text(), QString("No file selected"));
    info.Command3_Click();
    QVERIFY(!QFile::exists(dir + "/a.jpg"));
}

void FileInfoTest::attributeFlags()
{
    for (int plain : {0, 1, 7, 32, 33, 39})
        QCOMPARE(tickedAttributes(plain), plain);
    for (int other : {8, 16, 31, 40, 128, 161, -1})
        QCOMPARE(tickedAttributes(other), 0);
}

void FileInfoTest::okWritesTheTickedFlags()
{
    TestEnvironment env;
    const QString dir = env.makeFolder("flags");
    writeFile(dir + "/a.jpg");
    Selected s(dir, "a.jpg");
    const QString file = dir + "/a.jpg";
    {
        Form10 info(&s.form);
        tickAll(info, true);
        info.Command3_Click();
        QCOMPARE(info.result(), int(QDialog::Accepted));
    }
    QCOMPARE(FileSystem::attributes(file), 39);
    // Hidden is a flag, never a new name.
    QVERIFY(QFile::exists(file));
    {
        Form10 info(&s.form);
        QCOMPARE(ticks(info), QList<bool>({true, true, true, true}));
        tickAll(info, false);
        info.Command3_Click();
    }
    QCOMPARE(FileSystem::attributes(file), 0);
}

void FileInfoTest::flagsWithoutExtendedAttributes()
{
    TestEnvironment env;
    RamFolder ram(env.makeFolder("ram"));
    if (ram.path.isEmpty())
        QSKIP("cannot mount a ramfs here (needs root); the file system without extended attributes is untested");
    savePicture(ram.path + "/a.jpg", {8, 8});
    Selected s(ram.path, "a.jpg");
    {
        Form10 info(&s.form);
        QCOMPARE(ticks(info), QList<bool>({true, false, false, false}));
        tickAll(info, true);
        info.Command3_Click();
        QCOMPARE(info.result(), int(QDialog::Accepted));
    }
    // The permission part is kept; the flags without a place are dropped
    // without a word.
    QCOMPARE(FileSystem::attributes(ram.path + "/a.jpg"), 33);
    QVERIFY(env.dialogs.messages.isEmpty());
    QCOMPARE(Form10(&s.form).Label5->text(), QString("a.jpg"));
}

void FileInfoTest::renameAndDeleteAlwaysClose()
{
    TestEnvironment env;
    const QString dir = env.makeFolder("cmds");
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
        savePicture(dir + "/" + name, {8, 8});
    Selected s(dir, "a.jpg");
    writeSetting("DelConfirmation", "1");

    struct Step { void (Form10::*click)(); QString answer; MsgResult confirm; QStringList files; };
    const QList<Step> steps{
        {&Form10::Command1_Click, "", MsgResult::OK, {"a.jpg", "b.jpg", "c.jpg"}},     // rename cancelled
        {&Form10::Command1_Click, "b", MsgResult::OK, {"a.jpg", "b.jpg", "c.jpg"}},    // b.jpg exists
        {&Form10::Command2_Click, "", MsgResult::No, {"a.jpg", "b.jpg", "c.jpg"}},     // delete refused
        {&Form10::Command1_Click, "z", MsgResult::OK, {"b.jpg", "c.jpg", "z.jpg"}},
    };
    for (const Step& step : steps) {
        Form10 info(&s.form);
        env.dialogs.inputAnswers = {step.answer};
        env.dialogs.messageAnswers = {step.confirm};
        (info.*step.click)();
        QCOMPARE(info.result(), int(QDialog::Accepted));
        QCOMPARE(QDir(dir).entryList(QDir::Files), step.files);
    }
    // The failed rename: its own title, in the box only.
    QVERIFY(!env.dialogs.inputs[0].positionTwips);
    QCOMPARE(env.dialogs.messages[0].text, QString("Unable to rename the selected file, the file or path may be corrupted"));
    QVERIFY(env.dialogs.messages[0].title.startsWith("ERROR 17 ("));
    QVERIFY(logLines(env.programFolder() + "/PXLog.txt").isEmpty());

    s.v.select("b.jpg");
    writeSetting("DelConfirmation", "0");
    Form10(&s.form).Command2_Click();
    QCOMPARE(QDir(dir).entryList(QDir::Files), QStringList({"c.jpg", "z.jpg"}));
    QCOMPARE(s.form.File1->fileName(), QString("c.jpg"));
}

QTEST_MAIN(FileInfoTest)
#include "test_file_info.moc"
