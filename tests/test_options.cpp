// The Options window: reading odd stored values, OK and Cancel, the user
// name and the special setting, keep-on-top of the separate windows, help.
#include "options/form14.h"
#include "options/form8.h"
#include "startup/secondary_windows.h"
#include "support/window_helpers.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>

namespace {
const QStringList kKeys{"OLE", "AutoZoom", "AutoSkip", "UserReq", "DelConfirmation", "MoveConfirmation", "OnTop",
                        "Systray"};

QList<QCheckBox*> boxes(const Form14& o)
{
    return {o.Check1, o.Check2, o.Check3, o.Check4, o.Check5, o.Check6, o.Check7, o.Check8};
}
}

class OptionsTest : public QObject {
    Q_OBJECT
private slots:
    void storedValuesOpenAndWriteBack_data();
    void storedValuesOpenAndWriteBack();
    void cancelAndCloseWriteNothing();
    void userNameAndSpecialSetting();
    void keepOnTopOffWhileOpen();
    void helpAndAbout();
};

void OptionsTest::storedValuesOpenAndWriteBack_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("written");
    QTest::newRow("missing") << QString() << int(Qt::Unchecked) << "0";
    QTest::newRow("0") << "0" << int(Qt::Unchecked) << "0";
    QTest::newRow("1") << "1" << int(Qt::Checked) << "1";
    QTest::newRow("2") << "2" << int(Qt::PartiallyChecked) << "2";
    for (const char* odd : {"yes", "7", "-1", "1.0", " "})
        QTest::newRow(odd) << odd << int(Qt::Unchecked) << "0";
}

void OptionsTest::storedValuesOpenAndWriteBack()
{
    QFETCH(QString, stored);
    QFETCH(int, state);
    QFETCH(QString, written);
    TestEnvironment env;
    if (!stored.isNull())
        for (const QString& key : kKeys)
            writeSetting(key, stored);
    Form14 options(nullptr);
    for (QCheckBox* box : boxes(options))
        QCOMPARE(int(box->checkState()), state);
    QCOMPARE(options.Frame7->title(), QString("User name (current: )"));
    options.Command3_Click();
    for (const QString& key : kKeys)
        QCOMPARE(readSetting(key), written);
}

void OptionsTest::cancelAndCloseWriteNothing()
{
    TestEnvironment env;
    writeSetting("OLE", "1");
    for (bool byCloseBox : {false, true}) {
        Form14 options(nullptr);
        options.show();
        for (QCheckBox* box : boxes(options))
            box->click();
        byCloseBox ? void(options.close()) : options.Command11_Click();
        QCOMPARE(readSetting("OLE"), QString("1"));
        QCOMPARE(readSetting("AutoZoom"), QString());
    }
    // A greyed box clicked once is ticked and stored as such.
    writeSetting("Systray", "2");
    Form14 options(nullptr);
    options.Check8->click();
    options.Command3_Click();
    QCOMPARE(readSetting("Systray"), QString("1"));
}

void OptionsTest::userNameAndSpecialSetting()
{
    TestEnvironment env;
    writeSetting("User", "Old");
    const QString longName(10000, QChar('n'));
    Form14 options(nullptr);
    for (const QString& answer : {QString("Anna Maria SMITH"), QString(), longName}) {
        env.dialogs.inputAnswers = {answer};
        options.Command8_Click();
    }
    QCOMPARE(env.dialogs.inputs[0].title, QString("User change"));
    QCOMPARE(readSetting("User"), longName);
    QCOMPARE(options.Frame7->title(), "User name (current: " + longName + ")");
    const QStringList log = logLines(env.programFolder() + "/PXLog.txt");
    QCOMPARE(log.size(), 6);
    QCOMPARE(log[0], QString());
    QVERIFY(log[1].startsWith("\"<") && log[1].endsWith("> User name changed to: Anna Maria SMITH\""));
    QCOMPARE(log[2], QString());

    env.dialogs.inputAnswers = {"nosplash;x=1"};
    options.Command12_Click();
    env.dialogs.inputAnswers = {QString()};
    options.Command12_Click();
    QCOMPARE(readSetting("SpcSetting"), QString("nosplash;x=1"));
    const InputBoxRequest& special = env.dialogs.inputs.last();
    QCOMPARE(special.prompt, QString("Enter Pixalto special setting information.\rThis function is only to be used by "
                                     "Orvenko Soft\ror if you have been instructed by Orvenko Soft"));
    QCOMPARE(special.helpTopic, 30);
    // Changed at once: Cancel does not take them back.
    options.Command11_Click();
    QCOMPARE(readSetting("User"), longName);
}

void OptionsTest::keepOnTopOffWhileOpen()
{
    TestEnvironment env;
    QList<bool> switched;
    for (SecondaryWindow w : {SecondaryWindow::Form3, SecondaryWindow::Form4, SecondaryWindow::Form6})
        registerSecondaryWindow(w, {[&switched](bool on) { switched.append(on); }, [] {}});
    for (const char* onTop : {"1", "2"}) {
        switched.clear();
        writeSetting("OnTop", onTop);
        Form14 options(nullptr);
        QCOMPARE(switched, QList<bool>({false, false, false}));
        options.Command3_Click();
        const bool on = QString(onTop) == "1";
        QCOMPARE(switched, QList<bool>({false, false, false, on, on, on}));
    }
    for (SecondaryWindow w : {SecondaryWindow::Form3, SecondaryWindow::Form4, SecondaryWindow::Form6})
        registerSecondaryWindow(w, {});
}

void OptionsTest::helpAndAbout()
{
    TestEnvironment env;
    const QString helpFile = env.programFolder() + "/pxhelp.hlp";
    Form14 options(nullptr);
    options.Command9->click();
    options.Command13_Click();
    options.Check6->setFocus();
    QTest::keyClick(&options, Qt::Key_F1);
    options.Command13->setFocus();
    QTest::keyClick(&options, Qt::Key_F1);
    QCOMPARE(env.help.topics, (QList<QPair<QString, int>>{{helpFile, 28}, {helpFile, 29}}));
    QCOMPARE(env.help.contents, QStringList{helpFile});

    writeSetting("User", "Anna");
    Form8 about;
    const QString text = about.Text1->toPlainText();
    for (const QString& part : {QString("Pixalto"), QString("Version 3.0"), QString("Orvenko Soft"), QString("Anna"),
                                "Qt " + QString(qVersion())})
        QVERIFY2(text.contains(part), qPrintable(part));
    QVERIFY(about.Text1->isReadOnly());
}

QTEST_MAIN(OptionsTest)
#include "test_options.moc"
