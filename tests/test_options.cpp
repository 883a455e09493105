// The Options window: reading odd stored values, OK and the close box, the user
// name and the special setting, keep-on-top of the separate windows, F1.
#include "options/form14.h"
#include "startup/secondary_windows.h"
#include "support/window_helpers.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>

namespace {
const QStringList kKeys{"OLE", "AutoZoom", "AutoSkip", "UserReq", "DelConfirmation", "MoveConfirmation", "OnTop",
                        "Systray"};
}

class OptionsTest : public QObject {
    Q_OBJECT
private slots:
    void storedValuesOpenAndWriteBack()
    {
        struct Case { QString stored; Qt::CheckState state; QString written; };
        for (const Case& c : {Case{QString(), Qt::Unchecked, "0"}, Case{"1", Qt::Checked, "1"},
                              Case{"2", Qt::PartiallyChecked, "2"}, Case{"yes", Qt::Unchecked, "0"},
                              Case{"7", Qt::Unchecked, "0"}, Case{"-1", Qt::Unchecked, "0"},
                              Case{"1.0", Qt::Checked, "1"}, Case{" ", Qt::Unchecked, "0"}}) {
            TestEnvironment env;
            if (!c.stored.isNull())
                for (const QString& key : kKeys)
                    writeSetting(key, c.stored);
            const SecondaryWindows windows(nullptr, env.desktop(), env.programLog);
            Form14 options(nullptr, windows);
            // A second copy of the program open at the same time: OK keeps its change.
            Form14 other(nullptr, windows);
            for (QCheckBox* box : options.findChildren<QCheckBox*>())
                QCOMPARE(box->checkState(), c.state);
            QCOMPARE(options.Frame7->title(), QString("User name (current: )"));
            other.Check2->click();
            other.Command3_Click();
            options.Command3_Click();
            for (const QString& key : kKeys)
                QCOMPARE(readSetting(key), key != "AutoZoom" ? c.written : c.state == Qt::Checked ? "0" : "1");
        }
    }

    void userNameSpecialSettingAndF1()
    {
        TestEnvironment env;
        const QString longName(10000, QChar('n'));
        const SecondaryWindows windows(nullptr, env.desktop(), env.programLog);
        Form14 options(nullptr, windows);
        env.dialogs.inputAnswers = {"Anna Maria SMITH", QString(), longName, "nosplash;x=1", QString()};
        for (int i = 0; i < 3; ++i)
            options.Command8_Click();
        options.Command12_Click();
        options.Command12_Click();
        // Both are stored at once, before OK or Cancel.
        QCOMPARE(readSetting("User"), longName);
        QCOMPARE(readSetting("SpcSetting"), QString("nosplash;x=1"));
        QCOMPARE(options.Frame7->title(), "User name (current: " + longName + ")");
        const QStringList log = logLines(env.programFolder() + "/PXLog.txt");
        QCOMPARE(log.size(), 6);
        QVERIFY(log[0].isEmpty() && log[2].isEmpty());
        QVERIFY(log[1].startsWith("\"<") && log[1].endsWith("> User name changed to: Anna Maria SMITH\""));

        // F1 opens the topic of the control that has the focus, if it has one.
        for (QWidget* control : QList<QWidget*>{options.Check6, options.Command13}) {
            control->setFocus();
            QTest::keyClick(&options, Qt::Key_F1);
        }
        QCOMPARE(env.help.topics, (QList<QPair<QString, int>>{{env.programFolder() + "/pxhelp.hlp", 29}}));
    }

    void keepOnTopAndTheCloseBox()
    {
        // Keep-on-top is off while the window is open and back on after it only
        // when the stored choice is "1"; the close box writes nothing.
        QList<bool> switched;
        for (const QString& onTop : QStringList{"1", "2"}) {
            TestEnvironment env;
            SecondaryWindows windows(nullptr, env.desktop(), env.programLog);
            for (SecondaryWindow w : {SecondaryWindow::Form3, SecondaryWindow::Form4, SecondaryWindow::Form6})
                windows.add(w, {[&switched](bool on) { switched.append(on); }, [] {}, {}});
            switched.clear();
            writeSetting("OnTop", onTop);
            Form14 options(nullptr, windows);
            options.show();
            QCOMPARE(switched, QList<bool>({false, false, false}));
            const bool ok = onTop == "1";
            for (QCheckBox* box : ok ? QList<QCheckBox*>() : options.findChildren<QCheckBox*>())
                box->click();
            ok ? options.Command3_Click() : void(options.close());
            QCOMPARE(switched, QList<bool>({false, false, false, ok, ok, ok}));
            QCOMPARE(readSetting("OnTop"), onTop);
            QCOMPARE(readSetting("OLE"), QString(ok ? "0" : ""));
        }
    }
};

QTEST_MAIN(OptionsTest)
#include "test_options.moc"
