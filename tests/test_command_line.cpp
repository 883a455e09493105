// The command line: which arguments ask for what, and a path given at start
// opened as a click in the lists would open it.
#include "app/start_argument.h"
#include "core/file_name.h"
#include "launcher/command_line.h"
#include "browser/open_start_path.h"
#include "support/window_helpers.h"

Q_DECLARE_METATYPE(CommandLine::Action)

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void argumentRules_data()
    {
        using A = CommandLine::Action;
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<A>("action");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("unknown");
        QTest::newRow("first path") << QStringList{"a.jpg", "b.jpg"} << A::Run << "a.jpg" << "";
        QTest::newRow("help wins") << QStringList{"--version", "x", "-h"} << A::Help << "x" << "";
        QTest::newRow("version over unknown") << QStringList{"--zoom", "--version"} << A::Version << "" << "--zoom";
        QTest::newRow("first unknown") << QStringList{"-x", "--y", "a"} << A::UnknownOption << "a" << "-x";
        QTest::newRow("-- ends options") << QStringList{"--", "--help", "-x"} << A::Run << "--help" << "";
        QTest::newRow("Qt's options passed over")
            << QStringList{"-platform", "-x", "--style=Fusion", "--qwindowtitle", "b", "-reverse", "a", "--bogus"}
            << A::UnknownOption << "a" << "--bogus";
    }
    void argumentRules()
    {
        QFETCH(QStringList, arguments);
        std::vector<std::string> bytes;
        for (const QString& argument : arguments)
            bytes.push_back(argument.toStdString());
        const CommandLine line = parseCommandLine(bytes);
        QTEST(line.action, "action");
        QTEST(QString::fromStdString(line.path), "path");
        QTEST(QString::fromStdString(line.unknownOption), "unknown");
    }

    void startArgumentsNameLocalFiles()
    {
        QCOMPARE(startArgumentPath("FILE:///t/a%20b%C3%A9.jpg"), QString("/t/a bé.jpg"));
        // A name that is not UTF-8 reaches the same file both ways.
        QCOMPARE(FileName::toBytes(startArgumentPath("file:///t/%E9t%E9.jpg")), QByteArray("/t/\xe9t\xe9.jpg"));
        QCOMPARE(FileName::toBytes(startArgumentPath("/t/\xe9.jpg")), QByteArray("/t/\xe9.jpg"));
        QCOMPARE(startArgumentPath("http://host/a.jpg"), QString("http://host/a.jpg"));
    }

    void startPathsOpenAsAClickWould()
    {
        TestEnvironment env;
        const QString photos = env.makeFolder("photos");
        savePictures(photos, {"a.jpg", "b.jpg", "c.png"}, {40, 30});
        for (const char* name : {"/notes.txt", "/.hidden.jpg"})
            writeFile(photos + name);
        for (const auto& [key, value] : {std::pair{"User", "Ann"}, {"SpcSetting", "NoSplash"}, {"PicPattern", "*.jpg"}})
            writeSetting(key, value);
        writeSetting("startupdir", photos);
        MainWindow form(env.desktop());
        const Form1Controls ui(form);
        QVERIFY(form.Form_Load());
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));

        openStartPath(form, photos + "/b.jpg");
        QVERIFY(fileArrived(form));
        QCOMPARE(ui.File1->fileName(), QString("b.jpg"));
        QCOMPARE(ui.Image1->picture().size(), QSize(40, 30));
        // The keys move through the files, as after a click on one.
        QCOMPARE(QApplication::focusWidget(), ui.File1);
        QTest::keyClick(ui.File1, Qt::Key_Up);
        QCOMPARE(form.shownPath(), photos + "/a.jpg");
        openStartPath(form, env.configHome());
        QCOMPARE(ui.Dir1->path(), env.configHome());
        QVERIFY(env.dialogs.messages.isEmpty());

        const QString missing = "File open ERROR 2 (No such file or directory)";
        const QString unlisted = "File open ERROR 52 (Bad file name or number)";
        for (const auto& [path, title] : {std::pair{photos + "/none.jpg", missing}, {photos + "/notes.txt", unlisted},
                                          {photos + "/.hidden.jpg", unlisted}}) {
            env.dialogs.messages.clear();
            openStartPath(form, path);
            QCOMPARE(env.dialogs.messages.size(), 1);
            QCOMPARE(env.dialogs.messages.first().title, title);
            QVERIFY(env.dialogs.messages.first().text.contains(path));
            QCOMPARE(form.shownPath(), photos + "/a.jpg");
        }
        // A picture the pattern leaves out joins it for this run.
        openStartPath(form, photos + "/c.png");
        QCOMPARE(form.shownPath(), photos + "/c.png");
        QCOMPARE(ui.StatusBar1->text(1), QString("*.jpg;*.png"));
        QCOMPARE(readSetting("PicPattern"), QString("*.jpg"));
    }

    // Decoded while the window comes up, for a window as large as the screen
    // (1280 x 1024 here), and shown from that decode once the file is opened.
    void startPictureIsDecodedWhileTheWindowComesUp()
    {
        TestEnvironment env;
        const QString photos = env.makeFolder("photos");
        savePlainJpeg(photos + "/big.jpg", {4000, 3000}, Qt::darkCyan);
        savePlainJpeg(photos + "/other.jpg", {4000, 3000}, Qt::darkCyan);
        for (const auto& [key, value] : {std::pair{"User", "Ann"}, {"SpcSetting", "NoSplash"}, {"AutoZoom", "1"}})
            writeSetting(key, value);
        // A file written this instant might still change unseen: its decode
        // would not be kept.
        QThread::msleep(150);
        MainWindow form(env.desktop());
        const Form1Controls ui(form);
        form.preloadStartPicture(photos + "/big.jpg");
        QVERIFY(form.Form_Load());
        form.resize(1000, 800);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        openStartPath(form, photos + "/big.jpg");
        QVERIFY(fileArrived(form));
        QCOMPARE(ui.Label5->text(), QString("4000 x 3000"));
        // The smaller window shows it smaller still than it was decoded.
        const QSize decoded = ui.Image1->wholePicture().shown().size();
        QVERIFY(decoded.width() > ui.Image1->width());
        QVERIFY(decoded.width() < 1280);
        // A file not asked for at start is decoded for this window.
        openStartPath(form, photos + "/other.jpg");
        QVERIFY(fileArrived(form));
        QCOMPARE(ui.Image1->wholePicture().shown().size(), ui.Image1->size());
    }
};

QTEST_MAIN(CommandLineTest)
#include "test_command_line.moc"
