// The File Information window on real files: what it shows, the attribute
// flags it writes (also where the file system keeps no extended
// attributes), and its rename and delete.
#include "core/file_system.h"
#include "fileops/form10.h"
#include "support/window_helpers.h"

#include <QCheckBox>
#include <QDir>
#include <QProcess>

class FileInfoTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheCurrentFile()
    {
        TestEnvironment env;
        const QString dir = env.makeFolder("info");
        for (const char* name : {"empty.jpg", "gone.jpg"})
            writeFile(dir + "/" + name);
        writeFile(dir + "/two.jpg", QByteArray(2048, 'x'));

        Viewer v(env.desktop(), dir);
        QCOMPARE(Form10(&v.form).Label8->text(), QString("No file selected"));
        v.select("two.jpg");
        Form10 info(&v.form);
        QCOMPARE(info.Label5->text(), QString("two.jpg"));
        QCOMPARE(info.Label6->text(), dir + "/");
        QCOMPARE(info.Label7->text(), QString("2,048 bytes"));
        v.select("empty.jpg");
        QCOMPARE(Form10(&v.form).Label7->text(), QString(" bytes"));
        // A file that vanished stops the filling at its size.
        v.select("gone.jpg");
        QVERIFY(QFile::remove(dir + "/gone.jpg"));
        Form10 gone(&v.form);
        QCOMPARE(gone.Label5->text(), QString("gone.jpg"));
        QCOMPARE(gone.Label7->text(), QString("No file selected"));

        for (auto [value, ticked] : {std::pair{0, 0}, {7, 7}, {39, 39}, {8, 0}, {31, 0}, {40, 0}, {161, 0}, {-1, 0}})
            QCOMPARE(tickedAttributes(value), ticked);
    }

    void okWritesTheTickedFlags()
    {
        // On a ramfs, which keeps no extended attributes, read-only still
        // follows the box; hidden and system are dropped without a word and
        // archive always reads as set.
        TestEnvironment env;
        const QString ram = env.makeFolder("ram");
        const bool mounted = QProcess::execute("mount", {"-t", "ramfs", "none", ram}) == 0;
        const auto unmount = qScopeGuard([&] { if (mounted) QProcess::execute("umount", {ram}); });
        struct Case { QString dir; int allTicked; int noneTicked; };
        for (const Case& c : {Case{env.makeFolder("plain"), 39, 0}, Case{ram, 33, 32}}) {
            if (c.dir == ram && !mounted)
                QSKIP("cannot mount a ramfs here (needs root): no file system without extended attributes");
            savePicture(c.dir + "/a.jpg", {8, 8});
            Viewer v(env.desktop(), c.dir);
            v.select("a.jpg");
            for (bool on : {true, false}) {
                Form10 info(&v.form);
                for (QCheckBox* box : {info.Check1, info.Check2, info.Check3, info.Check4})
                    box->setChecked(on);
                info.Command3_Click();
                QCOMPARE(FileSystem::attributes(c.dir + "/a.jpg"), on ? c.allTicked : c.noneTicked);
            }
            QVERIFY(env.dialogs.messages.isEmpty());
        }
    }

    void renameAndDeleteAlwaysClose()
    {
        TestEnvironment env;
        const QString dir = savePictures(env.makeFolder("cmds"), {"a.jpg", "b.jpg", "c.jpg"});
        Viewer v(env.desktop(), dir);
        v.select("a.jpg");
        writeSetting("DelConfirmation", "1");

        struct Step { void (Form10::*click)(); QString answer; MsgResult confirm; QStringList files; };
        for (const Step& step : {Step{&Form10::Command2_Click, "", MsgResult::No, {"a.jpg", "b.jpg", "c.jpg"}},
                                 Step{&Form10::Command1_Click, "b", MsgResult::OK, {"a.jpg", "b.jpg", "c.jpg"}},
                                 Step{&Form10::Command2_Click, "", MsgResult::Yes, {"b.jpg", "c.jpg"}}}) {
            Form10 info(&v.form);
            env.dialogs.inputAnswers = {step.answer};
            env.dialogs.messageAnswers = {step.confirm};
            (info.*step.click)();
            QCOMPARE(info.result(), int(QDialog::Accepted));
            QCOMPARE(QDir(dir).entryList(QDir::Files), step.files);
        }
        QCOMPARE(v.ui.File1->fileName(), QString("b.jpg"));
        // The failed rename ("b" becomes b.jpg, which exists): its own title, in
        // the box only, and no place given for the input box.
        QVERIFY(!env.dialogs.inputs[0].positionTwips);
        QCOMPARE(env.dialogs.messages[1].text, QString("Unable to rename the selected file, the file or path may be corrupted"));
        QVERIFY(env.dialogs.messages[1].title.startsWith("ERROR 17 ("));
        QVERIFY(logLines(env.programFolder() + "/PXLog.txt").isEmpty());
    }
};

QTEST_MAIN(FileInfoTest)
#include "test_file_info.moc"
