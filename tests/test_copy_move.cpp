// Copy, move, the clipboard and Save As on real files: the overwrite
// question, the letter-case and attribute rules, the refusals, a copy that
// runs out of space half-way, and the save-as name rule.
#include "fileops/name_rules.h"
#include "platform/clipboard.h"
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
#include <QImageReader>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <sys/xattr.h>

namespace {
const QString kCopyMessage = "Unable to copy the selected file, the file/path may be corrupted\r"
                             "Please select another file or check the destination path";

void savePicture(const QString& path, QColor colour, int w = 40, int h = 20)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    QVERIFY(image.save(path));
}

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

QStringList programLog(const TestEnvironment& env)
{
    QFile f(env.programFolder() + "/PXLog.txt");
    f.open(QIODevice::ReadOnly);
    return QString::fromUtf8(f.readAll()).split("\r\n", Qt::SkipEmptyParts);
}

bool hasUserXattrs(const QString& folder)
{
    const QString probe = folder + "/.probe";
    writeBytes(probe, "x");
    const bool ok = ::setxattr(QFile::encodeName(probe).constData(), "user.DOSATTRIB", "0x20", 4, 0) == 0;
    QFile::remove(probe);
    return ok;
}

QImage rgb(const QImage& image) { return image.convertToFormat(QImage::Format_RGB32); }

// A tmpfs of a given size mounted over a folder for the length of a test;
// only where this process may mount.
class SmallVolume {
public:
    SmallVolume(const QString& folder, const QString& size) : path(folder)
    {
        QProcess p;
        p.start("mount", {"-t", "tmpfs", "-o", "size=" + size, "tmpfs", folder});
        mounted = p.waitForFinished() && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }
    ~SmallVolume()
    {
        if (mounted)
            QProcess::execute("umount", {path});
    }
    bool makeReadOnly() { return QProcess::execute("mount", {"-o", "remount,ro", path}) == 0; }
    QString path;
    bool mounted = false;
};

// The main window over a source folder, with a copy folder of its own.
struct Window {
    Window(const QString& source, const QString& copyFolder)
    {
        form.File1->setPath(source);
        form.Text3 = copyFolder + "/";
    }
    void select(const QString& name)
    {
        for (int i = 0; i < form.File1->listCount(); ++i)
            if (form.File1->item(i) == name)
                form.File1->setListIndex(i);
        QCOMPARE(form.File1->fileName(), name);
    }
    Form1 form;
};
}

class CopyMoveTest : public QObject {
    Q_OBJECT
private slots:
    void copyIntoCopyFolder();
    void overwriteQuestion();
    void protectedNamesakes();
    void copyOntoItselfIsRefused();
    void moveWithAndWithoutConfirmation();
    void failedCopyLosesNothing();
    void readOnlyFolderAndVanishedSource();
    void clipboardRoundTrip();
    void saveAsNameRule();
    void saveAsCommand();
};

void CopyMoveTest::copyIntoCopyFolder()
{
    TestEnvironment env;
    const QString src = env.makeFolder("src");
    const QString dst = env.makeFolder("dst");
    savePicture(src + "/beach.jpg", Qt::red);
    savePicture(src + "/sea.jpg", Qt::blue);
    Window w(src, dst);
    w.select("beach.jpg");
    w.form.Command2->click();

    QCOMPARE(bytesOf(dst + "/beach.jpg"), bytesOf(src + "/beach.jpg"));
    QCOMPARE(entries(dst), QStringList{"beach.jpg"});
    QCOMPARE(w.form.Label4, dst + "/beach.jpg");
    QVERIFY(!w.form.Command2->isEnabled());
    QCOMPARE(w.form.Command2->text(), QString("File Copied"));
    QVERIFY(env.dialogs.messages.isEmpty());
    // Selecting a file arms the button again.
    w.select("sea.jpg");
    QVERIFY(w.form.Command2->isEnabled());
    QCOMPARE(w.form.Command2->text(), QString("&File Copy"));
}

void CopyMoveTest::overwriteQuestion()
{
    TestEnvironment env;
    const QString src = env.makeFolder("src");
    const QString dst = env.makeFolder("dst");
    savePicture(src + "/photo.jpg", Qt::red);
    savePicture(src + "/other.jpg", Qt::green);
    writeBytes(dst + "/photo.jpg", "older photo");
    writeBytes(dst + "/Other.JPG", "older other");
    Window w(src, dst);

    // No keeps the existing file and shows nothing more.
    w.select("photo.jpg");
    env.dialogs.messageAnswers = {MsgResult::No};
    w.form.Command2->click();
    QCOMPARE(env.dialogs.messages.size(), 1);
    QCOMPARE(env.dialogs.messages[0].title, QString("Overwrite file?"));
    QCOMPARE(bytesOf(dst + "/photo.jpg"), QByteArray("older photo"));
    QVERIFY(w.form.Command2->isEnabled());

    // Yes replaces it, a read-only one included.
    FileSystem::setAttributes(dst + "/photo.jpg", FileSystem::ReadOnly);
    env.dialogs.messageAnswers = {MsgResult::Yes};
    w.form.Command2->click();
    QCOMPARE(env.dialogs.messages.size(), 2);
    QCOMPARE(bytesOf(dst + "/photo.jpg"), bytesOf(src + "/photo.jpg"));
    QVERIFY(!(FileSystem::attributes(dst + "/photo.jpg") & FileSystem::ReadOnly));
    QCOMPARE(w.form.Command2->text(), QString("File Copied"));

    // A namesake in other letter case is asked about and replaced by the
    // name the list shows.
    w.select("other.jpg");
    env.dialogs.messageAnswers = {MsgResult::Yes};
    w.form.Command2->click();
    QCOMPARE(env.dialogs.messages.size(), 3);
    QCOMPARE(env.dialogs.messages.last().title, QString("Overwrite file?"));
    QCOMPARE(entries(dst), QStringList({"other.jpg", "photo.jpg"}));
    QCOMPARE(bytesOf(dst + "/other.jpg"), bytesOf(src + "/other.jpg"));
    QVERIFY(!w.form.Command2->isEnabled());
}

void CopyMoveTest::protectedNamesakes()
{
    TestEnvironment env;
    const QString src = env.makeFolder("src");
    const QString dst = env.makeFolder("dst");
    if (!hasUserXattrs(dst))
        QSKIP("no user extended attributes on this file system");
    savePicture(src + "/photo.jpg", Qt::red);
    writeBytes(dst + "/photo.jpg", "hidden older photo");
    FileSystem::setAttributes(dst + "/photo.jpg", FileSystem::Hidden);
    Window w(src, dst);
    w.select("photo.jpg");
    w.form.Command2->click();

    // Not seen, so not asked about; the copy refuses to replace it.
    QCOMPARE(env.dialogs.messages.size(), 1);
    QCOMPARE(env.dialogs.messages[0].text, kCopyMessage);
    QCOMPARE(env.dialogs.messages[0].title, QString("File copy ERROR 13 (Permission denied)"));
    QVERIFY(programLog(env).last().endsWith("> File copy ERROR 13 (Permission denied)\""));
    QCOMPARE(bytesOf(dst + "/photo.jpg"), QByteArray("hidden older photo"));
    QCOMPARE(FileSystem::attributes(dst + "/photo.jpg"), int(FileSystem::Hidden));
    QCOMPARE(entries(dst), QStringList{"photo.jpg"});
    QVERIFY(w.form.Command2->isEnabled());
}

void CopyMoveTest::copyOntoItselfIsRefused()
{
    TestEnvironment env;
    const QString src = env.makeFolder("src");
    savePicture(src + "/photo.jpg", Qt::red);
    const QByteArray original = bytesOf(src + "/photo.jpg");
    Window w(src, src);
    w.select("photo.jpg");
    env.dialogs.messageAnswers = {MsgResult::Yes, MsgResult::Yes, MsgResult::Yes};
    w.form.Command2->click();
    writeSetting("MoveConfirmation", "0");
    w.form.Command7->click();

    // Refused before any question: the only copy stays as it was.
    QCOMPARE(env.dialogs.messages.size(), 2);
    QCOMPARE(env.dialogs.messages[0].text, kCopyMessage);
    QVERIFY(env.dialogs.messages[0].title.startsWith("File copy ERROR 58 "));
    QVERIFY(env.dialogs.messages[1].title.startsWith("File move ERROR 58 "));
    QCOMPARE(bytesOf(src + "/photo.jpg"), original);
    QCOMPARE(entries(src), QStringList{"photo.jpg"});

    // The same through another spelling of the folder.
    w.form.Text3 = src + "/./";
    w.form.Command2->click();
    QCOMPARE(env.dialogs.messages.size(), 3);
    QCOMPARE(bytesOf(src + "/photo.jpg"), original);
}

void CopyMoveTest::moveWithAndWithoutConfirmation()
{
    TestEnvironment env;
    const QString src = env.makeFolder("src");
    const QString dst = env.makeFolder("dst");
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
        savePicture(src + "/" + name, Qt::cyan);
    const QByteArray picture = bytesOf(src + "/a.jpg");
    Window w(src, dst);

    // Without the setting: no question.
    w.select("a.jpg");
    FileSystem::setAttributes(src + "/a.jpg", FileSystem::ReadOnly);
    w.form.Command7->click();
    QVERIFY(env.dialogs.messages.isEmpty());
    QCOMPARE(entries(src), QStringList({"b.jpg", "c.jpg"}));
    QCOMPARE(bytesOf(dst + "/a.jpg"), picture);
    QCOMPARE(w.form.File1->listCount(), 2);
    QCOMPARE(w.form.Label6->text(), QString("2 File(s)"));
    QVERIFY(!w.form.Command7->isEnabled());
    QCOMPARE(w.form.Command7->text(), QString("File Moved"));

    // With it: No leaves both folders alone, Yes moves.
    writeSetting("MoveConfirmation", "1");
    w.select("b.jpg");
    env.dialogs.messageAnswers = {MsgResult::No};
    w.form.Command7->click();
    QCOMPARE(env.dialogs.messages.size(), 1);
    QCOMPARE(env.dialogs.messages[0].title, QString("Move file?"));
    QCOMPARE(entries(src), QStringList({"b.jpg", "c.jpg"}));
    QCOMPARE(entries(dst), QStringList{"a.jpg"});
    QVERIFY(w.form.Command7->isEnabled());

    env.dialogs.messageAnswers = {MsgResult::Yes};
    w.form.Command7->click();
    QCOMPARE(entries(src), QStringList{"c.jpg"});
    QCOMPARE(entries(dst), QStringList({"a.jpg", "b.jpg"}));
}

void CopyMoveTest::failedCopyLosesNothing()
{
    TestEnvironment env;
    const QString src = env.makeFolder("src");
    const QString dst = env.makeFolder("dst");
    SmallVolume volume(dst, "64k");
    if (!volume.mounted)
        QSKIP("cannot mount a small file system here");
    // A picture larger than the whole destination volume.
    QImage noise(300, 300, QImage::Format_RGB32);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, qRgb((x * 7 + y * 13) % 256, (x * y) % 256, (x ^ y) % 256));
    QVERIFY(noise.save(src + "/big.bmp"));
    const QByteArray source = bytesOf(src + "/big.bmp");
    QVERIFY(source.size() > 64 * 1024);
    writeBytes(dst + "/big.bmp", "the older copy");
    Window w(src, dst);
    w.select("big.bmp");

    // Yes to the overwrite question, then the disk fills up half-way.
    env.dialogs.messageAnswers = {MsgResult::Yes};
    w.form.Command2->click();
    QCOMPARE(env.dialogs.messages.size(), 2);
    QCOMPARE(env.dialogs.messages[1].title, QString("File copy ERROR 28 (No space left on device)"));
    QCOMPARE(bytesOf(dst + "/big.bmp"), QByteArray("the older copy"));
    QCOMPARE(entries(dst), QStringList{"big.bmp"});
    QCOMPARE(bytesOf(src + "/big.bmp"), source);

    // A move that cannot copy keeps its source.
    env.dialogs.messageAnswers = {MsgResult::Yes};
    w.form.Command7->click();
    QCOMPARE(env.dialogs.messages.size(), 4);
    QVERIFY(env.dialogs.messages[3].title.startsWith("File move ERROR 28 "));
    QCOMPARE(bytesOf(src + "/big.bmp"), source);
    QCOMPARE(bytesOf(dst + "/big.bmp"), QByteArray("the older copy"));
    QCOMPARE(entries(dst), QStringList{"big.bmp"});
    QCOMPARE(w.form.File1->listCount(), 1);
}

void CopyMoveTest::readOnlyFolderAndVanishedSource()
{
    TestEnvironment env;
    const QString src = env.makeFolder("src");
    const QString dst = env.makeFolder("dst");
    savePicture(src + "/a.jpg", Qt::red);
    savePicture(src + "/b.jpg", Qt::green);
    Window w(src, dst);

    // The source went away after it was shown.
    w.select("b.jpg");
    QFile::remove(src + "/b.jpg");
    w.form.Command7->click();
    QCOMPARE(env.dialogs.messages.size(), 1);
    QCOMPARE(env.dialogs.messages[0].title, QString("File move ERROR 2 (No such file or directory)"));
    QVERIFY(entries(dst).isEmpty());

    SmallVolume volume(dst, "1m");
    if (!volume.mounted || !volume.makeReadOnly())
        QSKIP("cannot mount a read-only file system here");
    w.select("a.jpg");
    w.form.Command7->click();
    QCOMPARE(env.dialogs.messages.size(), 2);
    QVERIFY(env.dialogs.messages[1].title.startsWith("File move ERROR 30 "));
    QCOMPARE(entries(src), QStringList{"a.jpg"});
    QVERIFY(w.form.Command7->isEnabled());
}

void CopyMoveTest::clipboardRoundTrip()
{
    TestEnvironment env;
    const QString src = env.makeFolder("src");
    savePicture(src + "/shown.bmp", Qt::red, 30, 10);
    Window w(src, src);

    // With nothing shown there is nothing to put on the clipboard.
    w.form.Command6->click();
    QCOMPARE(env.dialogs.messages.size(), 1);
    QCOMPARE(env.dialogs.messages[0].title, QString("Clipboard copy ERROR"));
    QVERIFY(programLog(env).last().endsWith("> Clipboard copy ERROR\""));
    QVERIFY(w.form.Command6->isEnabled());

    w.select("shown.bmp");
    w.form.Command6->click();
    QCOMPARE(env.dialogs.messages.size(), 1);
    QCOMPARE(rgb(Clipboard::image()), rgb(w.form.Image1->picture()));
    QVERIFY(!w.form.Command6->isEnabled());
    QCOMPARE(w.form.Command6->text(), QString("Copy done"));

    // Paste shows another picture at 1:1 without touching the file state.
    QImage pasted(64, 48, QImage::Format_RGB32);
    pasted.fill(Qt::yellow);
    Clipboard::setImage(pasted);
    w.form.Option4->setChecked(true);
    w.form.Command3->click();
    QCOMPARE(rgb(w.form.Image1->picture()), pasted);
    QCOMPARE(w.form.Image1->widthTwips(), 64 * 15.0);
    QVERIFY(w.form.Option3->isChecked());
    QCOMPARE(w.form.StatusBar1->text(4), QString("1:1"));
    QCOMPARE(w.form.Picture1.size(), QSize(30, 10));
    QCOMPARE(w.form.Label1, src + "/shown.bmp");

    // An empty clipboard leaves the area without a picture, silently.
    Clipboard::clear();
    w.form.Command3->click();
    QVERIFY(!w.form.Image1->hasPicture());
    QCOMPARE(env.dialogs.messages.size(), 1);
}

void CopyMoveTest::saveAsNameRule()
{
    const auto rule = [](const QString& chosen, const QString& source) {
        return saveAsTarget(chosen, source).value_or("<not saved>");
    };
    QCOMPARE(rule("/out/holiday.bmp", "/pics/beach.jpeg"), QString("/out/holiday.jpeg"));
    QCOMPARE(rule("/out/holiday.bmp", "/pics/a.gif"), QString("/out/holiday.gif"));
    QCOMPARE(rule("/out/holiday", "/pics/a.gif"), QString("<not saved>"));
    // Four characters at most, from the first "." on both sides.
    QCOMPARE(rule("/out/x.y.z", "/pics/a.jpegxyz"), QString("/out/x.jpeg"));
    // The first "." counts wherever it stands, a folder name included.
    QCOMPARE(rule("/my.pics/holiday.bmp", "/pics/a.gif"), QString("/my.gif"));
    QCOMPARE(rule("/out/new.bmp", "/my.pics/a.gif"), QString("/out/new.pics"));
    QCOMPARE(rule("/out/new.bmp", "/pics/noext"), QString("/out/new.bmp"));
}

void CopyMoveTest::saveAsCommand()
{
    TestEnvironment env;
    const QString src = env.makeFolder("src");
    const QString out = env.makeFolder("out");
    savePicture(src + "/beach.jpeg", Qt::darkGreen, 24, 16);
    savePicture(src + "/other.png", Qt::blue);
    Window w(src, out);
    w.select("beach.jpeg");
    QCOMPARE(w.form.Picture1.size(), QSize(24, 16));

    // Picture files: copied unchanged, with the source's extension.
    env.dialogs.fileAnswers = {{out + "/holiday.bmp", 1}};
    w.form.saveas->trigger();
    QCOMPARE(env.dialogs.fileDialogs.first().helpTopic, 10);
    QCOMPARE(entries(out), QStringList{"holiday.jpeg"});
    QCOMPARE(bytesOf(out + "/holiday.jpeg"), bytesOf(src + "/beach.jpeg"));
    QCOMPARE(w.form.Label7->text(), QString("Current: "));

    // BMP Picture: Picture1 written as BMP under the name as typed.
    env.dialogs.fileAnswers = {{out + "/as bmp", 2}};
    w.form.saveas_Click();
    QImageReader reader(out + "/as bmp");
    QCOMPARE(reader.format(), QByteArray("bmp"));
    QCOMPARE(rgb(reader.read()), rgb(w.form.Picture1));

    // Silent failures: a name without ".", a cancel, a read-only target.
    env.dialogs.fileAnswers = {{out + "/nodot", 1}};
    w.form.saveas_Click();
    w.form.saveas_Click();
    writeBytes(out + "/locked.bmp", "keep me");
    FileSystem::setAttributes(out + "/locked.bmp", FileSystem::ReadOnly);
    env.dialogs.fileAnswers = {{out + "/locked.bmp", 2}};
    w.form.saveas_Click();
    QCOMPARE(bytesOf(out + "/locked.bmp"), QByteArray("keep me"));
    QCOMPARE(entries(out), QStringList({"as bmp", "holiday.jpeg", "locked.bmp"}));
    QVERIFY(env.dialogs.messages.isEmpty());

    // Saving into the browsed folder shows up in the refreshed list.
    env.dialogs.fileAnswers = {{src + "/copy.bmp", 1}};
    w.form.saveas_Click();
    QCOMPARE(w.form.File1->listCount(), 3);
    QCOMPARE(w.form.Label6->text(), QString("3 File(s)"));
}

QTEST_MAIN(CopyMoveTest)
#include "test_copy_move.moc"
