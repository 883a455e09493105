// Autoskip: the interval rule, Run and Stop, and the ticks that walk the
// file list of real pictures, with and without restart at the end.
#include "browser/autoskip_interval.h"
#include "platform/dir_list.h"
#include "platform/file_list.h"
#include "platform/image_view.h"
#include "settings/log_files.h"
#include "settings/settings_store.h"
#include "startup/form1.h"
#include "support/test_environment.h"

#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {
constexpr int kRangeRefused = -1;

QString lastProgramLogLine()
{
    QFile f(programLogPath());
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QStringList lines = QString::fromUtf8(f.readAll()).split("\r\n", Qt::SkipEmptyParts);
    return lines.isEmpty() ? QString() : lines.last();
}

// A folder of real pictures, each a different size so that the one shown
// can be told apart.
QString pictureFolder(const TestEnvironment& env, int count)
{
    const QString dir = env.makeFolder("slides");
    for (int i = 0; i < count; ++i) {
        QImage image(20 + i, 10, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        image.save(dir + QString("/slide%1.bmp").arg(i));
    }
    return dir;
}

void openFolder(Form1& form, const QString& dir)
{
    form.File1->setPattern("*.bmp");
    form.Dir1->setPath(dir);
}

bool running(const Form1& form)
{
    return form.Timer1->isActive() && !form.Command4->isEnabled() && form.Command5->isEnabled();
}

bool stopped(const Form1& form)
{
    return !form.Timer1->isActive() && form.Command4->isEnabled() && !form.Command5->isEnabled();
}

bool endOfListBox(const MessageBoxRequest& box)
{
    return box.title == "AutoSkip stopped" && box.icon == MsgIcon::Exclamation && box.buttons == MsgButtons::OK
        && box.text.startsWith("Unabled to continue, no more files in file list.");
}
}

class AutoskipTest : public QObject {
    Q_OBJECT
private slots:
    void intervalRule_data();
    void intervalRule();
    void runRefusesOutOfRange();
    void runRefusesTextThatIsNoNumber();
    void runAndStop();
    void ticksWalkTheListAndStopAtTheEnd();
    void timerRestartsAtTheTop();
    void emptyListStopsQuietly();
};

void AutoskipTest::intervalRule_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected"); // milliseconds, or the failure's number

    QTest::newRow("empty") << "" << kRangeRefused;
    QTest::newRow("letters") << "abc" << kRangeRefused;
    QTest::newRow("1") << "1" << kRangeRefused;
    QTest::newRow("1.9") << "1.9" << kRangeRefused;
    QTest::newRow("2") << "2" << 2000;
    QTest::newRow("2.5") << "2.5" << 2500;
    QTest::newRow("60") << "60" << 60000;
    QTest::newRow("60.5") << "60.5" << kRangeRefused;
    QTest::newRow("5x") << "5x" << 13;
    QTest::newRow("-3") << "-3" << kRangeRefused;
    QTest::newRow("1e1") << "1e1" << 10000;
    QTest::newRow("leading blanks") << "  7" << 7000;
    QTest::newRow("trailing point") << "3." << 3000;
    QTest::newRow("fraction only") << ".5" << kRangeRefused;
    QTest::newRow("exponent without digits") << "5e" << 13;
    QTest::newRow("huge exponent") << "5e999" << 6;
    QTest::newRow("below a millisecond") << "2.0004" << 2000;
}

void AutoskipTest::intervalRule()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    int result = 0;
    try {
        result = autoskipIntervalMs(text, english);
    } catch (const PxError& e) {
        result = e.failure.description.isEmpty() ? kRangeRefused : e.failure.number;
    }
    QCOMPARE(result, expected);
}

void AutoskipTest::runRefusesOutOfRange()
{
    TestEnvironment env;
    Form1 form;
    for (const char* text : {"1.9", "abc", "60.5"}) {
        form.Text2->setText(text);
        const int beeps = env.dialogs.beeps;
        form.Command4->click();
        QCOMPARE(env.dialogs.beeps, beeps + 1);
        const MessageBoxRequest& box = env.dialogs.messages.last();
        QCOMPARE(box.title, QString("ERROR (Invalid interval time)"));
        QCOMPARE(box.text, QString("You have to enter an interval time between 2 and 60 sec."));
        QCOMPARE(box.icon, MsgIcon::Critical);
        QVERIFY(lastProgramLogLine().endsWith("> Autoskip ERROR (Invalid interval time\""));
        QVERIFY(stopped(form));
        QCOMPARE(form.windowTitle(), QString("Pixalto"));
        QCOMPARE(form.Text2->text(), QString(text));
    }
}

void AutoskipTest::runRefusesTextThatIsNoNumber()
{
    TestEnvironment env;
    Form1 form;
    form.Text2->setText("5x");
    form.Command4_Click();
    QCOMPARE(env.dialogs.beeps, 1);
    const MessageBoxRequest& box = env.dialogs.messages.last();
    QCOMPARE(box.title, QString("Autoskip ERROR 13 (Type mismatch)"));
    QCOMPARE(box.text, QString("Unable to run Autoskip. Make sure you have entered a number between 2 and 60"));
    QCOMPARE(box.icon, MsgIcon::Critical);
    QVERIFY(lastProgramLogLine().endsWith("> Autoskip ERROR 13 (Type mismatch)\""));
    QVERIFY(stopped(form));
    // The caption was set before the conversion failed.
    QCOMPARE(form.windowTitle(), QString("Pixalto - Autoskip is running"));
}

void AutoskipTest::runAndStop()
{
    TestEnvironment env;
    Form1 form;
    form.Text2->setText("2.5");
    form.Command4->click();
    QVERIFY(running(form));
    QCOMPARE(form.Timer1->interval(), 2500);
    QCOMPARE(form.windowTitle(), QString("Pixalto - Autoskip is running"));
    QVERIFY(env.dialogs.messages.isEmpty());

    form.Command5->click();
    QVERIFY(stopped(form));
    QCOMPARE(form.windowTitle(), QString("Pixalto"));
}

void AutoskipTest::ticksWalkTheListAndStopAtTheEnd()
{
    TestEnvironment env;
    writeSetting("AutoSkip", "0");
    const QString dir = pictureFolder(env, 3);
    Form1 form;
    openFolder(form, dir);
    form.Text2->setText("60");
    form.Command4_Click();

    // No selection yet: the first tick shows the first file.
    for (int i = 0; i < 3; ++i) {
        form.Timer1_Timer();
        QCOMPARE(form.File1->listIndex(), i);
        QCOMPARE(form.Label1, dir + QString("/slide%1.bmp").arg(i));
        QCOMPARE(form.Image1->picture().width(), 20 + i);
        QCOMPARE(form.Label7->text(), QString("Current: %1").arg(i + 1));
        QVERIFY(running(form));
    }
    QVERIFY(env.dialogs.messages.isEmpty());

    form.Timer1_Timer();
    QVERIFY(stopped(form));
    QCOMPARE(env.dialogs.messages.size(), 1);
    QVERIFY(endOfListBox(env.dialogs.messages.last()));
    // The last file stays shown.
    QCOMPARE(form.File1->listIndex(), 2);
    QCOMPARE(form.Label1, dir + "/slide2.bmp");

    // A click by the user moves where the next tick goes on from.
    form.Command4_Click();
    form.File1->setListIndex(0);
    form.Timer1_Timer();
    QCOMPARE(form.File1->listIndex(), 1);
}

void AutoskipTest::timerRestartsAtTheTop()
{
    TestEnvironment env;
    writeSetting("AutoSkip", "1.0");
    const QString dir = pictureFolder(env, 2);
    Form1 form;
    openFolder(form, dir);
    form.File1->setListIndex(1);

    form.Text2->setText("2");
    form.Command4_Click();
    QSignalSpy ticks(form.Timer1, &QTimer::timeout);
    QVERIFY(ticks.wait(30000));
    QCOMPARE(form.File1->listIndex(), 0);
    QCOMPARE(form.Label1, dir + "/slide0.bmp");
    QVERIFY(running(form));
    QVERIFY(env.dialogs.messages.isEmpty());

    // Restart off: the next end of the list stops the show.
    writeSetting("Autoskip", "0");
    form.File1->setListIndex(1);
    QVERIFY(ticks.wait(30000));
    QVERIFY(stopped(form));
    QCOMPARE(form.File1->listIndex(), 1);
    QCOMPARE(env.dialogs.messages.size(), 1);
    QVERIFY(endOfListBox(env.dialogs.messages.last()));
}

void AutoskipTest::emptyListStopsQuietly()
{
    TestEnvironment env;
    writeSetting("AutoSkip", "1");
    Form1 form;
    openFolder(form, env.makeFolder("empty"));
    form.Text2->setText("2");
    form.Command4_Click();
    form.Timer1_Timer();
    QVERIFY(stopped(form));
    QCOMPARE(form.File1->listIndex(), -1);
    QCOMPARE(env.dialogs.messages.size(), 1);
    QVERIFY(endOfListBox(env.dialogs.messages.last()));
    QVERIFY(form.Label1.isEmpty());
}

QTEST_MAIN(AutoskipTest)
#include "test_autoskip.moc"
