// The command line: which arguments ask for what, and a start with a path
// opening it as a click in the lists would.
#include "app/command_line.h"
#include "browser/open_start_path.h"
#include "support/window_helpers.h"

#include <QDir>

Q_DECLARE_METATYPE(CommandLine::Action)

namespace {
// A known user whose start-up asks nothing, with the lists on start.
void startIn(MainWindow& form, const QString& start)
{
    writeSetting("User", "Ann");
    writeSetting("SpcSetting", "NoSplash");
    writeSetting("PicPattern", "*.jpg");
    writeSetting("startupdir", start);
    QVERIFY(form.Form_Load());
}
}

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void argumentRules_data();
    void argumentRules();
    void fileArgumentIsSelectedAndShown();
    void folderArgumentOpensTheFolder();
    void pathsTheListsCannotShowAreReported();
};

void CommandLineTest::argumentRules_data()
{
    using A = CommandLine::Action;
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<A>("action");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("unknown");
    QTest::newRow("nothing") << QStringList{} << A::Run << "" << "";
    QTest::newRow("first path wins") << QStringList{"a.jpg", "b.jpg"} << A::Run << "a.jpg" << "";
    QTest::newRow("help over version") << QStringList{"--version", "x.jpg", "--help"} << A::Help << "x.jpg" << "";
    QTest::newRow("short help") << QStringList{"-h"} << A::Help << "" << "";
    QTest::newRow("version") << QStringList{"x.jpg", "--version"} << A::Version << "x.jpg" << "";
    QTest::newRow("version over unknown") << QStringList{"--zoom", "--version"} << A::Version << "" << "--zoom";
    QTest::newRow("first unknown named") << QStringList{"-x", "--y", "a.jpg"} << A::UnknownOption << "a.jpg" << "-x";
    QTest::newRow("-- ends options") << QStringList{"--", "--help", "-x"} << A::Run << "--help" << "";
    QTest::newRow("dash is a name") << QStringList{"-"} << A::Run << "-" << "";
    QTest::newRow("file URL") << QStringList{"file:///tmp/a%20b%C3%A9.jpg"} << A::Run << QString::fromUtf8("/tmp/a bé.jpg") << "";
    QTest::newRow("other URL kept") << QStringList{"http://host/a.jpg"} << A::Run << "http://host/a.jpg" << "";
}

void CommandLineTest::argumentRules()
{
    QFETCH(QStringList, arguments);
    QFETCH(CommandLine::Action, action);
    QFETCH(QString, path);
    QFETCH(QString, unknown);
    const CommandLine line = parseCommandLine(arguments);
    QCOMPARE(line.action, action);
    QCOMPARE(line.path, path);
    QCOMPARE(line.unknownOption, unknown);
}

void CommandLineTest::fileArgumentIsSelectedAndShown()
{
    TestEnvironment env;
    const QString start = env.makeFolder("start");
    const QString photos = env.makeFolder("photos");
    writeFile(start + "/first.jpg");
    for (const char* name : {"/a.jpg", "/b.jpg", "/c.jpg"})
        savePicture(photos + name, {40, 30});
    MainWindow form;
    startIn(form, start);

    openStartPath(form, photos + "/b.jpg");
    QCOMPARE(form.Dir1->path(), photos);
    QCOMPARE(form.File1->fileName(), QString("b.jpg"));
    QCOMPARE(form.Label1, photos + "/b.jpg");
    QCOMPARE(form.Image1->picture().size(), QSize(40, 30));
    QVERIFY(env.dialogs.messages.isEmpty());

    // A relative path is taken from the folder the program was started in.
    const QString before = QDir::currentPath();
    QDir::setCurrent(photos);
    openStartPath(form, "c.jpg");
    QDir::setCurrent(before);
    QCOMPARE(form.Label1, photos + "/c.jpg");
    QVERIFY(env.dialogs.messages.isEmpty());
}

void CommandLineTest::folderArgumentOpensTheFolder()
{
    TestEnvironment env;
    const QString start = env.makeFolder("start");
    const QString other = env.makeFolder("other");
    writeFile(other + "/x.jpg");
    MainWindow form;
    startIn(form, start);

    openStartPath(form, other + "/");
    QCOMPARE(form.Dir1->path(), other);
    QCOMPARE(form.File1->listCount(), 1);
    QCOMPARE(form.File1->item(0), QString("x.jpg"));
    QCOMPARE(form.Label1, QString());
    QVERIFY(env.dialogs.messages.isEmpty());
}

void CommandLineTest::pathsTheListsCannotShowAreReported()
{
    TestEnvironment env;
    const QString start = env.makeFolder("start");
    const QString other = env.makeFolder("other");
    writeFile(start + "/keep.jpg");
    for (const char* name : {"/notes.txt", "/.hidden.jpg"})
        writeFile(other + name);
    MainWindow form;
    startIn(form, start);

    const struct {
        QString path;
        QString title;
    } cases[] = {
        {other + "/missing.jpg", "File open ERROR 2 (No such file or directory)"},
        {other + "/notes.txt", "File open ERROR 52 (Bad file name or number)"},
        {other + "/.hidden.jpg", "File open ERROR 52 (Bad file name or number)"},
    };
    for (const auto& c : cases) {
        env.dialogs.messages.clear();
        openStartPath(form, c.path);
        QCOMPARE(env.dialogs.messages.size(), 1);
        QCOMPARE(env.dialogs.messages.first().title, c.title);
        QVERIFY(env.dialogs.messages.first().text.contains(c.path));
        QCOMPARE(form.Label1, QString());
        QVERIFY(logLines(env.programFolder() + "/PXLog.txt").last().endsWith("> " + c.title + "\""));
    }
    // The program goes on with working lists.
    openStartPath(form, start + "/keep.jpg");
    QCOMPARE(form.File1->fileName(), QString("keep.jpg"));
}

QTEST_MAIN(CommandLineTest)
#include "test_command_line.moc"
