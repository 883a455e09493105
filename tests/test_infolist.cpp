// The info list: the report's text byte for byte, and the command over real
// folders: picture sizes from the headers, the 16-bit estimate's limit, the
// three ways it fails and the editor it leaves behind.
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
#include <QScopeGuard>
#include <QTextEdit>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {
QDateTime at(int d, int h, int mi = 0, int s = 0) { return QDateTime(QDate(2001, 1, d), QTime(h, mi, s)); }

// The main window on a folder, showing pictures or animations.
struct Run {
    Run(const Desktop& desktop, const QString& dir, bool pictures = true)
        : viewer(desktop, dir, pictures ? u"*.jpg;*.jpeg;*.bmp;*.gif;*.wmf;*.emf;*.ico"_s : u"*.*"_s)
    {
        viewer.form.setFileKind(pictures, viewer.ui.File1->pattern());
    }
    QString editorText() const
    {
        const Form6* editor = Form6::existing(form.secondaryWindows());
        return editor ? editor->RichTextBox1->toPlainText() : QString();
    }
    // The report for the listed files, from what the file system says of them.
    QString expected(const QList<QSize>& pixels = {}) const
    {
        QList<InfoEntry> entries;
        for (const QString& name : viewer.listed()) {
            const QFileInfo file(viewer.ui.File1->path() + "/" + name);
            entries.append({name, file.size(), file.lastModified(), pixels.value(entries.size())});
        }
        return infoReport(viewer.ui.File1->path(), viewer.ui.File1->pattern(), entries, !pixels.isEmpty());
    }
    Viewer viewer;
    MainWindow& form = viewer.form;
    const Form1Controls& ui = viewer.ui;
};

// The progress window's captions as it painted, and whether the main window
// took input or showed a file meanwhile.
struct ProgressWatch : QObject {
    explicit ProgressWatch(MainWindow* main) : main(main) { qApp->installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (auto* bar = qobject_cast<QProgressBar*>(watched); bar && event->type() == QEvent::Paint) {
            captions.insert(bar->window()->windowTitle());
            mainEnabled |= main->isEnabled();
            selected |= Form1Controls(*main).File1->listIndex() >= 0;
        }
        return false;
    }
    MainWindow* main;
    QSet<QString> captions;
    bool mainEnabled = false;
    bool selected = false;
};
}

class InfoListTest : public QObject {
    Q_OBJECT
private slots:
    void reportText();
    void pictureSizesFromHeadersMatchFullLoads();
    void failures_data();
    void failures();
    void plainListsUpToTheOverflow();
    void changeTimesInLocalTime();

private:
    TestEnvironment env;
};

void InfoListTest::reportText()
{
    // Empty sizes for 0 bytes, no time at midnight, the root keeps its
    // separator, sizes past 32 bits shown and added whole.
    QCOMPARE(infoReport("/", "*.jpg;*.bmp",
                        {{"beach.jpg", 48213, at(12, 14, 2, 10), {640, 480}}, {"empty.bmp", 0, at(11, 0), {32, 32}},
                         {"huge.jpg", 5'000'000'000LL, at(2, 0, 0, 1), {9000, 9000}}},
                        true),
             u"Info for /  (*.jpg;*.bmp)\n\n"
             "beach.jpg    48,213 bytes    640 x 480 Pixels    (1/12/01 2:02:10 PM)\n"
             "empty.bmp     bytes    32 x 32 Pixels    (1/11/01)\n"
             "huge.jpg    5,000,000,000 bytes    9000 x 9000 Pixels    (1/2/01 12:00:01 AM)\n"
             "\nTotal 3 File(s) (5,000,048,213 Bytes)\n\n\n"_s);
    QCOMPARE(infoLine({"small", 999, at(2, 23, 59, 59), {1, 1}}, false), u"small    999 bytes    (1/2/01 11:59:59 PM)\n"_s);
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
    // More pixels than a picture may decode to: its header still tells.
    QVERIFY(QImage(12000, 9000, QImage::Format_Grayscale8).save(dir + "/g.jpg", "jpg", 10));
    Run run(env.desktop(), dir);
    env.dialogs.messages.clear();
    env.dialogs.messageAnswers = {MsgResult::Yes};
    // Autoskip running fast: no tick may show another file meanwhile.
    run.ui.Timer1->start(1);
    ProgressWatch watch(&run.form);
    run.viewer.runInfoList();

    QCOMPARE(env.dialogs.messages.value(0).text, QString("Do you wish to include picture size's in the information\r\r"
                                    "This will take approx. 21 sec.\r Else it will take approx. 0.252 sec."));
    QCOMPARE(env.dialogs.messages.value(0).defaultButton, 2);
    QList<QSize> sizes;
    for (const QString& name : run.viewer.listed().mid(0, 6))
        VERIFY_NO_PXERROR(sizes.append(loadPicture(dir + "/" + name).size()));
    sizes.append({12000, 9000});
    QCOMPARE(run.editorText(), run.expected(sizes));
    QCOMPARE(watch.captions, QSet<QString>{"Please wait, Retrieving information (This will take approx. 21 sec.)"});
    QVERIFY(!watch.mainEnabled && !watch.selected && run.form.isEnabled());
    // The new editor shows the report from its start, laid out and drawn.
    QTextEdit* box = Form6::existing(run.form.secondaryWindows())->RichTextBox1;
    QCOMPARE(box->textCursor().position(), 0);
    const QImage shown = box->viewport()->grab().toImage();
    int ink = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            ink += qGray(shown.pixel(x, y)) < 128;
    QVERIFY(ink > 100);
}

void InfoListTest::failures_data()
{
    QTest::addColumn<QByteArray>("middle"); // b.jpg between two pictures; none for an empty folder
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty folder") << QByteArray() << "File list creation ERROR"
                                  << "Unable to create file list. The selected directory does not contain any files.";
    QTest::newRow("not a picture") << "plain text"_ba
                                   << "File list creation ERROR 481 (Invalid picture: unknown or damaged format)"
                                   << "Unable to create file list.";
}

void InfoListTest::failures()
{
    QFETCH(QByteArray, middle);
    QFETCH(QString, title);
    QFETCH(QString, message);
    const QString dir = env.makeFolder(QTest::currentDataTag());
    const bool filled = !middle.isNull();
    if (filled) {
        savePicture(dir + "/a.jpg", {16, 8});
        writeFile(dir + "/b.jpg", middle);
        savePicture(dir + "/c.jpg", {16, 8});
    }
    Run run(env.desktop(), dir);
    env.dialogs.messageAnswers = {MsgResult::Yes};
    run.ui.Image1->hide();
    run.viewer.runInfoList();

    const MessageBoxRequest box = env.dialogs.messages.last();
    QCOMPARE((QStringList{box.title, box.text}), (QStringList{title, message}));
    QVERIFY(logLines(env.programFolder() + "/PXLog.txt").last().endsWith("> " + title + "\""));
    // What was appended before the failure stays; the editor is not shown.
    QCOMPARE(run.editorText().count('\n'), filled ? 3 : 0);
    QVERIFY(!filled || run.editorText().section('\n', 2, 2).startsWith("a.jpg    "));
    const Form6* editor = Form6::existing(run.form.secondaryWindows());
    QVERIFY(!editor || !editor->isVisible());
    QVERIFY(run.form.isEnabled() && !run.ui.Image1->isHidden());

    // No failure of the program's own lacks a description; the report still
    // has words for one.
    reportInfoListFailure(env.reporting(), Errors::undescribed(), 3);
    QCOMPARE((QStringList{env.dialogs.messages.last().title, env.dialogs.messages.last().text}),
             (QStringList{"Unknown List creation ERROR", "Unable to create file list. Please check that the path is valid."}));
}

void InfoListTest::plainListsUpToTheOverflow()
{
    // 10,922 empty files still fit the 16-bit estimate.
    const QString dir = env.makeFolder("many");
    for (int i = 0; i < 10922; ++i)
        writeFile(dir + QStringLiteral("/%1.jpg").arg(i, 5, 10, QLatin1Char('0')));
    Run run(env.desktop(), dir);
    // An editor that showed a saved file before.
    Form6* editor = Form6::instance(run.form.secondaryWindows());
    editor->Label1 = u"/somewhere/saved.txt"_s;
    editor->show();

    // No to the question; then as animations, where nothing is asked.
    env.dialogs.messages.clear();
    env.dialogs.messageAnswers = {MsgResult::No};
    run.viewer.runInfoList();
    run.form.setFileKind(false, run.ui.File1->pattern());
    run.viewer.runInfoList();
    QCOMPARE(env.dialogs.messages.size(), 1);
    QVERIFY(env.dialogs.messages[0].text.endsWith("approx. 32766 sec.\r Else it will take approx. 393.192 sec."));
    const QString report = run.expected();
    QCOMPARE(run.editorText(), report + report);
    QCOMPARE((QStringList{editor->Label1, editor->Label2, editor->Label3}), (QStringList{"", "1", "rtf"}));
    QCOMPARE((QStringList{editor->StatusBar1->text(1), editor->StatusBar1->text(2), editor->StatusBar1->text(3),
                          editor->StatusBar1->text(4)}),
             (QStringList{"  New", "  Ready", "  Changed", "  RTF"}));
    QVERIFY(editor->isVisible() && !editor->isMinimized());

    // One more ends the run before any question, the editor untouched.
    writeFile(dir + "/10922.jpg");
    run.viewer.runInfoList();
    QCOMPARE(env.dialogs.messages.size(), 2);
    QCOMPARE(env.dialogs.messages.last().title, QString("File list creation ERROR 6 (Overflow)"));
    QCOMPARE(run.editorText(), report + report);
}

void InfoListTest::changeTimesInLocalTime()
{
    // Change times in a zone with a summer shift; midnight shows the date alone.
    qputenv("TZ", "Europe/Berlin");
    const auto utcAgain = qScopeGuard([] { qputenv("TZ", "UTC"); });
    const QString dir = env.makeFolder("times");
    const struct {
        const char* name;
        QDateTime utc;
        QString shown;
    } files[] = {
        {"a.jpg", QDateTime(QDate(2021, 1, 14), QTime(23, 0), Qt::UTC), "1/15/21"},
        {"b.jpg", QDateTime(QDate(2021, 7, 14), QTime(22, 0), Qt::UTC), "7/15/21"},
        {"c.jpg", QDateTime(QDate(2021, 3, 28), QTime(1, 30), Qt::UTC), "3/28/21 3:30:00 AM"},
    };
    QStringList expected;
    for (const auto& file : files) {
        writeFile(dir + "/" + file.name);
        QFile stamped(dir + "/" + file.name);
        QVERIFY(stamped.open(QIODevice::ReadWrite) && stamped.setFileTime(file.utc, QFileDevice::FileModificationTime));
        expected.append(QString(file.name) + "     bytes    (" + file.shown + ")");
    }
    Run run(env.desktop(), dir, false);
    run.viewer.runInfoList();
    QCOMPARE(run.editorText().split('\n').mid(2, 3), expected);
}

QTEST_MAIN(InfoListTest)
#include "test_infolist.moc"
