// Autoskip: the interval rule, Run and Stop, and the ticks that walk the
// file list of real pictures, with and without restart at the end.
#include "browser/autoskip_interval.h"
#include "settings/log_files.h"
#include "support/window_helpers.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

namespace {
constexpr int kRangeRefused = -1;

// Opens a folder of real pictures, each a different width so that the one
// shown can be told apart.
QString openPictureFolder(const TestEnvironment& env, Form1& form, int count)
{
    const QString dir = env.makeFolder("slides");
    for (int i = 0; i < count; ++i)
        savePicture(dir + QString("/slide%1.bmp").arg(i), QSize(20 + i, 10));
    const Form1Controls ui(form);
    ui.File1->setPattern("*.bmp");
    ui.Dir1->setPath(dir);
    return dir;
}

// The timer runs or not, and Run and Stop are enabled to match.
bool showRuns(const Form1& form, bool on)
{
    const Form1Controls ui(form);
    return ui.Timer1->isActive() == on && ui.Command4->isEnabled() != on && ui.Command5->isEnabled() == on;
}

// Exactly one message was shown, and it was the end-of-list notice.
bool stoppedAtEndOfList(const TestEnvironment& env)
{
    const QList<MessageBoxRequest>& boxes = env.dialogs.messages;
    return boxes.size() == 1 && boxes[0].title == "AutoSkip stopped"
        && boxes[0].text.startsWith("Unabled to continue, no more files in file list.");
}
}

class AutoskipTest : public QObject {
    Q_OBJECT
private slots:
    void intervalRule()
    {
        // Milliseconds, or the failure's number.
        for (const auto& [text, expected] : QList<QPair<QString, int>>{
                 {"", kRangeRefused}, {"abc", kRangeRefused}, {"1", kRangeRefused}, {"1.9", kRangeRefused},
                 {"2", 2000}, {"2.5", 2500}, {"60", 60000}, {"60.5", kRangeRefused}, {"5x", 13},
                 {"-3", kRangeRefused}, {"1e1", 10000}, {"  7", 7000}}) {
            int result = 0;
            try {
                result = autoskipIntervalMs(text, QLocale(QLocale::English, QLocale::UnitedStates));
            } catch (const PxError& e) {
                result = e.failure.description.isEmpty() ? kRangeRefused : e.failure.number;
            }
            QCOMPARE("'" + text + "': " + QString::number(result), "'" + text + "': " + QString::number(expected));
        }
    }

    void runRefusesBadIntervals()
    {
        struct Case { QString text, title, logged, caption; };
        const QList<Case> cases{
            {"1.9", "ERROR (Invalid interval time)", "> Autoskip ERROR (Invalid interval time\"", "Pixalto"},
            // The caption is set before the strict conversion fails.
            {"5x", "Autoskip ERROR 13 (Type mismatch)", "> Autoskip ERROR 13 (Type mismatch)\"",
             "Pixalto - Autoskip is running"}};
        for (const Case& c : cases) {
            TestEnvironment env;
            MainWindow form(env.desktop());
            const Form1Controls ui(form);
            ui.Text2->setText(c.text);
            ui.Command4->click();
            QCOMPARE(env.dialogs.beeps, 1);
            QCOMPARE(env.dialogs.messages.size(), 1);
            QCOMPARE(env.dialogs.messages.last().title, c.title);
            QVERIFY(logLines(programLogPath()).last().endsWith(c.logged));
            QVERIFY(showRuns(form, false));
            QCOMPARE(form.windowTitle(), c.caption);
        }
    }

    void ticksWalkTheListAndStopAtTheEnd()
    {
        TestEnvironment env;
        writeSetting("AutoSkip", "0");
        MainWindow form(env.desktop());
        const Form1Controls ui(form);
        const QString dir = openPictureFolder(env, form, 3);
        ui.Text2->setText("60");
        ui.Command4->click();
        QVERIFY(showRuns(form, true));
        QCOMPARE(ui.Timer1->interval(), 60000);
        QCOMPARE(form.windowTitle(), QString("Pixalto - Autoskip is running"));

        // No selection yet: the first tick shows the first file.
        for (int i = 0; i < 3; ++i) {
            form.Timer1_Timer();
            QVERIFY(fileArrived(form));
            QCOMPARE(form.shownPath(), dir + QString("/slide%1.bmp").arg(i));
            QCOMPARE(ui.Image1->picture().width(), 20 + i);
            QVERIFY(showRuns(form, true));
        }
        QVERIFY(env.dialogs.messages.isEmpty());

        // Restart off: the last file stays shown and the show stops.
        form.Timer1_Timer();
        QVERIFY(showRuns(form, false));
        QVERIFY(stoppedAtEndOfList(env));
        QCOMPARE(form.shownPath(), dir + "/slide2.bmp");

        // Run again, then Stop.
        ui.Command4->click();
        ui.Command5->click();
        QVERIFY(showRuns(form, false));
        QCOMPARE(form.windowTitle(), QString("Pixalto"));
    }

    void timerRestartsAtTheTopUnlessTheListIsEmpty()
    {
        TestEnvironment env;
        writeSetting("AutoSkip", "1.0");
        MainWindow form(env.desktop());
        const Form1Controls ui(form);
        const QString dir = openPictureFolder(env, form, 2);
        ui.File1->setListIndex(1);
        ui.Text2->setText("2");
        form.Command4_Click();
        QSignalSpy ticks(ui.Timer1, &QTimer::timeout);
        QVERIFY(ticks.wait(30000));
        QVERIFY(fileArrived(form));
        QCOMPARE(form.shownPath(), dir + "/slide0.bmp");
        QVERIFY(showRuns(form, true));
        QVERIFY(env.dialogs.messages.isEmpty());

        // Run in an empty folder: the first tick stops the show, and the caption
        // no longer says it runs.
        ui.Command5->click();
        ui.Dir1->setPath(env.makeFolder("empty"));
        ui.Command4->click();
        form.Timer1_Timer();
        QVERIFY(showRuns(form, false));
        QVERIFY(stoppedAtEndOfList(env));
        QCOMPARE(ui.File1->listIndex(), -1);
        QCOMPARE(form.windowTitle(), QString("Pixalto"));
    }
};

QTEST_MAIN(AutoskipTest)
#include "test_autoskip.moc"
