// The help document, the help window and the Qt dialogs that ask for it:
// every topic the program asks for is in the document with real text, the
// window opens where it is asked to, or explains why it cannot, and stays
// usable above the modal dialog that asked.

#include "core/failure.h"
#include "desktop/desktop.h"
#include "desktop/qt/qt_dialogs.h"
#include "desktop/qt/qt_help_viewer.h"
#include "desktop/qt/qt_screen.h"
#include "support/test_files.h"

#include <QtTest>
#include <QtWidgets>

namespace {

const QList<int> kTopics = {5, 7, 9, 10, 14, 19, 21, 22, 24, 25, 26, 27,
                            28, 29, 30, 31, 32, 33, 34, 35, 36};
const QString kHelp = QStringLiteral(PIXALTO_SOURCE_DIR "/help/pxhelp.hlp");

// The section that starts at <h2 id="id"> and runs to the next <h2; empty if none.
QString section(const QString& html, const QString& id)
{
    const qsizetype at = html.indexOf(QStringLiteral("<h2 id=\"%1\"").arg(id));
    return at < 0 ? QString() : html.mid(at, html.indexOf(QStringLiteral("<h2"), at + 1) - at);
}

int wordCount(const QString& htmlPart)
{
    static const QRegularExpression space(QStringLiteral("\\s+"));
    return int(QTextDocumentFragment::fromHtml(htmlPart).toPlainText().split(space, Qt::SkipEmptyParts).size());
}

// Whether the block that carries the anchor lies in the visible part of the window.
bool anchorInView(QTextBrowser* browser, const QString& name)
{
    QTextDocument* doc = browser->document();
    const int scroll = browser->verticalScrollBar()->value();
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().anchorNames().contains(name)) {
                const qreal top = doc->documentLayout()->blockBoundingRect(block).top();
                return top + 1 >= scroll && top < scroll + browser->viewport()->height();
            }
    return false;
}

// Runs check on the modal dialog that call opens, then cancels the dialog.
template <typename Check, typename Call>
void onModal(Check check, Call call)
{
    bool ran = false;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        const auto cancel = qScopeGuard([dialog] { QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection); });
        QVERIFY(dialog);
        QApplication::setActiveWindow(dialog);
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        check(dialog);
        ran = true;
    });
    try {
        call();
    } catch (const PxError&) {
    }
    QVERIFY(ran);
}

} // namespace

class TestHelp : public QObject {
    Q_OBJECT

private slots:
    void documentIsWholeAndTheViewerOpensAtEveryTopic()
    {
        const QString html = QString::fromUtf8(fileBytes(kHelp));
        QVERIFY2(wordCount(section(html, QStringLiteral("main-window"))) >= 400,
                 "the main window section is missing or too thin");
        QVERIFY(!html.contains(QStringLiteral("<script"), Qt::CaseInsensitive));
        // Built beside the program.
        QCOMPARE(fileBytes(QStringLiteral(PIXALTO_BUILD_DIR "/pxhelp.hlp")), fileBytes(kHelp));
        const QString contents = section(html, QStringLiteral("contents"));
        QtHelpViewer viewer;
        for (int topic : kTopics) {
            const QString id = QStringLiteral("topic-%1").arg(topic);
            // An <h2> heading after the contents, with real text, linked from the contents.
            const QString text = section(html, id);
            QVERIFY2(html.count(QStringLiteral("id=\"%1\"").arg(id)) == 1 && wordCount(text) >= 80
                         && html.indexOf(contents) < html.indexOf(text)
                         && contents.contains(QStringLiteral("href=\"#%1\"").arg(id)),
                     qPrintable(QStringLiteral("%1: %2 words").arg(id).arg(wordCount(text))));
            // One window, not modal, that scrolls to each topic asked for.
            viewer.showTopic(kHelp, topic);
            QVERIFY(viewer.window()->isVisible() && !viewer.window()->isModal());
            QVERIFY2(anchorInView(viewer.browser(), id) && !anchorInView(viewer.browser(), QStringLiteral("contents")),
                     qPrintable(id + QStringLiteral(" is not in view")));
        }
    }

    void helpFromAModalDialogStaysUsable()
    {
        QtHelpViewer viewer;
        QtScreen screen;
        QtDialogs dialogs(viewer, screen);
        QTemporaryDir folder;
        // The file dialog keeps its history in the user's settings: not the real ones.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
        // Help by the dialog's button or by F1 comes above the dialog, and the dialog is usable after it.
        const auto helpAbove = [&](QWidget* dialog, bool byKey) {
            QPushButton* helpButton = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Help);
            QVERIFY(helpButton);
            byKey ? QTest::keyClick(dialog, Qt::Key_F1) : helpButton->click();
            QWidget* help = viewer.window();
            QVERIFY(help && help->isVisible());
            QCOMPARE(viewer.browser()->source().fragment(), QStringLiteral("topic-9"));
            QCOMPARE(help->windowHandle()->transientParent(), dialog->windowHandle());
            QVERIFY(help->screen()->availableGeometry().contains(help->frameGeometry()));
            // The click goes through the window system, which drops input to blocked windows.
            auto* close = help->findChild<QPushButton*>(QStringLiteral("close"));
            QTest::mouseClick(help->windowHandle(), Qt::LeftButton, {}, close->mapTo(help, close->rect().center()));
            QVERIFY(!help->isVisible());
            QTRY_COMPARE(QApplication::activeWindow(), dialog);
        };
        onModal([&](QWidget* box) { helpAbove(box, false); },
                [&] { dialogs.inputBox({"New name", "Rename file", "a.jpg", std::nullopt, kHelp, 9}); });

        FileDialogResult saved;
        onModal([&](QWidget* dialog) {
            auto* fileDialog = qobject_cast<QFileDialog*>(dialog);
            QCOMPARE(fileDialog->directory().path(), folder.path());
            // Each filter's patterns once, in its name.
            auto* types = fileDialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            QCOMPARE(types->itemText(0), QStringLiteral("Pictures (*.jpg;*.bmp)"));
            QCOMPARE(types->itemText(1), QStringLiteral("BMP Picture (*.bmp)"));
            helpAbove(dialog, true);
            // The filter chosen by its shown name comes back by its number.
            QTest::keyClick(types, Qt::Key_Down);
            QTest::keyClicks(fileDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")), "out.bmp\r");
        }, [&] {
            saved = dialogs.fileDialog({true, "Save As", "Pictures (*.jpg;*.bmp)|*.jpg;*.bmp|BMP Picture (*.bmp)|*.bmp",
                                        1, {}, {}, folder.path(), kHelp, 9});
        });
        QCOMPARE(saved.path, folder.filePath(QStringLiteral("out.bmp")));
        QCOMPARE(saved.filterIndex, 2);
    }

    void messageBoxShowsItsWholeTitleAndEvenLines()
    {
        QtHelpViewer viewer;
        QtScreen screen;
        QtDialogs dialogs(viewer, screen);
        const QString title = QStringLiteral("Picture load ERROR 481 (Invalid picture format)");
        onModal([&](QWidget* box) {
            QFont bold = QApplication::font();
            bold.setBold(true);
            QVERIFY(box->width() >= QFontMetrics(bold).horizontalAdvance(title) + 120);
            QVERIFY(box->frameGeometry().width() <= box->screen()->availableGeometry().width());
        }, [&] { dialogs.messageBox({QStringLiteral("Unable to load"), MsgButtons::OK, MsgIcon::Critical, 1, title}); });

        const QFontMetrics metrics(QApplication::font());
        const QString text = QStringLiteral("The picture could not be read, the file may be damaged or of a kind "
                                            "this program does not know; please choose another file");
        QList<int> widths;
        for (const QString& line : wrapEvenly(text, metrics, 200).split('\n'))
            widths.append(metrics.horizontalAdvance(line));
        QCOMPARE(widths.size(), (metrics.horizontalAdvance(text) + 199) / 200);
        QVERIFY(*std::max_element(widths.begin(), widths.end()) <= 200);
        QVERIFY2(widths.last() * 2 >= widths.first(), "the last line is a stub");
    }

    void oneWindowExplainsAMissingFileOrTopic()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("pxhelp.hlp"));
        QtHelpViewer viewer;
        viewer.showTopic(file, 5);
        QWidget* window = viewer.window();
        const QString shown = viewer.browser()->toPlainText();
        QVERIFY2(window->isVisible() && shown.contains(QStringLiteral("could not be found")) && shown.contains(file), qPrintable(shown));

        // Once the file is there the same window shows it; a topic it lacks gives the contents.
        QVERIFY(QFile::copy(kHelp, file));
        viewer.showTopic(file, 99);
        QCOMPARE(viewer.browser()->source().fragment(), QStringLiteral("contents"));
        QVERIFY(viewer.notice()->isVisible() && viewer.notice()->text().contains(QStringLiteral("99")));
        // The next good request clears the notice.
        viewer.showTopic(file, 27);
        QVERIFY(!viewer.notice()->isVisible());
        viewer.showContents(file);
        QVERIFY(anchorInView(viewer.browser(), QStringLiteral("contents")));

        // Closed by the reader, then asked again: the same window comes back at the new place.
        window->close();
        viewer.showTopic(file, 14);
        QCOMPARE(viewer.window(), window);
        QVERIFY(window->isVisible() && anchorInView(viewer.browser(), QStringLiteral("topic-14")));
        const auto topLevels = QApplication::topLevelWidgets();
        QCOMPARE(std::count_if(topLevels.begin(), topLevels.end(), [](QWidget* w) {
                     return w->windowTitle() == QStringLiteral("Pixalto Help");
                 }), 1);
    }
};

QTEST_MAIN(TestHelp)
#include "test_help.moc"
