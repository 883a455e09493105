// File kinds and search patterns: the Filetype Select window, the manual
// pattern command, the file-type panel and the windows kept on top.
#include "fileops/form13.h"
#include "platform/dir_list.h"
#include "platform/file_list.h"
#include "platform/status_bar.h"
#include "settings/log_files.h"
#include "settings/settings_store.h"
#include "startup/form1.h"
#include "startup/on_top_windows.h"
#include "support/test_environment.h"

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>
#include <QTimer>

namespace {
const QString kPicDefault = "*.jpg;*.jpeg;*.bmp;*.gif;*.wmf;*.emf;*.ico";
const QString kAniDefault = "*.avi;*.mpg;*.mpeg;*.mov;*.viv;*.qm";

void touch(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
}

// A folder with two pictures, three animations and one other file.
QString mixedFolder(const TestEnvironment& env)
{
    const QString dir = env.makeFolder("mixed");
    for (const char* name : {"a.jpg", "b.GIF", "c.avi", "d.MOV", "e.qm", "f.png", "notes.txt"})
        touch(dir + "/" + name);
    return dir;
}

QStringList listed(const Form1& form)
{
    QStringList names;
    for (int i = 0; i < form.File1->listCount(); ++i)
        names.append(form.File1->item(i));
    return names;
}

QStringList optionCaptions(const Form1& form)
{
    return {form.Option1->text(), form.Option2->text(), form.Option3->text(), form.Option4->text()};
}

bool stored(const QString& key)
{
    QSettings s(QSettings::IniFormat, QSettings::UserScope, "Orvenko Soft", "Pixalto");
    return s.contains("Pixalto/" + key);
}

QString lastProgramLogLine()
{
    QFile f(programLogPath());
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QStringList lines = QString::fromUtf8(f.readAll()).split("\r\n", Qt::SkipEmptyParts);
    return lines.isEmpty() ? QString() : lines.last();
}

void chooseKind(Form1& form, bool pictures)
{
    Form13 window(&form);
    window.show();
    (pictures ? window.Option1 : window.Option2)->setChecked(true);
    window.Command1_Click();
}
}

class PatternsTest : public QObject {
    Q_OBJECT
private slots:
    void kindSwitchesBothWaysWithDefaultPatterns();
    void kindUsesStoredUserPatterns();
    void setPicThenOkStoresAndApplies();
    void closeBoxAppliesNothing();
    void defaultsAskFirst();
    void helpShowsTopicFive();
    void manualPatternApplied();
    void manualPatternRefused();
    void filetypePanelOpensWindowModally();
    void onTopWindowsGiveWay();
};

void PatternsTest::kindSwitchesBothWaysWithDefaultPatterns()
{
    TestEnvironment env;
    Form1 form;
    form.File1->setPattern(kPicDefault);
    form.Dir1->setPath(mixedFolder(env));

    chooseKind(form, false);
    QCOMPARE(form.Label2, QString("avi"));
    QCOMPARE(form.File1->pattern(), kAniDefault);
    QCOMPARE(listed(form), QStringList({"c.avi", "d.MOV", "e.qm"}));
    QCOMPARE(form.Frame1->title(), QString("Movie speed"));
    QCOMPARE(optionCaptions(form), QStringList({".25", ".50", "1.0", "2.0"}));
    QCOMPARE(form.StatusBar1->text(1), QString(" Animations "));
    QCOMPARE(form.StatusBar1->tooltip(4), QString("Movie speed info"));
    QCOMPARE(form.Label6->text(), QString("3 File(s)"));
    QCOMPARE(form.Label7->text(), QString("Current: "));

    chooseKind(form, true);
    QCOMPARE(form.Label2, QString("pic"));
    QCOMPARE(form.File1->pattern(), kPicDefault);
    QCOMPARE(listed(form), QStringList({"a.jpg", "b.GIF"}));
    QCOMPARE(form.Frame1->title(), QString("Zoom"));
    QCOMPARE(optionCaptions(form), QStringList({"1:4", "1:2", "1:1", "2:1"}));
    QCOMPARE(form.StatusBar1->text(1), QString(" Pictures "));
    QCOMPARE(form.StatusBar1->tooltip(4), QString("Zoom info"));
    QCOMPARE(form.Label6->text(), QString("2 File(s)"));
    // Choosing a kind stores nothing when no pattern was entered.
    QVERIFY(!stored("PicPattern"));
    QVERIFY(!stored("AniPattern"));
}

void PatternsTest::kindUsesStoredUserPatterns()
{
    TestEnvironment env;
    writeSetting("PicPattern", "*.png");
    writeSetting("AniPattern", "*.mov;*.QM");
    Form1 form;
    form.Dir1->setPath(mixedFolder(env));

    Form13 window(&form);
    QCOMPARE(window.Option1->text(), QString("Picture files (*.png)"));
    QCOMPARE(window.Option2->text(), QString("Animation files (*.mov;*.QM)"));
    QVERIFY(window.Option1->isChecked());

    chooseKind(form, false);
    QCOMPARE(listed(form), QStringList({"d.MOV", "e.qm"}));
    chooseKind(form, true);
    QCOMPARE(listed(form), QStringList({"f.png"}));

    // A stored pattern the list refuses is skipped; the rest still applies.
    writeSetting("AniPattern", ";");
    chooseKind(form, false);
    QCOMPARE(form.File1->pattern(), QString("*.png"));
    QCOMPARE(form.Label2, QString("avi"));
    QCOMPARE(form.StatusBar1->text(1), QString(" Animations "));
}

void PatternsTest::setPicThenOkStoresAndApplies()
{
    TestEnvironment env;
    Form1 form;
    form.Dir1->setPath(mixedFolder(env));
    Form13 window(&form);
    window.show();

    env.dialogs.inputAnswers = {"*.png"};
    window.Command5_Click();
    const InputBoxRequest& ask = env.dialogs.inputs.last();
    QCOMPARE(ask.title, QString("Picture pattern change"));
    QCOMPARE(ask.prompt, QString("Enter new Picture pattern\r\rExample: *.jpg;*.bmp;*.gif"));
    QCOMPARE(ask.defaultText, kPicDefault);
    QCOMPARE(window.Option1->text(), QString("Picture files (*.png)"));
    QVERIFY(!stored("PicPattern"));

    // Cancel in SetAni changes nothing.
    window.Command4_Click();
    QCOMPARE(env.dialogs.inputs.last().title, QString("Animation pattern change"));
    QCOMPARE(env.dialogs.inputs.last().defaultText, kAniDefault);
    QCOMPARE(window.Option2->text(), QString("Animation files (*.avi;*.mpg;*.mpeg;*.mov;*.viv;*.qm)"));

    window.Option2->setChecked(true);
    window.Command1_Click();
    QVERIFY(!window.isVisible());
    QCOMPARE(readSetting("PicPattern"), QString("*.png"));
    QVERIFY(!stored("AniPattern"));
    QCOMPARE(form.File1->pattern(), kAniDefault);
    QCOMPARE(optionCaptions(form), QStringList({".25", ".50", "1.0", "2.0"}));

    // The next visit offers the stored pattern.
    Form13 again(&form);
    env.dialogs.inputAnswers = {"*.gif"};
    again.Command5_Click();
    QCOMPARE(env.dialogs.inputs.last().defaultText, QString("*.png"));
}

void PatternsTest::closeBoxAppliesNothing()
{
    TestEnvironment env;
    Form1 form;
    form.File1->setPattern(kPicDefault);
    form.Dir1->setPath(mixedFolder(env));
    {
        Form13 window(&form);
        window.show();
        env.dialogs.inputAnswers = {"*.png", "*.avi"};
        window.Command5_Click();
        window.Command4_Click();
        window.Option2->setChecked(true);
        window.close();
        QVERIFY(!window.isVisible());
    }
    QVERIFY(!stored("PicPattern"));
    QVERIFY(!stored("AniPattern"));
    QCOMPARE(form.Label2, QString("pic"));
    QCOMPARE(form.File1->pattern(), kPicDefault);
    QCOMPARE(form.Frame1->title(), QString("Zoom"));
}

void PatternsTest::defaultsAskFirst()
{
    TestEnvironment env;
    writeSetting("PicPattern", "*.png");
    writeSetting("AniPattern", "*.qm");
    Form1 form;
    form.Dir1->setPath(mixedFolder(env));
    Form13 window(&form);
    window.show();

    env.dialogs.messageAnswers = {MsgResult::No};
    window.Command6_Click();
    const MessageBoxRequest& box = env.dialogs.messages.last();
    QCOMPARE(box.title, QString("Reload default pattern settings"));
    QCOMPARE(box.text, QString("This will delete the current user selected pattern settings and reload the "
                               "defaults\r\rDo you wish to continue?"));
    QCOMPARE(box.buttons, MsgButtons::YesNo);
    QCOMPARE(box.icon, MsgIcon::Question);
    QCOMPARE(box.defaultButton, 2);
    QCOMPARE(readSetting("PicPattern"), QString("*.png"));
    QCOMPARE(readSetting("AniPattern"), QString("*.qm"));
    QCOMPARE(window.Option1->text(), QString("Picture files (*.png)"));

    // Yes clears both keys at once, even a pattern entered in this visit.
    env.dialogs.inputAnswers = {"*.bmp"};
    window.Command5_Click();
    env.dialogs.messageAnswers = {MsgResult::Yes};
    window.Command6_Click();
    QCOMPARE(readSetting("PicPattern"), QString());
    QCOMPARE(readSetting("AniPattern"), QString());
    QCOMPARE(window.Option1->text(), "Picture files (" + kPicDefault + ")");
    QCOMPARE(window.Option2->text(), "Animation files (" + kAniDefault + ")");
    QCOMPARE(form.Label2, QString("pic"));

    window.Option2->setChecked(true);
    window.Command1_Click();
    QCOMPARE(readSetting("PicPattern"), QString());
    QCOMPARE(form.File1->pattern(), kAniDefault);
    QCOMPARE(listed(form), QStringList({"c.avi", "d.MOV", "e.qm"}));
}

void PatternsTest::helpShowsTopicFive()
{
    TestEnvironment env;
    Form1 form;
    Form13 window(&form);
    window.Command3->click();
    QCOMPARE(env.help.topics.size(), 1);
    QCOMPARE(env.help.topics.first(), qMakePair(env.programFolder() + "/pxhelp.hlp", 5));
}

void PatternsTest::manualPatternApplied()
{
    TestEnvironment env;
    Form1 form;
    form.File1->setPattern(kPicDefault);
    form.Dir1->setPath(mixedFolder(env));
    form.Label7->setText("Current: 1");

    env.dialogs.inputAnswers = {"*.gif"};
    form.mnupattern->trigger();
    const InputBoxRequest& ask = env.dialogs.inputs.last();
    QCOMPARE(ask.title, QString("Manual pattern change"));
    QCOMPARE(ask.prompt, QString("Enter desired pattern\r\rExample: '*.jpg' or '*.jpg;*.bmp;*.gif'"));
    QCOMPARE(ask.defaultText, QString());
    QCOMPARE(ask.positionTwips, std::optional<QPoint>(QPoint(120, 2880)));
    QCOMPARE(listed(form), QStringList({"b.GIF"}));
    QCOMPARE(form.StatusBar1->text(1), QString("*.gif"));
    QCOMPARE(form.Label6->text(), QString("1 File(s)"));
    QCOMPARE(form.Label7->text(), QString("Current: "));
    QCOMPARE(form.Label2, QString("pic"));
    QVERIFY(!stored("PicPattern"));

    // Cancel leaves everything as it was.
    form.mnupattern_Click();
    QCOMPARE(form.File1->pattern(), QString("*.gif"));
    QCOMPARE(form.StatusBar1->text(1), QString("*.gif"));

    // Odd but applicable patterns are taken as typed and match what they say;
    // non-ASCII letters match too (their letter case follows the locale).
    touch(form.File1->path() + QString::fromUtf8("/film.ävi"));
    const QString longPattern = QString(499, QLatin1Char('?')) + "*";
    const QList<QPair<QString, int>> odd{{QString::fromUtf8("*.jpé;*.äVI"), 1},
                                         {QString("*:\\<>|\"*"), 0},
                                         {longPattern, 0}};
    for (const auto& [pattern, count] : odd) {
        env.dialogs.inputAnswers = {pattern};
        form.mnupattern_Click();
        QCOMPARE(form.File1->pattern(), pattern);
        QCOMPARE(form.StatusBar1->text(1), pattern);
        QCOMPARE(form.File1->listCount(), count);
    }
    QCOMPARE(env.dialogs.messages.size(), 0);

    // Choosing a kind again replaces the manual pattern.
    chooseKind(form, true);
    QCOMPARE(form.File1->pattern(), kPicDefault);
    QCOMPARE(form.StatusBar1->text(1), QString(" Pictures "));
}

void PatternsTest::manualPatternRefused()
{
    TestEnvironment env;
    Form1 form;
    form.File1->setPattern("*.avi");
    form.Dir1->setPath(mixedFolder(env));
    form.StatusBar1->setText(1, " Pictures ");

    const QStringList refused{";", " ; ;", "sub/*.jpg", "/", QString("*.jpg") + QChar(0)};
    for (const QString& bad : refused) {
        env.dialogs.inputAnswers = {bad};
        const int beeps = env.dialogs.beeps;
        form.mnupattern_Click();
        QCOMPARE(env.dialogs.beeps, beeps + 1);
        const MessageBoxRequest& box = env.dialogs.messages.last();
        QCOMPARE(box.title, QString("File search pattern ERROR"));
        QCOMPARE(box.text, QString("Entered pattern is not acceptable enter like this: \r\r'*.jpg' or "
                                   "'*.jpg;*.bmp;*.gif'"));
        QCOMPARE(box.icon, MsgIcon::Critical);
        QCOMPARE(box.buttons, MsgButtons::OK);
        QVERIFY(lastProgramLogLine().endsWith("> File search pattern ERROR\""));
        QCOMPARE(form.File1->pattern(), QString("*.avi"));
        QCOMPARE(listed(form), QStringList{"c.avi"});
        QCOMPARE(form.StatusBar1->text(1), QString(" Pictures "));
    }
    QCOMPARE(env.dialogs.messages.size(), refused.size());
}

void PatternsTest::filetypePanelOpensWindowModally()
{
    TestEnvironment env;
    Form1 form;
    form.Dir1->setPath(mixedFolder(env));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    Form13* seen = nullptr;
    bool modal = false;
    QTimer::singleShot(0, [&] {
        seen = qobject_cast<Form13*>(QApplication::activeModalWidget());
        if (!seen)
            return;
        modal = seen->isModal() && seen->parentWidget() == &form;
        seen->Option2->setChecked(true);
        seen->Command1->click();
    });
    form.StatusBar1->click(1);
    QVERIFY(seen);
    QVERIFY(modal);
    QCOMPARE(form.findChildren<Form13*>().size(), 0);
    QCOMPARE(form.Label2, QString("avi"));

    // Panel 4 has no key: a click opens nothing.
    bool opened = false;
    QTimer::singleShot(0, [&] {
        if (auto* w = QApplication::activeModalWidget()) {
            opened = true;
            w->close();
        }
    });
    form.StatusBar1->click(4);
    QCoreApplication::processEvents();
    QVERIFY(!opened);
}

void PatternsTest::onTopWindowsGiveWay()
{
    TestEnvironment env;
    QWidget form3, form4, form6;
    QStringList calls;
    auto registerWindow = [&](OnTopWindow slot, QWidget* window, const QString& name) {
        registerOnTopSwitch(slot, [&calls, window, name](bool on) {
            window->setWindowFlag(Qt::WindowStaysOnTopHint, on);
            calls.append(name + (on ? "+" : "-"));
        });
    };
    // Registered out of order: the switching order is fixed.
    registerWindow(OnTopWindow::Form6, &form6, "6");
    registerWindow(OnTopWindow::Form3, &form3, "3");
    registerOnTopSwitch(OnTopWindow::Form4, [&](bool) { throw std::runtime_error("gone"); });

    Form1 form;
    writeSetting("OnTop", "1");
    {
        Form13 window(&form);
        QCOMPARE(calls, QStringList({"3-", "6-"}));
        QVERIFY(!form3.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        window.show();
        window.close();
        QCOMPARE(calls, QStringList({"3-", "6-", "3+", "6+"}));
        QVERIFY(form6.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    }
    // Only once per visit, even though the window is destroyed afterwards.
    QCOMPARE(calls.size(), 4);

    registerWindow(OnTopWindow::Form4, &form4, "4");
    writeSetting("OnTop", "0");
    calls.clear();
    chooseKind(form, true);
    QCOMPARE(calls, QStringList({"3-", "4-", "6-", "3-", "4-", "6-"}));
    QVERIFY(!form4.windowFlags().testFlag(Qt::WindowStaysOnTopHint));

    for (OnTopWindow slot : {OnTopWindow::Form3, OnTopWindow::Form4, OnTopWindow::Form6})
        registerOnTopSwitch(slot, nullptr);
}

QTEST_MAIN(PatternsTest)
#include "test_patterns.moc"
