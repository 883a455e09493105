// The info list: the report's text byte for byte, the estimates and their
// 16-bit limit, and the command over real folders: picture sizes from the
// headers, the three ways it fails, and the editor it leaves behind.
#include "core/locale_text.h"
#include "editor/form6.h"
#include "infolist/info_failure.h"
#include "infolist/info_report.h"
#include "picture/picture_loader.h"
#include "samples/metafile_writer.h"
#include "support/fixtures.h"
#include "support/window_helpers.h"

#include <QAction>
#include <QBuffer>
#include <QProgressBar>
#include <QTextEdit>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const QString kPictures = u"*.jpg;*.jpeg;*.bmp;*.gif;*.wmf;*.emf;*.ico"_s;

QDateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

// The main window on a folder, ready for the command.
struct Run {
    explicit Run(const QString& dir, bool pictures = true) : viewer(dir, pictures ? kPictures : u"*.*"_s)
    {
        viewer.form.setFileKind(pictures, viewer.form.File1->pattern());
    }
    QString editorText() const
    {
        return Form6::existing() ? Form6::existing()->RichTextBox1->toPlainText() : QString();
    }
    Viewer viewer;
    MainWindow& form = viewer.form;
};

// What the progress window showed as it painted: its captions, the bar's
// values, and whether the main window took input meanwhile.
struct ProgressWatch : QObject {
    explicit ProgressWatch(QWidget* main) : main(main) { qApp->installEventFilter(this); }
    ~ProgressWatch() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (auto* bar = qobject_cast<QProgressBar*>(watched); bar && event->type() == QEvent::Paint) {
            if (captions.value(captions.size() - 1) != bar->window()->windowTitle())
                captions.append(bar->window()->windowTitle());
            values.append(bar->value());
            mainEnabled |= main->isEnabled();
        }
        return false;
    }
    QWidget* main;
    QStringList captions;
    QList<int> values;
    bool mainEnabled = false;
};

// The report the command should write for a folder, from what the file
// system says of each file.
QString expectedReport(const QString& dir, const QString& pattern, const QStringList& names,
                       const QList<QSize>& pixels = {})
{
    QList<InfoEntry> entries;
    for (const QString& name : names) {
        const QFileInfo file(dir + "/" + name);
        entries.append({name, file.size(), file.lastModified(), pixels.value(entries.size())});
    }
    return infoReport(dir, pattern, entries, !pixels.isEmpty());
}

}

class InfoListTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { Form6::unload(); }
    void reportText_data();
    void reportText();
    void pictureSizesFromHeadersMatchFullLoads();
    void failures_data();
    void failures();
    void failureWithoutDescription();
    void plainListsUpToTheOverflow();

private:
    TestEnvironment env;
};

void InfoListTest::reportText_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QList<InfoEntry>>("entries");
    QTest::addColumn<bool>("withSizes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("with sizes")
        << "/pics"
        << QList<InfoEntry>{{"beach.jpg", 48213, at(1999, 5, 12, 14, 2, 10), {640, 480}},
                            {"logo.bmp", 1078, at(1999, 5, 11, 9, 30), {32, 32}}}
        << true
        << u"Info for /pics  (*.jpg;*.bmp)\n\n"
           "beach.jpg    48,213 bytes    640 x 480 Pixels    (5/12/99 2:02:10 PM)\n"
           "logo.bmp    1,078 bytes    32 x 32 Pixels    (5/11/99 9:30:00 AM)\n"
           "\nTotal 2 File(s) (49,291 Bytes)\n\n\n"_s;
    // Empty sizes for 0 bytes, no time at midnight, the root keeps its
    // separator, sizes past 32 bits shown and added whole.
    QTest::newRow("edges")
        << "/"
        << QList<InfoEntry>{{"empty", 0, at(2001, 1, 2), {}},
                            {"huge.iso", 5'000'000'000LL, at(2001, 1, 2, 0, 0, 1), {}},
                            {"small", 999, at(2001, 1, 2, 23, 59, 59), {}}}
        << false
        << u"Info for /  (*.jpg;*.bmp)\n\n"
           "empty     bytes    (1/2/01)\n"
           "huge.iso    5,000,000,000 bytes    (1/2/01 12:00:01 AM)\n"
           "small    999 bytes    (1/2/01 11:59:59 PM)\n"
           "\nTotal 3 File(s) (5,000,000,999 Bytes)\n\n\n"_s;
}

void InfoListTest::reportText()
{
    QFETCH(QString, folder);
    QFETCH(QList<InfoEntry>, entries);
    QFETCH(bool, withSizes);
    QFETCH(QString, expected);
    QCOMPARE(infoReport(folder, u"*.jpg;*.bmp"_s, entries, withSizes), expected);
}

void InfoListTest::pictureSizesFromHeadersMatchFullLoads()
{
    const QString dir = env.makeFolder("formats");
    savePicture(dir + "/a.jpg", {37, 23});
    savePicture(dir + "/b.bmp", {64, 9});
    savePicture(dir + "/c.ico", {48, 48});
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    QVERIFY(buffer.open(QIODevice::WriteOnly) && QImage(40, 20, QImage::Format_RGB32).save(&buffer, "jpg"));
    writeFile(dir + "/d.jpeg", withOrientation(jpeg, 6));
    writeFile(dir + "/e.wmf", MetafileWriter::wmf({373, 273}, 1440));
    writeFile(dir + "/f.emf", MetafileWriter::emf({120, 80}));
    Run run(dir);
    env.dialogs.messages.clear();
    env.dialogs.messageAnswers = {MsgResult::Yes};
    // Autoskip running fast: no tick may show another file meanwhile.
    run.form.Timer1->start(1);
    ProgressWatch watch(&run.form);
    run.form.mnuinfolist->trigger();
    run.form.Timer1->stop();

    const MessageBoxRequest question = env.dialogs.messages.value(0);
    QCOMPARE(question.text, QString("Do you wish to include picture size's in the information\r\r"
                                    "This will take approx. 18 sec.\r Else it will take approx. 0.216 sec."));
    QCOMPARE(question.title, QString("Include picture size?"));
    QCOMPARE(question.defaultButton, 2);

    QList<QSize> sizes;
    for (const QString& name : run.viewer.listed())
        VERIFY_NO_PXERROR(sizes.append(loadPicture(dir + "/" + name).size()));
    QCOMPARE(sizes[3], QSize(20, 40));
    QCOMPARE(run.editorText(), expectedReport(dir, kPictures, run.viewer.listed(), sizes));

    QCOMPARE(watch.captions, (QStringList{"Creating file info list, please wait...",
                                          "Please wait, Retrieving information (This will take approx. 18 sec.)"}));
    QCOMPARE(watch.values.last(), 6);
    QVERIFY(!watch.mainEnabled);
    QCOMPARE(run.form.File1->listIndex(), -1);
    QVERIFY(run.form.isEnabled());
}

void InfoListTest::failures_data()
{
    QTest::addColumn<bool>("empty");
    QTest::addColumn<QByteArray>("middle"); // b.jpg between two pictures
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty folder") << true << QByteArray() << "File list creation ERROR"
                                  << "Unable to create file list. The selected directory does not contain any files.";
    QTest::newRow("not a picture") << false << "plain text"_ba
                                   << "File list creation ERROR 481 (Invalid picture: unknown or damaged format)"
                                   << "Unable to create file list.";
    QTest::newRow("0-byte picture") << false << QByteArray()
                                    << "File list creation ERROR 481 (Invalid picture: the file is empty)"
                                    << "Unable to create file list.";
}

void InfoListTest::failures()
{
    QFETCH(bool, empty);
    QFETCH(QByteArray, middle);
    QFETCH(QString, title);
    QFETCH(QString, message);
    const QString dir = env.makeFolder(QTest::currentDataTag());
    if (!empty) {
        savePicture(dir + "/a.jpg", {16, 8});
        writeFile(dir + "/b.jpg", middle);
        savePicture(dir + "/c.jpg", {16, 8});
    }
    Run run(dir);
    env.dialogs.messageAnswers = {MsgResult::Yes};
    const int beeps = env.dialogs.beeps;
    run.form.Image1->hide();
    run.form.mnuinfolist->trigger();

    const MessageBoxRequest box = env.dialogs.messages.last();
    QCOMPARE((QStringList{box.title, box.text}), (QStringList{title, message}));
    QCOMPARE(box.icon, MsgIcon::Critical);
    QCOMPARE(env.dialogs.beeps, beeps + 1);
    QVERIFY(logLines(env.programFolder() + "/PXLog.txt").last().endsWith("> " + title + "\""));
    // What was appended before the failure stays; the editor is not shown.
    const QStringList lines = run.editorText().split('\n');
    QCOMPARE(lines.size(), empty ? 1 : 4);
    QVERIFY(empty || lines[2].startsWith("a.jpg    "));
    QVERIFY(!Form6::existing() || !Form6::existing()->isVisible());
    QVERIFY(run.form.isEnabled() && !run.form.Image1->isHidden());
}

void InfoListTest::failureWithoutDescription()
{
    reportInfoListFailure(Errors::undescribed(), 3);
    QCOMPARE(env.dialogs.messages.last().text, QString("Unable to create file list. Please check that the path is valid."));
    QVERIFY(logLines(env.programFolder() + "/PXLog.txt").last().endsWith("> Unknown List creation ERROR\""));
}

void InfoListTest::plainListsUpToTheOverflow()
{
    // 10,922 files still fit the 16-bit estimate: one past 32 bits (sparse),
    // the others empty.
    const QString dir = env.makeFolder("many");
    for (int i = 0; i < 10921; ++i)
        writeFile(dir + QStringLiteral("/%1.jpg").arg(i, 5, 10, QLatin1Char('0')));
    QFile huge(dir + "/huge.jpg");
    QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(5'000'000'000LL));
    huge.close();
    // An editor that showed a saved file before.
    Form6* editor = Form6::instance();
    editor->Label1 = u"/somewhere/saved.txt"_s;
    editor->Label3 = u"txt"_s;
    editor->show();

    // No to the question; then as animations, where nothing is asked.
    Run run(dir);
    env.dialogs.messages.clear();
    env.dialogs.messageAnswers = {MsgResult::No};
    run.form.mnuinfolist->trigger();
    run.form.setFileKind(false, run.form.File1->pattern());
    run.form.mnuinfolist->trigger();
    QCOMPARE(env.dialogs.messages.size(), 1);
    QVERIFY(env.dialogs.messages[0].text.endsWith("approx. 32766 sec.\r Else it will take approx. 393.192 sec."));
    const QString report = expectedReport(dir, kPictures, run.viewer.listed());
    QVERIFY(report.endsWith("\nTotal 10922 File(s) (5,000,000,000 Bytes)\n\n\n"));
    QCOMPARE(run.editorText(), report + report);
    QCOMPARE(editor, Form6::existing());
    QCOMPARE((QStringList{editor->Label1, editor->Label2, editor->Label3}), (QStringList{"", "1", "rtf"}));
    QCOMPARE((QStringList{editor->StatusBar1->text(1), editor->StatusBar1->text(2), editor->StatusBar1->text(3),
                          editor->StatusBar1->text(4)}),
             (QStringList{"  New", "  Ready", "  Changed", "  RTF"}));
    QVERIFY(editor->isVisible() && !editor->isMinimized());
    QVERIFY(run.form.isEnabled());

    // One more ends the run before any question, the editor untouched.
    writeFile(dir + "/10921.jpg");
    run.form.mnuinfolist->trigger();
    QCOMPARE(env.dialogs.messages.size(), 2);
    QCOMPARE(env.dialogs.messages.last().title, QString("File list creation ERROR 6 (Overflow)"));
    QCOMPARE(env.dialogs.messages.last().text, QString("Unable to create file list."));
    QCOMPARE(run.editorText(), report + report);
}

QTEST_MAIN(InfoListTest)
#include "test_infolist.moc"
