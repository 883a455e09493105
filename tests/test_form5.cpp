#include "media/form5.h"
#include "media/minsec.h"
#include "platform/failure.h"
#include "platform/movie_player.h"
#include "platform/platform.h"
#include "platform/status_bar.h"
#include "settings/settings_store.h"
#include "support/test_environment.h"

#include <QFile>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

namespace {
const QString kViv = QStringLiteral(PIXALTO_FIXTURES_DIR "/clip.viv");
const QString kPlaying = QStringLiteral("Vivo Movie Player - Playing");
using Bevel = PanelStatusBar::Bevel;

bool onTop(QWidget* w) { return w->windowFlags().testFlag(Qt::WindowStaysOnTopHint); }

// The person answering the info box; notes whether the movie window was
// still kept on top while the box was up.
class InfoWatchingDialogs : public ScriptedDialogs {
public:
    MsgResult messageBox(const MessageBoxRequest& request) override
    {
        onTopDuringBox.append(Form5::existing() && onTop(Form5::existing()));
        return ScriptedDialogs::messageBox(request);
    }
    QList<bool> onTopDuringBox;
};
}

class TestForm5 : public QObject {
    Q_OBJECT
    TestEnvironment env;
    InfoWatchingDialogs dialogs;

    Form5* openViv(const QString& onTopSetting)
    {
        writeSetting("OnTop", onTopSetting);
        Form5::instance()->openMovie(kViv);
        return Form5::instance();
    }

private slots:
    void initTestCase() { installPlatform({&dialogs, &env.help, &env.launcher, &env.screen}); }
    void cleanup() { Form5::unload(); }

    void minsecReadsMinutesAndSeconds_data()
    {
        QTest::addColumn<int>("ms");
        QTest::addColumn<QString>("text");
        QTest::newRow("2:35") << 155000 << "2:35  ";
        QTest::newRow("2:00") << 120000 << "2:00  ";
        QTest::newRow("1:05") << 65000 << "1:05  ";
        QTest::newRow("zero") << 0 << "0:00  ";
        QTest::newRow("last 59") << 59501 << "0:59  ";
        // 0.9917 of a minute rounds to 60 seconds, which carry.
        QTest::newRow("60 carries") << 59502 << "1:00  ";
        QTest::newRow("60 carries to 10") << 599999 << "10:00  ";
        // Halves go to the even second: 0.025 min = 1.5 s, 0.075 min = 4.5 s.
        QTest::newRow("half to even up") << 1500 << "0:02  ";
        QTest::newRow("half to even down") << 4500 << "0:04  ";
        // 4.503 s: the fraction 0.07505 is cut to 0.0750 (4.5 s) before rounding.
        QTest::newRow("cut before rounding") << 4503 << "0:04  ";
        QTest::newRow("largest") << 2147483647 << "35791:24  ";
    }
    void minsecReadsMinutesAndSeconds()
    {
        QFETCH(int, ms);
        QFETCH(QString, text);
        QCOMPARE(minsec(ms), text);
    }

    void openingShowsTheMovie()
    {
        Form5* form = openViv("1");
        QCOMPARE(form->windowTitle(), kPlaying);
        QVERIFY(form->isVisible() && onTop(form));
        QVERIFY(!form->VvWeb1->isPaused());
        PanelStatusBar* bar = form->StatusBar1;
        QCOMPARE(bar->count(), 7);
        const QStringList texts = {kViv, ">", "||", QString(QChar(0xAB)), "Info"};
        const QStringList keys = {"", "play", "pause", "restart", "info", "", ""};
        const QStringList tips = {"File", "Play", "Pause", "Restart", "Movie Info",
                                  "Current position", "Total duration"};
        for (int panel = 1; panel <= 7; ++panel) {
            if (panel <= 5)
                QCOMPARE(bar->text(panel), texts.at(panel - 1));
            QCOMPARE(bar->key(panel), keys.at(panel - 1));
            QCOMPARE(bar->tooltip(panel), tips.at(panel - 1));
        }
        QCOMPARE(bar->bevel(2), Bevel::Inset);
        QCOMPARE(bar->bevel(3), Bevel::Raised);
        QCOMPARE(bar->text(7), QStringLiteral("0:02  "));
        QTRY_VERIFY_WITH_TIMEOUT(bar->text(6) == QStringLiteral("0:01  "), 20000);

        // Another movie reuses the window.
        Form5::instance()->openMovie(kViv);
        QCOMPARE(Form5::instance(), form);
    }

    void panelsPlayPauseAndRestart()
    {
        Form5* form = openViv("0");
        PanelStatusBar* bar = form->StatusBar1;
        QVERIFY(!onTop(form));
        QTRY_VERIFY_WITH_TIMEOUT(form->VvWeb1->positionMs() >= 1000, 20000);

        bar->click(3);
        QCOMPARE(form->windowTitle(), QStringLiteral("Vivo Movie Player - Paused"));
        QCOMPARE(bar->bevel(3), Bevel::Inset);
        QCOMPARE(bar->bevel(2), Bevel::Raised);
        QVERIFY(form->VvWeb1->isPaused());
        // Panels without a key are no commands.
        for (int panel : {1, 6, 7})
            bar->click(panel);
        QVERIFY(form->VvWeb1->isPaused());
        QCOMPARE(bar->bevel(3), Bevel::Inset);

        bar->click(2);
        QCOMPARE(form->windowTitle(), kPlaying);
        QCOMPARE(bar->bevel(2), Bevel::Inset);
        QCOMPARE(bar->bevel(3), Bevel::Raised);
        QVERIFY(!form->VvWeb1->isPaused());

        bar->click(3);
        bar->setText(7, QString());
        bar->click(4);
        QCOMPARE(form->windowTitle(), kPlaying);
        QCOMPARE(bar->bevel(2), Bevel::Inset);
        QVERIFY(!form->VvWeb1->isPaused());
        QVERIFY(form->VvWeb1->positionMs() < 1000);
        QCOMPARE(bar->text(7), QStringLiteral("0:02  "));
    }

    void infoRestoresKeepOnTopFromTheSetting_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::newRow("OnTop 1") << "1";
        QTest::newRow("OnTop 0") << "0";
    }
    void infoRestoresKeepOnTopFromTheSetting()
    {
        QFETCH(QString, setting);
        Form5* form = openViv("1");
        writeSetting("OnTop", setting);
        dialogs.messages.clear();
        dialogs.onTopDuringBox.clear();

        form->StatusBar1->click(5);
        QCOMPARE(dialogs.messages.size(), 1);
        const MessageBoxRequest box = dialogs.messages.first();
        QCOMPARE(box.title, QStringLiteral("Movie Info"));
        QCOMPARE(box.icon, MsgIcon::Information);
        QVERIFY2(box.text.contains("vivo") && box.text.contains("h263"), qPrintable(box.text));
        QCOMPARE(dialogs.onTopDuringBox, QList<bool>{false});
        QCOMPARE(onTop(form), setting == "1");
        QCOMPARE(form->windowTitle(), kPlaying);
    }

    void focusAppliesOnTop()
    {
        Form5* form = openViv("0");
        QTRY_VERIFY_WITH_TIMEOUT(form->isActiveWindow(), 5000);
        QWidget other;
        other.show();
        other.activateWindow();
        QTRY_VERIFY_WITH_TIMEOUT(other.isActiveWindow(), 5000);
        QVERIFY(!onTop(form));

        writeSetting("OnTop", "1");
        form->activateWindow();
        QTRY_VERIFY_WITH_TIMEOUT(onTop(form), 5000);
    }

    void closingStopsAndUnloads()
    {
        QPointer<Form5> form = openViv("0");
        MoviePlayer* player = form->VvWeb1;
        QTRY_VERIFY_WITH_TIMEOUT(player->positionMs() > 0, 20000);
        QVERIFY(form->close());
        QCOMPARE(player->fileName(), QString());
        QCOMPARE(player->durationMs(), 0);
        QVERIFY(!Form5::existing());
        QTRY_VERIFY(form.isNull());

        // The next movie gets a fresh window.
        Form5* fresh = Form5::instance();
        QCOMPARE(fresh->windowTitle(), QStringLiteral("Vivo Movie Player"));
        fresh->openMovie(kViv);
        QCOMPARE(fresh->StatusBar1->text(7), QStringLiteral("0:02  "));
    }

    void unplayableMovieIsReportedToTheCaller()
    {
        QFile bad(env.makeFolder("movies") + "/broken.viv");
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("not a vivo movie at all");
        bad.close();
        writeSetting("OnTop", "1");
        Form5* form = Form5::instance();
        QVERIFY_THROWS_EXCEPTION(PxError, form->openMovie(bad.fileName()));
        QVERIFY(!form->isVisible());
        QCOMPARE(form->windowTitle(), QStringLiteral("Vivo Movie Player"));
        QCOMPARE(form->StatusBar1->text(1), QString());
    }
};

QTEST_MAIN(TestForm5)
#include "test_form5.moc"
