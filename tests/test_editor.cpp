// The text editor window over real files: the document's state through New,
// Open, Save and closing, the format the dialog's filter index chooses, Find,
// the clipboard, pictures and the window's placement.
#include "core/file_system.h"
#include "core/program_info.h"
#include "editor/editor_state.h"
#include "editor/form6.h"
#include "support/window_helpers.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <QTimer>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString kRtfCodes = QStringLiteral("{\\rtf1\\ansi Hello}");

struct Editor {
    TestEnvironment env;
    MainWindow main{env.desktop()};
    const Form1Controls ui{main};
    Form6* form = nullptr;
    Editor()
    {
        main.textfile_Click();
        form = Form6::instance(main.secondaryWindows());
    }
    ~Editor() { main.secondaryWindows().editor.unload(); }
    QStringList panels() const
    {
        QStringList texts;
        for (int panel = 1; panel <= 4; ++panel)
            texts.append(form->StatusBar1->text(panel));
        return texts;
    }
    void type(const QString& text) { QTest::keyClicks(form->RichTextBox1, text); }
    QString text() const { return form->RichTextBox1->toPlainText(); }
    void answerFile(const QString& path, int filterIndex) { env.dialogs.fileAnswers.push_back({path, filterIndex}); }
    // Whether a file being opened has been read and the window takes input again.
    bool opened() const { return QTest::qWaitFor([this] { return form->isEnabled(); }, 60000); }
};

const QStringList kNewPanels{"  New", "  Ready", "  Untitled", "  TXT"};
}

class EditorTest : public QObject {
    Q_OBJECT
private slots:
    void openingFromTheMainWindow()
    {
        Editor e;
        writeSetting("OnTop", "1");
        QVERIFY(e.form->isVisible());
        QCOMPARE(e.panels(), kNewPanels);
        // Bottom-right corner 100 twips from the screen's right, 700 from its bottom.
        const QRect frame = e.form->frameGeometry();
        QCOMPARE(frame.left(), qRound((1280 * 15 - frame.width() * 15 - 100) / 15.0));
        QCOMPARE(frame.top(), qRound((1024 * 15 - frame.height() * 15 - 700) / 15.0));

        // The main window's menu reads the document type: the command is off
        // while the editor is loaded.
        e.main.File1_MouseDown(Qt::LeftButton);
        QCOMPARE(editorDocumentType(e.main.secondaryWindows()), QString("txt"));
        QVERIFY(!e.ui.textfile->isEnabled());

        // Changes count only while the window is visible.
        e.type("ab");
        QCOMPARE(e.form->Label2, QString("1"));
        QCOMPARE(e.panels()[2], QString("  Changed"));
        e.form->hide();
        e.form->Label2.clear();
        e.form->appendText("\nhidden");
        QCOMPARE(e.form->Label2, QString());

        // Opening again keeps the text, marks it new and unchanged, and keeps
        // the window on top when asked.
        e.main.textfile_Click();
        QCOMPARE(e.text(), QString("ab\nhidden"));
        QCOMPARE(e.panels(), kNewPanels);
        QVERIFY(e.form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));

        // Every resize pins the corner 50 and 600 twips in; the box follows the window.
        e.form->resize(600, 400);
        const QRect resized = e.form->frameGeometry();
        QCOMPARE(resized.left(), qRound((1280 * 15 - resized.width() * 15 - 50) / 15.0));
        QCOMPARE(resized.top(), qRound((1024 * 15 - resized.height() * 15 - 600) / 15.0));
        QCOMPARE(e.form->RichTextBox1->width(), qRound((resized.width() * 15 - 80) / 15.0));
        QVERIFY(e.form->RichTextBox1->geometry().bottom() < e.form->StatusBar1->y());

        // Closing unloads the editor; the command is on again.
        QVERIFY(e.form->close());
        QVERIFY(!Form6::existing(e.main.secondaryWindows()));
        e.main.File1_MouseDown(Qt::LeftButton);
        QVERIFY(e.ui.textfile->isEnabled());
    }

    // A long report goes in over several turns of the event loop, leaves the
    // caret, and is one step for undo; a report whose editor closes on the
    // way still ends.
    void longTextsAreAppendedInPieces()
    {
        Editor e;
        e.type("ab");
        QString report;
        for (int i = 0; i < 20000; ++i)
            report += QStringLiteral("picture%1.jpg   123,456\n").arg(i);
        bool done = false;
        e.form->appendLongText(report, &e.main, [&] { done = true; });
        QVERIFY(!done);
        QTRY_VERIFY(done);
        QCOMPARE(e.text(), "ab" + report);
        QCOMPARE(e.form->RichTextBox1->textCursor().position(), 2);
        e.form->RichTextBox1->undo();
        QCOMPARE(e.text(), QString("ab"));

        // Appended to a hidden box, the text is laid out once the box has
        // its page again, at most a few pieces' worth per turn of the event
        // loop (Qt's own steps grow to 200,000 characters).
        e.form->hide();
        done = false;
        QTextDocument* document = e.form->RichTextBox1->document();
        const auto laidOut = [document] {
            int chars = 0;
            for (QTextBlock block = document->begin(); block.isValid() && block.layout()->lineCount() > 0;
                 block = block.next())
                chars += block.length();
            return chars;
        };
        int before = laidOut(), mostInOneTurn = 0;
        QTimer turns;
        turns.callOnTimeout([&] {
            const int now = laidOut();
            mostInOneTurn = qMax(mostInOneTurn, now - before);
            before = now;
        });
        turns.start(0);
        e.form->appendLongText(report, &e.main, [&] { done = true; });
        QTRY_VERIFY(done);
        e.form->show();
        QTRY_COMPARE(laidOut(), document->characterCount());
        turns.stop();
        QVERIFY2(mostInOneTurn < 64000, QByteArray::number(mostInOneTurn).constData());

        int ends = 0;
        e.form->appendLongText(report, &e.main, [&] { ++ends; });
        e.main.secondaryWindows().editor.unload();
        QTRY_COMPARE(ends, 1);
    }

    void saveQuestionBranches()
    {
        Editor e;
        const QString dir = e.env.makeFolder("docs");
        e.type("first");
        // No: New goes on without saving and leaves a fresh document.
        e.env.dialogs.messageAnswers = {MsgResult::No};
        e.form->mnunew->trigger();
        const MessageBoxRequest& asked = e.env.dialogs.messages.at(0);
        QCOMPARE(asked.text, QString("The files has changed\r\rDo you want to save the changes"));
        QVERIFY(asked.buttons == MsgButtons::YesNo && asked.icon == MsgIcon::Information);
        QCOMPARE(asked.title, QString("Save file?"));
        QVERIFY(e.env.dialogs.fileDialogs.isEmpty());
        QCOMPARE(e.text(), QString());
        QCOMPARE(e.panels(), kNewPanels);
        QCOMPARE(e.form->Label2, QString());

        // Yes saves through the dialog; a cancelled dialog does not stop New.
        e.type("second");
        e.env.dialogs.messageAnswers = {MsgResult::Yes};
        e.answerFile(dir + "/second.txt", 1);
        e.form->mnunew_Click();
        QCOMPARE(fileBytes(dir + "/second.txt"), QByteArray("second"));
        e.type("third");
        e.env.dialogs.messageAnswers = {MsgResult::Yes};
        e.form->mnunew_Click();
        QCOMPARE(e.text(), QString());

        // An unchanged document closes without a question.
        const int asks = e.env.dialogs.messages.size();
        e.form->close();
        QCOMPARE(e.env.dialogs.messages.size(), asks);
    }

    void formatFollowsTheFilterIndex()
    {
        Editor e;
        const QString dir = e.env.makeFolder("docs");
        writeFile(dir + "/codes.rtf", kRtfCodes.toLatin1());

        // Text files (index 1) show a rich-text file's codes as text; the load's
        // own change leaves the document unchanged.
        e.answerFile(dir + "/codes.rtf", 1);
        e.form->mnuopen->trigger();
        QVERIFY(e.opened());
        QCOMPARE(e.text(), kRtfCodes);
        QCOMPARE(e.panels(), QStringList({"  " + dir + "/codes.rtf", "  Ready", "  Unchanged", "  TXT"}));
        QCOMPARE(e.env.dialogs.fileDialogs.last().helpTopic, 34);

        // Save on an opened document writes to its path, in its type, without a dialog.
        e.type("x");
        e.form->mnusave_Click();
        QCOMPARE(e.env.dialogs.fileDialogs.size(), 1);
        QCOMPARE(fileBytes(dir + "/codes.rtf"), "x" + kRtfCodes.toLatin1());
        QCOMPARE(e.panels()[2], QString("  Unchanged"));

        // Save As: the type preselects the index, the chosen index decides the
        // format, and the default extension is set only after the dialog.
        e.answerFile(dir + "/plain", 2);
        e.form->saveas_Click();
        const FileDialogRequest first = e.env.dialogs.fileDialogs.last();
        QVERIFY(first.save && first.filterIndex == 1 && first.defaultExt.isEmpty() && first.helpTopic == 35);
        QVERIFY(fileBytes(dir + "/plain").startsWith("{\\rtf"));
        QCOMPARE(e.form->Label3, QString("rtf"));
        QCOMPARE(e.panels()[3], QString("  RTF"));
        e.form->saveas_Click();
        QCOMPARE(e.env.dialogs.fileDialogs.last().filterIndex, 2);
        QCOMPARE(e.env.dialogs.fileDialogs.last().defaultExt, QString(".rtf"));

        // Rich text (index 2) reads back what was written; a file that is not
        // rich text leaves the document as it was.
        const QString written = e.text();
        e.form->RichTextBox1->clear();
        e.form->Label2.clear();
        e.answerFile(dir + "/plain", 2);
        e.answerFile(dir + "/codes.rtf", 2);
        writeFile(dir + "/codes.rtf", "no codes");
        e.form->mnuopen_Click();
        QVERIFY(e.opened());
        QCOMPARE(e.text(), written);
        e.form->mnuopen_Click();
        QVERIFY(e.opened());
        QCOMPARE(e.text(), written);
        QCOMPARE(e.form->Label1, dir + "/plain");

        // New's save on an empty path goes through the dialog.
        e.form->mnunew_Click();
        e.form->mnusave_Click();
        QCOMPARE(e.env.dialogs.fileDialogs.size(), 6);
        QCOMPARE(e.panels(), kNewPanels);
    }

    void failedSaveKeepsTheOldFile()
    {
        Editor e;
        const QString dir = e.env.makeFolder("docs");
        const QString old = dir + "/old.txt";
        writeFile(old, "old contents");
        e.answerFile(old, 1);
        e.form->mnuopen_Click();
        QVERIFY(e.opened());
        FileSystem::setAttributes(old, FileSystem::ReadOnly);
        e.type("new ");
        e.form->mnusave_Click();
        QCOMPARE(fileBytes(old), QByteArray("old contents"));
        QCOMPARE(entries(dir), QStringList("old.txt"));
        QCOMPARE(e.env.dialogs.messages.size(), 1);
        QVERIFY(e.env.dialogs.messages[0].title.startsWith("Save ERROR "));
        QCOMPARE(e.panels()[2], QString("  Changed"));

        // A hidden file is refused by its own rule, and says so.
        writeFile(dir + "/.hidden.txt", "hidden");
        e.answerFile(dir + "/.hidden.txt", 1);
        e.form->saveas_Click();
        QCOMPARE(e.env.dialogs.messages.last().title,
                 QString("Save ERROR 75 (Path/File access error: the file is hidden)"));
        QCOMPARE(fileBytes(dir + "/.hidden.txt"), QByteArray("hidden"));

        // Into a folder that does not exist: reported, state kept.
        e.answerFile(dir + "/missing/new.rtf", 2);
        e.form->saveas_Click();
        QCOMPARE(e.env.dialogs.messages.size(), 3);
        QCOMPARE(e.form->Label1, old);
        QCOMPARE(e.form->Label3, QString("txt"));
    }

    // Save writes into the file it names: a private note stays private, a link
    // leads to the file that gets the text, other names of the file see it, and
    // a new file is made as the umask says.
    void saveWritesIntoTheFile()
    {
        Editor e;
        const QString dir = e.env.makeFolder("docs");
        const auto st = [](const QString& path) {
            struct stat result {};
            ::lstat(QFile::encodeName(path).constData(), &result);
            return result;
        };
        writeFile(dir + "/note.txt", "old note");
        QVERIFY(setMode(dir + "/note.txt", 0600));
        if (::geteuid() == 0)
            QVERIFY(::chown(QFile::encodeName(dir + "/note.txt").constData(), 4321, 4321) == 0);
        QVERIFY(QFile::link("note.txt", dir + "/link.txt"));
        QVERIFY(::link(QFile::encodeName(dir + "/note.txt").constData(),
                       QFile::encodeName(dir + "/other name").constData()) == 0);
        const struct stat before = st(dir + "/note.txt");

        e.answerFile(dir + "/link.txt", 1);
        e.form->mnuopen_Click();
        QVERIFY(e.opened());
        e.type("new ");
        e.form->mnusave_Click();
        QVERIFY(S_ISLNK(st(dir + "/link.txt").st_mode));
        for (const char* name : {"/note.txt", "/other name"})
            QCOMPARE(fileBytes(dir + name), QByteArray("new old note"));
        const struct stat after = st(dir + "/note.txt");
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_uid, before.st_uid);

        // With the other name gone the file is replaced whole, and keeps all the same.
        QVERIFY(QFile::remove(dir + "/other name"));
        e.type("x");
        e.form->mnusave_Click();
        QCOMPARE(fileBytes(dir + "/note.txt"), QByteArray("new xold note"));
        QCOMPARE(st(dir + "/note.txt").st_mode, before.st_mode);
        QCOMPARE(st(dir + "/note.txt").st_uid, before.st_uid);
        QVERIFY(S_ISLNK(st(dir + "/link.txt").st_mode));

        const mode_t mask = ::umask(027);
        e.answerFile(dir + "/new.txt", 1);
        e.form->saveas_Click();
        ::umask(mask);
        QCOMPARE(st(dir + "/new.txt").st_mode & 07777, mode_t(0640));
        QCOMPARE(entries(dir), QStringList({"link.txt", "new.txt", "note.txt"}));
        QVERIFY(e.env.dialogs.messages.isEmpty());
    }

    // Open reads plain files the editor can hold, and says why it refuses the
    // others: a huge file, an endless device behind a link, a pipe with no writer.
    void openRefusesWhatItCannotHold()
    {
        Editor e;
        const QString dir = e.env.makeFolder("docs");
        QFile huge(dir + "/huge.txt");
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(1536LL * 1024 * 1024));
        huge.close();
        QVERIFY(QFile::link("/dev/zero", dir + "/zero.txt"));
        QVERIFY(::mkfifo(QFile::encodeName(dir + "/pipe.txt").constData(), 0600) == 0);
        e.type("kept");
        e.form->Label2.clear();
        // A file that vanished ends the open quietly, as any other failure does.
        for (const char* name : {"/huge.txt", "/gone.txt", "/zero.txt", "/pipe.txt"})
            e.answerFile(dir + name, 1);
        for (int i = 0; i < 4; ++i) {
            e.form->mnuopen_Click();
            QVERIFY(e.opened());
        }
        QCOMPARE(e.text(), QString("kept"));
        QCOMPARE(e.env.dialogs.titles(), QStringList({"Open ERROR 7 (Out of memory: the file is larger than 16 MB)",
                                             "Open ERROR 54 (Bad file mode: not a plain file)",
                                             "Open ERROR 54 (Bad file mode: not a plain file)"}));
        QCOMPARE(e.env.dialogs.messages.last().text, "The file " + dir + "/pipe.txt could not be opened.");
    }

    void findAsksAgainAfterABeep()
    {
        Editor e;
        e.type("Alpha beta GAMMA beta");
        QTextCursor cursor = e.form->RichTextBox1->textCursor();
        cursor.setPosition(7);
        e.form->RichTextBox1->setTextCursor(cursor);
        // Behind the insertion point and not at all: a beep each, then a hit
        // in another letter case and inside a word.
        e.env.dialogs.inputAnswers = {"alpha", "delta", "amm"};
        e.form->mnufind->trigger();
        QCOMPARE(e.env.dialogs.beeps, 2);
        QCOMPARE(e.env.dialogs.inputs.size(), 3);
        QCOMPARE(e.env.dialogs.inputs[0].prompt, QString("Enter a word or part of word you whish to find"));
        QVERIFY(e.env.dialogs.inputs[0].title == "Find" && e.env.dialogs.inputs[0].helpTopic == 36);
        QCOMPARE(e.form->RichTextBox1->textCursor().selectedText(), QString("AMM"));

        // Cancel ends it at once.
        e.form->mnufind_Click();
        QCOMPARE(e.env.dialogs.beeps, 2);
        QCOMPARE(e.form->RichTextBox1->textCursor().selectedText(), QString("AMM"));
    }

    void clipboardPicturesAndMenus()
    {
        Editor e;
        e.type("one two");
        QTextCursor cursor = e.form->RichTextBox1->textCursor();
        cursor.setPosition(4);
        cursor.setPosition(7, QTextCursor::KeepAnchor);
        e.form->RichTextBox1->setTextCursor(cursor);
        e.form->mnucopy_Click();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("two"));
        QGuiApplication::clipboard()->setText("2\n2");
        QTest::keyClick(e.form->RichTextBox1, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(e.text(), QString("one 2\n2"));
        QCOMPARE(e.panels()[1], QString("  Ready"));

        // A picture turns the document into rich text, so Save writes RTF.
        const QString dir = e.env.makeFolder("docs");
        savePicture(dir + "/dot.png", {8, 6});
        e.answerFile(dir + "/dot.png", 1);
        e.form->mnupic_Click();
        QCOMPARE(e.env.dialogs.fileDialogs.last().title, QString("Add picture..."));
        QCOMPARE(e.form->Label3, QString("rtf"));
        e.answerFile(dir + "/with picture", 2);
        e.form->mnusave_Click();
        QVERIFY(fileBytes(dir + "/with picture").startsWith("{\\rtf"));

        // The right mouse button pops up the Edit menu; the help items open their topics.
        QMenu* popped = nullptr;
        e.form->popUp = [&](QMenu* menu) { popped = menu; };
        QTest::mousePress(e.form->RichTextBox1->viewport(), Qt::RightButton);
        QCOMPARE(popped, e.form->mnuedit);
        for (QAction* item : {e.form->helpopen, e.form->helpsave, e.form->textedit})
            item->trigger();
        const QString help = ProgramInfo::helpFile();
        QCOMPARE(e.env.help.topics, (QList<QPair<QString, int>>{{help, 34}, {help, 35}, {help, 36}}));
    }

    void documentPicturesShareOneTimeLimit()
    {
        // A picture of no known kind, then 200 metafiles, each a run of the
        // drawing helper, far more than the time of one allows: all of them
        // together get the time of one, and the window goes on meanwhile,
        // taking no input.
        Editor e;
        const QString dir = e.env.makeFolder("docs");
        const QByteArray slow = fileBytes(PIXALTO_SOURCE_DIR "/fuzz/corpus/metafile_drawing/fa997aea44568aa1549166adfc8385d19b996d46");
        QByteArray rtf = "{\\rtf1 {\\pict\\macpict 00}";
        for (int i = 0; i < 200; ++i)
            rtf += "{\\pict\\wmetafile8 " + slow.toHex() + "}";
        writeFile(dir + "/slow.rtf", rtf + "}");
        e.answerFile(dir + "/slow.rtf", 2);
        e.form->mnuopen->trigger();
        QCOMPARE(e.panels()[1], QString("  Opening file"));
        QVERIFY(!e.form->isEnabled());
        QVERIFY(e.opened());
        QCOMPARE(e.panels(), QStringList({"  " + dir + "/slow.rtf", "  Ready", "  Unchanged", "  RTF"}));
        const MessageBoxRequest box = e.env.dialogs.messages.last();
        QCOMPARE(box.title, QString("Pictures left out"));
        const QStringList lines = box.text.split('\n');
        QCOMPARE(lines.value(1), QString("Picture 1: Invalid picture: unknown format"));
        QCOMPARE(lines.last(), QString("Picture 201: Invalid picture: no time was left to draw it"));
    }
};

QTEST_MAIN(EditorTest)
#include "test_editor.moc"
