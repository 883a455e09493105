// The help document and the help window: every topic the program asks for
// is in the document with real text, and the window opens where it is asked
// to, or explains why it cannot.

#include "platform/qt_help_viewer.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocumentFragment>
#include <QtTest>

namespace {

const QList<int> kTopics = {5, 7, 9, 10, 14, 19, 21, 22, 24, 25, 26, 27,
                            28, 29, 30, 31, 32, 33, 34, 35, 36};

QString sourceHelpFile() { return QStringLiteral(PIXALTO_SOURCE_DIR "/help/pxhelp.hlp"); }

QString readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

// The document's sections: each starts at an <h2 id="..."> and runs to the
// next <h2, keyed by that id.
QMap<QString, QString> sections(const QString& html)
{
    static const QRegularExpression heading(QStringLiteral("<h2\\s+id=\"([^\"]+)\""));
    QMap<QString, QString> result;
    QList<QPair<QString, qsizetype>> starts;
    for (auto it = heading.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        starts.append({m.captured(1), m.capturedStart()});
    }
    for (int i = 0; i < starts.size(); ++i) {
        const qsizetype end = i + 1 < starts.size() ? starts[i + 1].second : html.size();
        result.insert(starts[i].first, html.mid(starts[i].second, end - starts[i].second));
    }
    return result;
}

int wordCount(const QString& htmlPart)
{
    const QString text = QTextDocumentFragment::fromHtml(htmlPart).toPlainText();
    return int(text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts).size());
}

// Where the block that carries an anchor lies in the document, -1 if nowhere.
qreal anchorTop(QTextBrowser* browser, const QString& name)
{
    QTextDocument* doc = browser->document();
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().anchorNames().contains(name))
                return doc->documentLayout()->blockBoundingRect(block).top();
    return -1;
}

bool anchorInView(QTextBrowser* browser, const QString& name)
{
    const qreal top = anchorTop(browser, name);
    const int scroll = browser->verticalScrollBar()->value();
    return top >= 0 && top + 1 >= scroll && top < scroll + browser->viewport()->height();
}

} // namespace

class TestHelp : public QObject {
    Q_OBJECT

private slots:
    void everyTopicHasItsOwnSectionWithRealText_data();
    void everyTopicHasItsOwnSectionWithRealText();
    void documentStartsWithContentsAndEveryLinkHasATarget();
    void builtCopySitsBesideTheProgram();

    void viewerOpensAtTheTopic_data();
    void viewerOpensAtTheTopic();
    void viewerShowsContentsAndReusesItsWindow();
    void topicTheFileLacksShowsContentsWithANotice();
    void missingFileIsExplainedInTheWindow();
};

void TestHelp::everyTopicHasItsOwnSectionWithRealText_data()
{
    QTest::addColumn<int>("topic");
    for (int t : kTopics)
        QTest::addRow("topic %d", t) << t;
}

void TestHelp::everyTopicHasItsOwnSectionWithRealText()
{
    QFETCH(int, topic);
    const QString html = readAll(sourceHelpFile());
    QVERIFY2(!html.isEmpty(), "help file missing or empty");
    const QString id = QStringLiteral("topic-%1").arg(topic);

    const QString idAttribute = QStringLiteral("id=\"%1\"").arg(id);
    QCOMPARE(html.count(idAttribute), 1);
    const auto all = sections(html);
    QVERIFY2(all.contains(id), "the topic's anchor is not an <h2> heading");
    QVERIFY2(wordCount(all.value(id)) >= 80,
             qPrintable(QStringLiteral("%1 words only").arg(wordCount(all.value(id)))));
    QVERIFY2(all.value(QStringLiteral("contents")).contains(QStringLiteral("href=\"#%1\"").arg(id)),
             "the contents do not link to the topic");
}

void TestHelp::documentStartsWithContentsAndEveryLinkHasATarget()
{
    const QString html = readAll(sourceHelpFile());
    const auto all = sections(html);
    QVERIFY(all.contains(QStringLiteral("contents")));
    QVERIFY(all.contains(QStringLiteral("main-window")));
    QVERIFY2(wordCount(all.value(QStringLiteral("main-window"))) >= 400,
             "the main window section is too thin");
    const qsizetype contentsAt = html.indexOf(QStringLiteral("id=\"contents\""));
    for (int t : kTopics)
        QVERIFY(html.indexOf(QStringLiteral("id=\"topic-%1\"").arg(t)) > contentsAt);

    // Every in-page link has a target, so no link leads to an empty page.
    static const QRegularExpression link(QStringLiteral("href=\"#([^\"]+)\""));
    QStringList broken;
    for (auto it = link.globalMatch(html); it.hasNext();) {
        const QString target = it.next().captured(1);
        if (!html.contains(QStringLiteral("id=\"%1\"").arg(target)))
            broken << target;
    }
    QVERIFY2(broken.isEmpty(), qPrintable(broken.join(QLatin1Char(' '))));
    QVERIFY(!html.contains(QStringLiteral("<script"), Qt::CaseInsensitive));
}

void TestHelp::builtCopySitsBesideTheProgram()
{
    const QString built = readAll(QStringLiteral(PIXALTO_BUILD_DIR "/pxhelp.hlp"));
    QCOMPARE(built, readAll(sourceHelpFile()));
}

void TestHelp::viewerOpensAtTheTopic_data()
{
    QTest::addColumn<int>("topic");
    QTest::newRow("first topic") << 5;
    QTest::newRow("middle topic") << 22;
    QTest::newRow("last topic") << 36;
}

void TestHelp::viewerOpensAtTheTopic()
{
    QFETCH(int, topic);
    QtHelpViewer viewer;
    viewer.showTopic(sourceHelpFile(), topic);

    QWidget* window = viewer.window();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("Pixalto Help"));
    QVERIFY(!window->isModal());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);

    QTextBrowser* browser = viewer.browser();
    const QString anchor = QStringLiteral("topic-%1").arg(topic);
    QCOMPARE(browser->source().fragment(), anchor);
    QCOMPARE(browser->source().toLocalFile(), QFileInfo(sourceHelpFile()).absoluteFilePath());
    QVERIFY(anchorInView(browser, anchor));
    QVERIFY2(!anchorInView(browser, QStringLiteral("contents")), "the window did not scroll");
    QVERIFY(!viewer.notice()->isVisible());
}

void TestHelp::viewerShowsContentsAndReusesItsWindow()
{
    QtHelpViewer viewer;
    viewer.showTopic(sourceHelpFile(), 30);
    QWidget* first = viewer.window();
    QVERIFY(anchorInView(viewer.browser(), QStringLiteral("topic-30")));

    viewer.showContents(sourceHelpFile());
    QCOMPARE(viewer.window(), first);
    QCOMPARE(viewer.browser()->source().fragment(), QStringLiteral("contents"));
    QVERIFY(anchorInView(viewer.browser(), QStringLiteral("contents")));

    // Closed by the reader, then asked again: the same window comes back
    // at the new place.
    first->close();
    QVERIFY(!first->isVisible());
    viewer.showTopic(sourceHelpFile(), 14);
    QCOMPARE(viewer.window(), first);
    QVERIFY(first->isVisible());
    QVERIFY(anchorInView(viewer.browser(), QStringLiteral("topic-14")));

    const auto topLevels = QApplication::topLevelWidgets();
    const auto helpWindows = std::count_if(topLevels.begin(), topLevels.end(), [](QWidget* w) {
        return w->windowTitle() == QStringLiteral("Pixalto Help");
    });
    QCOMPARE(helpWindows, 1);
}

void TestHelp::topicTheFileLacksShowsContentsWithANotice()
{
    QtHelpViewer viewer;
    viewer.showTopic(sourceHelpFile(), 99);
    QCOMPARE(viewer.browser()->source().fragment(), QStringLiteral("contents"));
    QVERIFY(viewer.notice()->isVisible());
    QVERIFY(viewer.notice()->text().contains(QStringLiteral("99")));

    // The next good request clears the notice.
    viewer.showTopic(sourceHelpFile(), 9);
    QVERIFY(!viewer.notice()->isVisible());
    QVERIFY(anchorInView(viewer.browser(), QStringLiteral("topic-9")));
}

void TestHelp::missingFileIsExplainedInTheWindow()
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("pxhelp.hlp"));
    QtHelpViewer viewer;
    viewer.showTopic(missing, 5);
    QVERIFY(viewer.window()->isVisible());
    QString shown = viewer.browser()->toPlainText();
    QVERIFY(shown.contains(QStringLiteral("could not be found")));
    QVERIFY(shown.contains(missing));

    viewer.showContents(QString());
    QVERIFY(viewer.browser()->toPlainText().contains(QStringLiteral("could not be found")));

    // Once the file is there the same window shows it.
    QVERIFY(QFile::copy(sourceHelpFile(), missing));
    viewer.showTopic(missing, 27);
    QVERIFY(!viewer.browser()->toPlainText().contains(QStringLiteral("could not be found")));
    QCOMPARE(viewer.browser()->source().fragment(), QStringLiteral("topic-27"));
    QVERIFY(anchorInView(viewer.browser(), QStringLiteral("topic-27")));
}

QTEST_MAIN(TestHelp)
#include "test_help.moc"
