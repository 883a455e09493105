// File names that are not valid UTF-8: the name codec gives back the bytes
// it was given, and the viewer lists, shows, plays, copies, moves, renames
// and deletes such files and browses such folders.
#include "browser/open_start_path.h"
#include "core/file_name.h"
#include "core/paths.h"
#include "editor/form6.h"
#include "fileops/main_files.h"
#include "movie/movie_player.h"
#include "support/fixtures.h"
#include "support/window_helpers.h"

#include <QProcess>
#include <QPushButton>
#include <QTextEdit>
#include <unistd.h>

namespace {
// Gives a file made under a plain name the name bytes; the name as the
// viewer carries it is returned.
QString renamedTo(const QString& folder, const QString& plainName, const QByteArray& bytes)
{
    const QByteArray from = (folder + "/" + plainName).toUtf8();
    const QByteArray to = folder.toUtf8() + "/" + bytes;
    return ::rename(from.constData(), to.constData()) == 0 ? FileName::fromBytes(bytes) : QString();
}

// QTemporaryDir cannot remove what it cannot name; rm can.
struct RemovedAtEnd {
    QString folder;
    ~RemovedAtEnd() { QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), folder}); }
};

bool exists(const QString& folder, const QByteArray& name)
{
    return ::access((folder.toUtf8() + "/" + name).constData(), F_OK) == 0;
}
}

class FileNamesTest : public QObject {
    Q_OBJECT
private slots:
    void bytesSurviveTheRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("escaped");
        QTest::newRow("ascii") << QByteArray("plain [1].jpg") << 0;
        QTest::newRow("utf-8") << QByteArray("caf\xc3\xa9 \xf0\x9f\x98\x80 \xf0\x9f\x82\x80.jpg") << 0;
        QTest::newRow("latin-1") << QByteArray("caf\xe9.jpg") << 1;
        QTest::newRow("stray bytes") << QByteArray("\xff\xfe\x80.png") << 3;
        QTest::newRow("overlong slash") << QByteArray("a\xc0\xaf" "b") << 2;
        QTest::newRow("encoded surrogate") << QByteArray("\xed\xa0\x80") << 3;
        QTest::newRow("cut-off sequence") << QByteArray("x\xe2\x82") << 2;
        QTest::newRow("beyond U+10FFFF") << QByteArray("\xf4\x90\x80\x80") << 4;
        QTest::newRow("escape look-alike") << QByteArray("\xed\xb3\xbf") << 3;
    }

    void bytesSurviveTheRoundTrip()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, escaped);
        const QString name = FileName::fromBytes(bytes);
        QCOMPARE(FileName::toBytes(name), bytes);
        int escapes = 0;
        for (qsizetype i = 0; i < name.size(); ++i) {
            if (name[i].isHighSurrogate())
                ++i;
            else if (name[i].unicode() >= 0xDC80 && name[i].unicode() <= 0xDCFF)
                ++escapes;
        }
        QCOMPARE(escapes, escaped);
        if (escaped == 0)
            QCOMPARE(name, QString::fromUtf8(bytes));
    }

    void showAndPlay()
    {
        TestEnvironment env;
        writeSetting("OnTop", "0");
        const QString dir = env.makeFolder("odd");
        const RemovedAtEnd removed{dir};
        savePicture(dir + "/p.jpg", {40, 30}, Qt::red);
        FIXTURE(wmf, "drawing.wmf");
        QVERIFY(QFile::copy(wmf, dir + "/d.wmf"));
        QVERIFY(makeClip(dir + "/c.avi", "testsrc=size=160x120:rate=10"));
        const QString picture = renamedTo(dir, "p.jpg", "p\xe9.jpg");
        const QString drawing = renamedTo(dir, "d.wmf", "\xff" "d.wmf");
        const QString clip = renamedTo(dir, "c.avi", "c\x80.avi");

        Viewer v(env.desktop(), dir);
        Form1& f = v.form;
        const Form1Controls& ui = v.ui;
        QCOMPARE(v.listed(), QStringList({clip, picture, drawing}));
        v.select(picture);
        QCOMPARE(f.shownPath(), dir + "/" + picture);
        QCOMPARE(ui.Image1->picture().size(), QSize(40, 30));
        QVERIFY(ui.Image1->picture().pixelColor(20, 15).red() > 200);
        v.select(drawing);
        QVERIFY(ui.Image1->hasPicture());
        QVERIFY(ui.Image1->picture().size() != QSize(40, 30));

        f.setFileKind(false, "*.*");
        v.select(clip);
        QVERIFY(ui.AM1->isVisibleTo(&f));
        QCOMPARE(ui.AM1->size(), QSize(160, 120));
        QVERIFY2(env.dialogs.messages.isEmpty(), qPrintable(env.dialogs.messages.value(0).title));
    }

    void copyMoveRenameDelete()
    {
        TestEnvironment env;
        const QString src = env.makeFolder("src");
        const QString dst = env.makeFolder("dst");
        const RemovedAtEnd removed{src}, removedToo{dst};
        savePictures(src, {"a.jpg", "b.jpg", "c.jpg"});
        const QString a = renamedTo(src, "a.jpg", "a\xe9.jpg");
        const QString b = renamedTo(src, "b.jpg", "b\xff.jpg");
        const QString c = renamedTo(src, "c.jpg", "c\xfe.jpg");
        Viewer v(env.desktop(), src);
        v.form.files().useAsCopyDirectory(dst + "/");
        writeSetting("MoveConfirmation", "0");

        v.select(a);
        v.ui.Command2->click();
        QTRY_VERIFY(!v.form.copying() && exists(dst, "a\xe9.jpg") && exists(src, "a\xe9.jpg"));
        // A second copy meets its namesake and asks first.
        env.dialogs.messageAnswers = {MsgResult::No};
        v.form.Command2_Click();
        QCOMPARE(env.dialogs.messages.size(), 1);
        QCOMPARE(env.dialogs.messages[0].title, QString("Overwrite file?"));

        v.select(b);
        v.ui.Command7->click();
        QTRY_VERIFY(!v.form.copying() && exists(dst, "b\xff.jpg") && !exists(src, "b\xff.jpg"));

        // The typed answer keeps the stray byte of the old name.
        v.select(c);
        env.dialogs.inputAnswers = {c.chopped(4) + "2"};
        v.form.mnurename_Click();
        QVERIFY(exists(src, "c\xfe" "2.jpg") && !exists(src, "c\xfe.jpg"));
        QCOMPARE(v.listed(), QStringList({a, FileName::fromBytes("c\xfe" "2.jpg")}));

        v.select(a);
        v.form.mnudelete_Click();
        QVERIFY(!exists(src, "a\xe9.jpg") && exists(dst, "a\xe9.jpg"));
        QCOMPARE(env.dialogs.messages.size(), 1);
    }

    void foldersAndTheCommandLine()
    {
        TestEnvironment env;
        const QString top = env.makeFolder("top");
        const RemovedAtEnd removed{top};
        QVERIFY(QDir(top).mkdir("plain"));
        const QString odd = renamedTo(top, "plain", "d\xe9j\xe0");
        savePicture(top + "/p.jpg", {8, 8});
        const QString picture = renamedTo(top, "p.jpg", "p\xe9.jpg");
        QVERIFY(::rename((top.toUtf8() + "/p\xe9.jpg").constData(), (top.toUtf8() + "/d\xe9j\xe0/p\xe9.jpg").constData()) == 0);

        Viewer v(env.desktop(), top);
        const QList<QListWidgetItem*> rows = v.ui.Dir1->findItems(odd, Qt::MatchEndsWith);
        QCOMPARE(rows.size(), 1);
        emit v.ui.Dir1->itemActivated(rows[0]);
        QCOMPARE(v.ui.File1->path(), fullPath(top, odd));
        QCOMPARE(v.listed(), QStringList{picture});

        // A start argument arrives as the bytes the shell gave.
        const QString argument = FileName::fromBytes(top.toUtf8() + "/d\xe9j\xe0/p\xe9.jpg");
        Viewer fresh(env.desktop(), top);
        openStartPath(fresh.form, argument);
        QVERIFY(fileArrived(fresh.form));
        QVERIFY2(env.dialogs.messages.isEmpty(), qPrintable(env.dialogs.messages.value(0).text));
        QCOMPARE(fresh.ui.File1->fileName(), picture);
        QVERIFY(fresh.ui.Image1->hasPicture());
    }

    void infoListReachesEveryFile()
    {
        TestEnvironment env;
        const QString dir = env.makeFolder("info");
        const RemovedAtEnd removed{dir};
        savePicture(dir + "/p.jpg", {40, 30});
        const QString picture = renamedTo(dir, "p.jpg", "p\xe9.jpg");
        Viewer v(env.desktop(), dir, "*.jpg");
        v.form.setFileKind(true, "*.jpg");
        env.dialogs.messageAnswers = {MsgResult::Yes};
        v.runInfoList();
        QCOMPARE(env.dialogs.messages.size(), 1);
        const QString text = Form6::existing(v.form.secondaryWindows())->RichTextBox1->toPlainText();
        const QStringList lines = text.split('\n');
        QVERIFY2(lines.size() > 2 && lines[2].startsWith(picture + "    ") && lines[2].contains(" bytes    40 x 30 Pixels    ("),
                 qPrintable(text));
        QVERIFY(text.contains("Total 1 File(s)"));
        v.form.secondaryWindows().editor.unload();
    }
};

QTEST_MAIN(FileNamesTest)
#include "test_file_names.moc"
