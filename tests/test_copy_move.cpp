// Copy, move, the clipboard and Save As on real files: the overwrite
// question, a namesake in other letter case, read-only or hidden, the
// refusals, a copy that runs out of space half-way, a copy held mid-way on
// its worker, and the save-as name rule.
#include "core/file_system.h"
#include "desktop/clipboard.h"
#include "fileops/file_job.h"
#include "fileops/main_files.h"
#include "fileops/name_rules.h"
#include "support/fuse_mount.h"
#include "support/window_helpers.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>
#include <semaphore>
#include <sys/stat.h>
#include <unistd.h>
#include <sys/xattr.h>

namespace {
QImage rgb(const QImage& image) { return image.convertToFormat(QImage::Format_RGB32); }

QPair<mode_t, time_t> modeAndTime(const QString& path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return {st.st_mode & 07777, st.st_mtim.tv_sec};
}

// Gives the file a date long past and owner-only permissions; returns
// both, as a copy must keep them.
QPair<mode_t, time_t> age(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadWrite);
    f.setFileTime(QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6), Qt::UTC), QFileDevice::FileModificationTime);
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return modeAndTime(path);
}

// Counts the paint events a widget gets.
struct PaintCount : QObject {
    bool eventFilter(QObject*, QEvent* event) override { return (count += event->type() == QEvent::Paint) < 0; }
    int count = 0;
};

// The main window over a folder "src" of the given pictures, copying into "dst".
struct Bench {
    explicit Bench(const QStringList& names, QSize size = {40, 20}) : src(savePictures(env.makeFolder("src"), names, size))
    {
        form.files().useAsCopyDirectory(dst + "/");
    }
    void select(const QString& name) { viewer.select(name); }
    // Clicks a copy or move button and waits for the copy's end.
    bool run(QPushButton* button)
    {
        button->click();
        return QTest::qWaitFor([this] { return !form.copying(); });
    }
    // Save As, which writes on the pool too, to its end.
    bool saveAs()
    {
        form.saveas_Click();
        return QTest::qWaitFor([this] { return !form.copying(); });
    }
    QStringList titles() const { return env.dialogs.titles(); }
    TestEnvironment env;
    const QString src;
    const QString dst = env.makeFolder("dst");
    Viewer viewer{env.desktop(), src};
    MainWindow& form = viewer.form;
    const Form1Controls& ui = viewer.ui;
};
}

class CopyMoveTest : public QObject {
    Q_OBJECT
private slots:
    void copyWithAndWithoutNamesake()
    {
        Bench b({"new.jpg", "photo.jpg", "other.jpg", "hidden.jpg"});
        writeFile(b.dst + "/photo.jpg", "older photo");
        writeFile(b.dst + "/Other.JPG", "older other");

        // Leftovers of copies killed half-way go with the next copy into their
        // folder, unless their process runs or someone has them open.
        const QString dead = ".pxcopy-" + fileBytes("/proc/sys/kernel/pid_max").trimmed() + "-";
        const QString live = QString(".pxcopy-%1-aaaaaa").arg(QCoreApplication::applicationPid());
        for (const QString& name : {dead + "aaaaaa", dead + "bbbbbb", live})
            writeFile(b.dst + "/" + name, "leftover");
        QFile held(b.dst + "/" + dead + "bbbbbb");
        QVERIFY(held.open(QIODevice::ReadOnly));

        // Nothing in the way: copied without a question, the button spent until
        // another file is selected.
        b.select("new.jpg");
        const auto aged = age(b.src + "/new.jpg");
        QVERIFY(b.run(b.ui.Command2));
        QVERIFY(!QFile::exists(b.dst + "/" + dead + "aaaaaa"));
        for (const QString& kept : {dead + "bbbbbb", live})
            QVERIFY(QFile::remove(b.dst + "/" + kept));
        QCOMPARE(modeAndTime(b.dst + "/new.jpg"), aged);
        QVERIFY(b.titles().isEmpty());
        QVERIFY(!b.ui.Command2->isEnabled());
        b.select("photo.jpg");
        QVERIFY(b.ui.Command2->isEnabled());

        // No keeps the existing file; Yes replaces it, read-only as it is.
        b.env.dialogs.messageAnswers = {MsgResult::No};
        QVERIFY(b.run(b.ui.Command2));
        QCOMPARE(b.titles(), QStringList{"Overwrite file?"});
        QCOMPARE(fileBytes(b.dst + "/photo.jpg"), QByteArray("older photo"));
        QVERIFY(b.ui.Command2->isEnabled());
        FileSystem::setAttributes(b.dst + "/photo.jpg", FileSystem::ReadOnly);
        b.env.dialogs.messageAnswers = {MsgResult::Yes};
        QVERIFY(b.run(b.ui.Command2));
        QCOMPARE(b.titles(), QStringList(2, "Overwrite file?"));
        QCOMPARE(fileBytes(b.dst + "/photo.jpg"), fileBytes(b.src + "/photo.jpg"));

        // A namesake in other letter case is asked about and replaced by the
        // name the list shows.
        b.select("other.jpg");
        b.env.dialogs.messageAnswers = {MsgResult::Yes};
        QVERIFY(b.run(b.ui.Command2));
        QCOMPARE(b.titles(), QStringList(3, "Overwrite file?"));
        QCOMPARE(entries(b.dst), QStringList({"new.jpg", "other.jpg", "photo.jpg"}));
        QCOMPARE(fileBytes(b.dst + "/other.jpg"), fileBytes(b.src + "/other.jpg"));

        // A hidden namesake is not seen, so not asked about; the copy refuses to
        // replace it.
        writeFile(b.dst + "/hidden.jpg", "hidden older");
        if (::setxattr(QFile::encodeName(b.dst + "/hidden.jpg").constData(), "user.probe", "1", 1, 0) != 0)
            QSKIP("no user extended attributes on this file system");
        FileSystem::setAttributes(b.dst + "/hidden.jpg", FileSystem::Hidden);
        b.select("hidden.jpg");
        QVERIFY(b.run(b.ui.Command2));
        QCOMPARE(b.titles().mid(3), QStringList{"File copy ERROR 75 (Path/File access error: the file is hidden)"});
        QCOMPARE(fileBytes(b.dst + "/hidden.jpg"), QByteArray("hidden older"));
        QCOMPARE(FileSystem::attributes(b.dst + "/hidden.jpg"), int(FileSystem::Hidden));
    }

    void namesakeWithPatternCharacters_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("move");
        for (const char* name : {"photo [1].jpg", "[abc].jpg", "x;y.jpg", "  lead.jpg", "a*b.jpg", "a?c.jpg",
                                 "back\\slash.jpg", "ab].jpg", "!x.jpg"}) {
            QTest::addRow("copy %s", name) << QString(name) << false;
            QTest::addRow("move %s", name) << QString(name) << true;
        }
    }

    // A name is compared as a name, never matched as a pattern, so the file of
    // that name in the copy folder is always asked about and kept on No.
    void namesakeWithPatternCharacters()
    {
        QFETCH(QString, name);
        QFETCH(bool, move);
        Bench b({name});
        writeFile(b.dst + "/" + name, "older");
        b.select(name);
        b.env.dialogs.messageAnswers = {MsgResult::No};
        QVERIFY(b.run(move ? b.ui.Command7 : b.ui.Command2));
        QCOMPARE(b.titles(), QStringList{"Overwrite file?"});
        QCOMPARE(fileBytes(b.dst + "/" + name), QByteArray("older"));
        QVERIFY(QFile::exists(b.src + "/" + name));
        b.env.dialogs.messageAnswers = {MsgResult::Yes};
        QVERIFY(b.run(move ? b.ui.Command7 : b.ui.Command2));
        QCOMPARE(b.titles(), QStringList(2, "Overwrite file?"));
        QCOMPARE(QFile::exists(b.src + "/" + name), !move);
        QVERIFY(fileBytes(b.dst + "/" + name) != QByteArray("older"));
    }

    void copyOntoItselfIsRefused()
    {
        Bench b({"photo.jpg"});
        const QByteArray original = fileBytes(b.src + "/photo.jpg");
        b.form.files().useAsCopyDirectory(b.src + "/");
        b.select("photo.jpg");
        writeSetting("MoveConfirmation", "0");
        b.env.dialogs.messageAnswers = {MsgResult::Yes, MsgResult::Yes, MsgResult::Yes};
        QVERIFY(b.run(b.ui.Command2));
        QVERIFY(b.run(b.ui.Command7));
        // The same folder spelt another way.
        b.form.files().useAsCopyDirectory(b.src + "/./");
        QVERIFY(b.run(b.ui.Command2));

        // Refused before any question: the only copy stays as it was.
        const QString same = " ERROR 58 (Source and destination are the same file)";
        QCOMPARE(b.titles(), QStringList({"File copy" + same, "File move" + same, "File copy" + same}));
        QCOMPARE(fileBytes(b.src + "/photo.jpg"), original);
        QCOMPARE(entries(b.src), QStringList{"photo.jpg"});
    }

    void namesakeInFoldingFolder_data()
    {
        QTest::addColumn<bool>("move");
        QTest::newRow("copy") << false;
        QTest::newRow("move") << true;
    }

    // A folder that ignores letter case (a vfat stick, an SMB share) keeps the
    // namesake's spelling for the copy that replaces it: the namesake is then
    // the copy, never removed, and is given the selected name's spelling.
    void namesakeInFoldingFolder()
    {
        QFETCH(bool, move);
        Bench b({"photo.jpg"});
        const FuseMount folding("casefold_fs", {b.env.makeFolder("backing"), b.dst}, b.dst);
        REQUIRE_MOUNTED(folding);
        writeFile(b.dst + "/Photo.JPG", "older");
        QCOMPARE(fileBytes(b.dst + "/photo.jpg"), QByteArray("older"));

        const QByteArray source = fileBytes(b.src + "/photo.jpg");
        b.select("photo.jpg");
        b.env.dialogs.messageAnswers = {MsgResult::Yes};
        QVERIFY(b.run(move ? b.ui.Command7 : b.ui.Command2));
        QCOMPARE(b.titles(), QStringList{"Overwrite file?"});
        QCOMPARE(entries(b.dst), QStringList{"photo.jpg"});
        QCOMPARE(fileBytes(b.dst + "/photo.jpg"), source);
        QCOMPARE(entries(b.src), move ? QStringList() : QStringList{"photo.jpg"});
    }

    // With the setting a move asks first: No leaves the file, Yes moves it.
    // Without it nothing is asked (heldCopy).
    void moveConfirmation()
    {
        Bench b({"b.jpg"});
        writeSetting("MoveConfirmation", "1");
        b.select("b.jpg");
        b.env.dialogs.messageAnswers = {MsgResult::No, MsgResult::Yes};
        for (const QStringList& left : {QStringList{"b.jpg"}, QStringList()}) {
            QVERIFY(b.run(b.ui.Command7));
            QCOMPARE(entries(b.src), left);
        }
        QCOMPARE(b.titles(), QStringList(2, "Move file?"));
    }

    void failedCopyLosesNothing()
    {
        // A picture larger than the whole destination volume, over an older copy.
        Bench b({"big.bmp"}, {300, 300});
        if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", b.dst}) != 0)
            QSKIP("cannot mount a small file system here");
        const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {b.dst}); });
        const QByteArray source = fileBytes(b.src + "/big.bmp");
        QVERIFY(source.size() > 64 * 1024);
        writeFile(b.dst + "/big.bmp", "the older copy");
        b.select("big.bmp");

        // Yes to the overwrite question, then the disk fills up half-way; a move
        // that cannot copy keeps its source.
        b.env.dialogs.messageAnswers = {MsgResult::Yes, MsgResult::Yes};
        QVERIFY(b.run(b.ui.Command2));
        QVERIFY(b.run(b.ui.Command7));
        QCOMPARE(b.titles(), QStringList({"Overwrite file?", "File copy ERROR 28 (No space left on device)",
                                          "Overwrite file?", "File move ERROR 28 (No space left on device)"}));
        QCOMPARE(fileBytes(b.src + "/big.bmp"), source);
        QCOMPARE(fileBytes(b.dst + "/big.bmp"), QByteArray("the older copy"));
        QCOMPARE(entries(b.dst), QStringList{"big.bmp"});
    }

    void heldCopy_data()
    {
        QTest::addColumn<bool>("move");
        QTest::addColumn<bool>("close");
        QTest::newRow("copy") << false << false;
        QTest::newRow("move") << true << false;
        QTest::newRow("close during move") << true << true;
    }

    // The bytes go on a worker: while a copy of a read-only source is held
    // mid-way the window runs, shows the bar and refuses other file commands,
    // and the result shows only at the end. A close stops it with both files
    // as they were.
    void heldCopy()
    {
        QFETCH(bool, move);
        QFETCH(bool, close);
        const auto unhook = qScopeGuard([] { copyChunkHook = {}; });
        Bench b({"big.jpg", "small.jpg"});
        // A picture trailed by a few hundred MB of holes: real bytes to copy.
        const QString source = b.src + "/big.jpg", target = b.dst + "/big.jpg";
        QVERIFY(QFile::resize(source, qint64(256) << 20));
        const QByteArray original = fileBytes(source);
        FileSystem::setAttributes(source, FileSystem::ReadOnly);
        writeFile(target, "older");
        std::counting_semaphore<2> release(0);
        std::atomic<int> chunks = 0;
        copyChunkHook = [&](qint64, qint64) {
            if (chunks++ == 1)
                release.acquire();
        };
        const auto letGo = qScopeGuard([&] { release.release(); });
        b.form.show();
        b.select("big.jpg");
        b.env.dialogs.messageAnswers = {MsgResult::Yes};
        (move ? b.ui.Command7 : b.ui.Command2)->click();

        bool fired = false;
        QTimer::singleShot(5, [&] { fired = true; });
        QTRY_VERIFY(fired && chunks > 1);
        PaintCount painted;
        qApp->installEventFilter(&painted);
        QPointer<QProgressBar> bar;
        QTRY_VERIFY((bar = b.ui.StatusBar1->findChild<QProgressBar*>()) && bar->isVisible() && bar->value() > 0);
        QVERIFY(bar->value() < bar->maximum());
        QTRY_VERIFY(painted.count > 0);
        b.ui.mnudelete->trigger();
        QCOMPARE(b.titles(), QStringList({"Overwrite file?", "Please wait"}));
        QVERIFY(b.ui.Command2->isEnabled() && b.ui.Command7->isEnabled());
        QCOMPARE(QDir(b.dst).entryList(QDir::Files | QDir::Hidden).size(), 2);
        if (close)
            b.form.close();
        release.release();

        QTRY_VERIFY(close || !bar);
        QTRY_COMPARE(QDir(b.dst).entryList(QDir::Files | QDir::Hidden), QStringList{"big.jpg"});
        QCOMPARE(b.titles().size(), 2);
        QVERIFY(fileBytes(close ? source : target) == original);
        QCOMPARE(QFile::exists(source), close || !move);
        if (close)
            QCOMPARE(fileBytes(target), QByteArray("older"));
        else
            QCOMPARE((move ? b.ui.Command7 : b.ui.Command2)->text() + b.ui.Label6->text(),
                     move ? "File Moved1 File(s)" : "File Copied2 File(s)");
    }

    void clipboardRoundTrip()
    {
        Bench b({"shown.bmp"});

        // With nothing shown there is nothing to put on the clipboard.
        b.ui.Command6->click();
        QCOMPARE(b.titles(), QStringList{"Clipboard copy ERROR"});
        b.select("shown.bmp");
        b.ui.Command6->click();
        QCOMPARE(rgb(Clipboard::image()), rgb(QImage(b.src + "/shown.bmp")));

        // Paste shows another picture at 1:1 without touching the file state.
        QImage pasted(64, 48, QImage::Format_RGB32);
        pasted.fill(Qt::yellow);
        Clipboard::setImage(pasted);
        b.ui.Option4->setChecked(true);
        b.ui.Command3->click();
        QCOMPARE(rgb(b.ui.Image1->picture()), pasted);
        QCOMPARE(b.ui.Image1->widthTwips(), 64 * 15.0);
        QCOMPARE(b.form.shownPath(), b.src + "/shown.bmp");

        // With no picture on the clipboard the area is left empty, silently.
        Clipboard::clear();
        b.ui.Command3->click();
        QVERIFY(!b.ui.Image1->hasPicture());
        QCOMPARE(b.titles().size(), 1);
    }

    void saveAs()
    {
        // Four characters at most, from the first "." on both sides, a folder
        // name's included; a chosen name without one is not saved.
        for (const auto& [chosen, source, target] :
             {std::tuple{"/out/holiday.bmp", "/pics/beach.jpeg", "/out/holiday.jpeg"}, {"/out/holiday", "/pics/a.gif", "<not saved>"},
              {"/out/x.y.z", "/pics/a.jpegxyz", "/out/x.jpeg"}, {"/my.pics/holiday.bmp", "/pics/a.gif", "/my.gif"},
              {"/out/new.bmp", "/my.pics/a.gif", "/out/new.pics"}, {"/out/new.bmp", "/pics/noext", "/out/new.bmp"}})
            QCOMPARE(saveAsTarget(chosen, source).value_or("<not saved>"), QString(target));

        Bench b({"beach.jpeg"}, {24, 16});
        const QString out = b.env.makeFolder("out");
        b.select("beach.jpeg");

        // Picture files: copied unchanged, with the source's extension.
        b.env.dialogs.fileAnswers = {{out + "/holiday.bmp", 1}};
        QVERIFY(b.saveAs());
        QCOMPARE(fileBytes(out + "/holiday.jpeg"), fileBytes(b.src + "/beach.jpeg"));
        // The dialog opens in the folder being browsed, with its help topic.
        const FileDialogRequest& asked = b.env.dialogs.fileDialogs.last();
        QCOMPARE(asked.folder, b.src);
        QCOMPARE(asked.helpFile, b.env.programFolder() + "/pxhelp.hlp");
        QCOMPARE(asked.helpTopic, 10);

        // BMP Picture: the picture written as BMP under the name as typed.
        b.env.dialogs.fileAnswers = {{out + "/as bmp", 2}};
        QVERIFY(b.saveAs());
        QImageReader reader(out + "/as bmp");
        QCOMPARE(reader.format(), QByteArray("bmp"));
        QCOMPARE(rgb(reader.read()), rgb(b.form.lastPicture()));
        QCOMPARE(b.form.lastPicture().size(), QSize(24, 16));

        // Silent failures: a name without ".", a cancel, a read-only target.
        writeFile(out + "/locked.bmp", "keep me");
        FileSystem::setAttributes(out + "/locked.bmp", FileSystem::ReadOnly);
        b.env.dialogs.fileAnswers = {{out + "/nodot", 1}, {out + "/locked.bmp", 2}};
        for (int i = 0; i < 3; ++i)
            QVERIFY(b.saveAs());
        QCOMPARE(fileBytes(out + "/locked.bmp"), QByteArray("keep me"));
        QCOMPARE(entries(out), QStringList({"as bmp", "holiday.jpeg", "locked.bmp"}));
        QVERIFY(b.titles().isEmpty());
    }
};

QTEST_MAIN(CopyMoveTest)
#include "test_copy_move.moc"
