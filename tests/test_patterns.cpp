// File kinds and search patterns: the Filetype Select window, the manual
// pattern command.
#include "fileops/form13.h"
#include "settings/log_files.h"
#include "support/window_helpers.h"

#include <QGroupBox>

namespace {
const QString kPicDefault = "*.jpg;*.jpeg;*.bmp;*.gif;*.wmf;*.emf;*.ico";
const QString kAniDefault = "*.avi;*.mpg;*.mpeg;*.mov;*.viv;*.qm";

// A folder with two pictures, three animations and two other files.
QString mixedFolder(const TestEnvironment& env)
{
    const QString dir = env.makeFolder("mixed");
    for (const char* name : {"a.jpg", "b.GIF", "c.avi", "d.MOV", "e.qm", "f.png", "notes.txt"})
        writeFile(dir + "/" + name);
    return dir;
}
}

class PatternsTest : public QObject {
    Q_OBJECT
private slots:
    void kindSwitchesBothWays()
    {
        struct Case { QString picSetting, aniSetting; QStringList pictures, animations; };
        for (const Case& c : {Case{"", "", {"a.jpg", "b.GIF"}, {"c.avi", "d.MOV", "e.qm"}},
                              Case{"*.png", "*.mov;*.QM", {"f.png"}, {"d.MOV", "e.qm"}}}) {
            TestEnvironment env;
            if (!c.picSetting.isEmpty()) {
                writeSetting("PicPattern", c.picSetting);
                writeSetting("AniPattern", c.aniSetting);
            }
            Viewer v(env.desktop(), mixedFolder(env), "*.txt"); // a manual pattern is replaced by the kind
            MainWindow& form = v.form;
            const Form1Controls& ui = v.ui;
            for (bool pic : {false, true}) {
                ui.Label7->setText("Current: 9");
                Form13 window(&form);
                window.show();
                (pic ? window.Option1 : window.Option2)->setChecked(true);
                window.Command1_Click();
                const QString stored = pic ? c.picSetting : c.aniSetting;
                QCOMPARE(form.fileKind(), QString(pic ? "pic" : "avi"));
                QCOMPARE(ui.File1->pattern(), !stored.isEmpty() ? stored : pic ? kPicDefault : kAniDefault);
                QCOMPARE(v.listed(), pic ? c.pictures : c.animations);
                QCOMPARE(ui.Frame1->title(), QString(pic ? "Zoom" : "Movie speed"));
                QCOMPARE(QStringList({ui.Option1->text(), ui.Option2->text(), ui.Option3->text(),
                                      ui.Option4->text()}),
                         pic ? QStringList({"1:4", "1:2", "1:1", "2:1"}) : QStringList({".25", ".50", "1.0", "2.0"}));
                QCOMPARE(ui.StatusBar1->text(1), QString(pic ? " Pictures " : " Animations "));
                QCOMPARE(ui.Label7->text(), QString("Current: "));
            }
            // Choosing a kind stores nothing of its own.
            QCOMPARE(readSetting("PicPattern"), c.picSetting);
            QCOMPARE(readSetting("AniPattern"), c.aniSetting);
        }
    }

    void setPicStoresOnlyOnOkAndDefaultsAskFirst()
    {
        TestEnvironment env;
        Viewer v(env.desktop(), mixedFolder(env), kPicDefault);
        MainWindow& form = v.form;
        const Form1Controls& ui = v.ui;
        for (bool ok : {false, true}) { // the close box, then OK
            {
                Form13 window(&form);
                window.show();
                env.dialogs.inputAnswers = {"*.png", "*.avi"};
                window.Command5_Click();
                window.Command4_Click();
                QCOMPARE(env.dialogs.inputs.first().defaultText, kPicDefault);
                QCOMPARE(window.Option1->text(), QString("Picture files (*.png)"));
                QCOMPARE(readSetting("PicPattern"), QString());
                window.Option2->setChecked(true);
                ok ? window.Command1_Click() : void(window.close());
                QVERIFY(!window.isVisible());
            }
            QCOMPARE(readSetting("PicPattern"), QString(ok ? "*.png" : ""));
            QCOMPARE(readSetting("AniPattern"), QString(ok ? "*.avi" : ""));
            QCOMPARE(form.fileKind(), QString(ok ? "avi" : "pic"));
            QCOMPARE(ui.File1->pattern(), ok ? QString("*.avi") : kPicDefault);
        }

        Form13 window(&form);
        window.show();
        env.dialogs.messageAnswers = {MsgResult::No};
        window.Command6_Click();
        const MessageBoxRequest& box = env.dialogs.messages.last();
        QCOMPARE(box.title, QString("Reload default pattern settings"));
        QCOMPARE(box.buttons, MsgButtons::YesNo);
        QCOMPARE(box.defaultButton, 2);
        QCOMPARE(readSetting("PicPattern"), QString("*.png"));

        // Yes clears both keys, and a pattern entered in this visit with them.
        env.dialogs.inputAnswers = {"*.bmp"};
        window.Command5_Click();
        env.dialogs.messageAnswers = {MsgResult::Yes};
        window.Command6_Click();
        QCOMPARE(readSetting("AniPattern"), QString());
        QCOMPARE(window.Option2->text(), "Animation files (" + kAniDefault + ")");
        window.Option1->setChecked(true);
        window.Command1_Click();
        QCOMPARE(readSetting("PicPattern"), QString());
        QCOMPARE(ui.File1->pattern(), kPicDefault);
    }

    void manualPattern_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("applied"); // an empty answer is Cancel; others not applied are refused
        QTest::addColumn<QStringList>("files");
        QTest::newRow("one kind") << "*.gif" << true << QStringList{"b.GIF"};
        QTest::newRow("two kinds") << "*.jpg;*.QM" << true << QStringList{"a.jpg", "e.qm"};
        QTest::newRow("odd characters") << "*:\\<>|\"*" << true << QStringList{};
        QTest::newRow("cancel") << "" << false << QStringList{"c.avi"};
        for (const QString& bad : {QString(" ; ;"), QString("sub/*.jpg"), QString("*.jpg") + QChar(0)})
            QTest::newRow(qPrintable("refused " + bad)) << bad << false << QStringList{"c.avi"};
    }

    void manualPattern()
    {
        QFETCH(QString, pattern);
        QFETCH(bool, applied);
        QFETCH(QStringList, files);
        TestEnvironment env;
        Viewer v(env.desktop(), mixedFolder(env), "*.avi");
        const Form1Controls& ui = v.ui;
        ui.StatusBar1->setText(1, " Animations ");
        ui.Label7->setText("Current: 1");

        env.dialogs.inputAnswers = {pattern};
        ui.mnupattern->trigger();
        QCOMPARE(ui.File1->pattern(), applied ? pattern : QString("*.avi"));
        QCOMPARE(v.listed(), files);
        QCOMPARE(ui.StatusBar1->text(1), applied ? pattern : QString(" Animations "));
        QCOMPARE(ui.Label7->text(), QString(applied ? "Current: " : "Current: 1"));
        QVERIFY(readSetting("PicPattern").isEmpty() && readSetting("AniPattern").isEmpty());
        const int refused = !applied && !pattern.isEmpty();
        QCOMPARE(env.dialogs.beeps, refused);
        QCOMPARE(env.dialogs.messages.size(), refused);
        if (!refused)
            return;
        const MessageBoxRequest& box = env.dialogs.messages.last();
        QCOMPARE(box.title, QString("File search pattern ERROR"));
        QCOMPARE(box.text,
                 QString("Entered pattern is not acceptable enter like this: \r\r'*.jpg' or '*.jpg;*.bmp;*.gif'"));
        QCOMPARE(box.icon, MsgIcon::Critical);
        QVERIFY(logLines(programLogPath()).last().endsWith("> File search pattern ERROR\""));
    }
};

QTEST_MAIN(PatternsTest)
#include "test_patterns.moc"
