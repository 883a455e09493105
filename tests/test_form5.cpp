#include "desktop/desktop.h"
#include "media/form5.h"
#include "media/minsec.h"
#include "movie/movie_player.h"
#include "startup/secondary_windows.h"
#include "support/fixtures.h"
#include "support/window_helpers.h"

#include <QtTest>

namespace {
const QString kTitle = QStringLiteral("Vivo Movie Player");
const QString kPlaying = kTitle + QStringLiteral(" - Playing");
using Bevel = PanelStatusBar::Bevel;

bool onTop(const QWidget* w) { return w->windowFlags().testFlag(Qt::WindowStaysOnTopHint); }

QLabel* panelLabel(PanelStatusBar* bar, int panel) { return bar->findChildren<QLabel*>().at(panel - 1); }

// The shade just inside a panel's top-left corner: dark when it is sunk,
// light when it is raised.
int innerEdge(PanelStatusBar* bar, int panel) { return qGray(panelLabel(bar, panel)->grab().toImage().pixel(1, 1)); }

// The person answering the info box; notes whether the movie window was
// still kept on top while the box was up.
class InfoWatchingDialogs : public ScriptedDialogs {
public:
    explicit InfoWatchingDialogs(const SecondaryWindows& windows) : windows(windows) {}
    MsgResult messageBox(const MessageBoxRequest& request) override
    {
        const Form5* form = Form5::existing(windows);
        onTopDuringBox.append(form && onTop(form));
        return ScriptedDialogs::messageBox(request);
    }
    QList<bool> onTopDuringBox;
    const SecondaryWindows& windows;
};
}

class TestForm5 : public QObject {
    Q_OBJECT
    TestEnvironment env;
    // The movie window's owner where no main window is shown; its boxes go
    // to dialogs.
    SecondaryWindows windows{nullptr, desktop(), env.programLog};
    InfoWatchingDialogs dialogs{windows};

    Desktop desktop() { return {&dialogs, &env.help, &env.launcher, &env.screen}; }

    // Opens the movie and waits for the player's answer: true when it plays.
    static bool openViv(SecondaryWindows& windows, const QString& viv, const QString& onTopSetting)
    {
        writeSetting("OnTop", onTopSetting);
        std::optional<std::optional<Failure>> outcome;
        Form5::instance(windows)->openMovie(viv, [&](const std::optional<Failure>& failure) { outcome = failure; });
        return QTest::qWaitFor([&] { return outcome.has_value(); }, 20000) && !*outcome;
    }
    // Caption, player and the bevels of Play (pressed while playing) and Pause agree.
    static void checkPaused(Form5* form, bool paused)
    {
        QCOMPARE(form->windowTitle(), paused ? kTitle + QStringLiteral(" - Paused") : kPlaying);
        QCOMPARE(form->VvWeb1->isPaused(), paused);
        QCOMPARE(form->StatusBar1->bevel(2), paused ? Bevel::Raised : Bevel::Inset);
        QCOMPARE(form->StatusBar1->bevel(3), paused ? Bevel::Inset : Bevel::Raised);
    }

private slots:
    void cleanup() { windows.movie.unload(); }

    void minsecReadsMinutesAndSeconds()
    {
        // 59502 ms is 0.9917 min, rounded to 60 s, which carry; halves go to the
        // even second (1.5 s up, 4.5 s down); 4.503 s: the fraction 0.07505 is cut
        // to 0.0750 (4.5 s) before rounding.
        const std::pair<int, const char*> rows[] = {
            {155000, "2:35  "}, {65000, "1:05  "}, {0, "0:00  "}, {59501, "0:59  "}, {59502, "1:00  "},
            {599999, "10:00  "}, {1500, "0:02  "}, {4500, "0:04  "}, {4503, "0:04  "},
            {2147483647, "35791:24  "}};
        for (const auto& [ms, text] : rows)
            QCOMPARE(QString::number(ms) + " ms: " + minsec(ms), QString::number(ms) + " ms: " + text);
    }

    void openingShowsTheMovie()
    {
        FIXTURE(clip, "clip.viv");
        // A path longer than its panel.
        const QString viv = env.makeFolder(QString(60, 'd')) + "/clip.viv";
        QVERIFY(QFile::copy(clip, viv));
        MainWindow main(desktop());
        const Form1Controls ui(main);
        main.move(0, 0);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        writeSetting("OnTop", "1");
        Form5* form = Form5::instance(main.secondaryWindows());
        // The window comes up once the movie plays.
        form->openMovie(viv, [](const std::optional<Failure>&) {});
        QVERIFY(form->opening() && !form->isVisible() && form->windowTitle() == kTitle);
        QTRY_VERIFY_WITH_TIMEOUT(form->isVisible() && onTop(form), 20000);
        checkPaused(form, false);
        // Kept on top, it leaves the lists, buttons and status bar of the main window free.
        const QRect movie = form->frameGeometry();
        for (QWidget* control : main.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (control->isVisible() && control != ui.Image1)
                QVERIFY2(!movie.intersects(QRect(control->mapToGlobal(QPoint()), control->size())),
                         qPrintable(control->metaObject()->className()));
        PanelStatusBar* bar = form->StatusBar1;
        // The path loses its middle to fit its panel; the tooltip holds all of it.
        const QString shown = panelLabel(bar, 1)->text();
        QVERIFY2(shown.contains(QChar(0x2026)) && shown.startsWith(viv.left(2)) && shown.endsWith(".viv"),
                 qPrintable(shown));
        QVERIFY(bar->text(1) == viv && bar->tooltip(1) == viv);
        QTRY_VERIFY_WITH_TIMEOUT(bar->text(6) == QStringLiteral("0:01  "), 20000);

        // Another movie reuses the window.
        QVERIFY(openViv(main.secondaryWindows(), viv, "1"));
        QCOMPARE(Form5::instance(main.secondaryWindows()), form);
    }

    void panelsPlayPauseRestartAndClose()
    {
        FIXTURE(viv, "clip.viv");
        QVERIFY(openViv(windows, viv, "0"));
        QPointer<Form5> form = Form5::instance(windows);
        PanelStatusBar* bar = form->StatusBar1;
        MoviePlayer* player = form->VvWeb1;
        QVERIFY(!onTop(form));
        QTRY_VERIFY_WITH_TIMEOUT(player->positionMs() >= 1000, 20000);
        bar->click(3);
        checkPaused(form, true);
        QVERIFY(innerEdge(bar, 3) < innerEdge(bar, 2));
        // Panels without a key are no commands.
        for (int panel : {1, 6, 7})
            bar->click(panel);
        checkPaused(form, true);
        bar->click(2);
        checkPaused(form, false);

        // Restart, even from paused: plays from the start and shows the duration anew.
        bar->click(3);
        bar->setText(7, QString());
        bar->click(4);
        QTRY_COMPARE_WITH_TIMEOUT(bar->text(7), QStringLiteral("0:02  "), 20000);
        checkPaused(form, false);
        QVERIFY(player->positionMs() < 1000);

        // Closing stops the player and unloads the window; the next movie gets a fresh one.
        QVERIFY(form->close());
        QVERIFY(player->fileName().isEmpty() && player->durationMs() == 0);
        QVERIFY(!Form5::existing(windows));
        QTRY_VERIFY(form.isNull());
        QCOMPARE(Form5::instance(windows)->windowTitle(), kTitle);

        // Closed while a movie opens, the window tells the opener at once,
        // with nothing to report.
        bool told = false;
        Form5::instance(windows)->openMovie(viv, [&](const std::optional<Failure>& failure) { told = !failure; });
        QVERIFY(Form5::instance(windows)->close() && told);
    }

    void infoRestoresKeepOnTopFromTheSetting()
    {
        FIXTURE(viv, "clip.viv");
        for (const QString setting : {"1", "0"}) {
            QVERIFY(openViv(windows, viv, "1"));
            Form5* form = Form5::instance(windows);
            writeSetting("OnTop", setting);
            dialogs.messages.clear();
            dialogs.onTopDuringBox.clear();
            // The window manager's state changes on the same window: no new
            // window, so no hiding and showing again (a flicker).
            const WId shown = form->winId();
            QSignalSpy visibility(form->windowHandle(), &QWindow::visibleChanged);
            form->StatusBar1->click(5);
            QCOMPARE(visibility.count(), 0);
            QCOMPARE(form->winId(), shown);
            QCOMPARE(form->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint), setting == "1");
            QCOMPARE(dialogs.messages.size(), 1);
            const QString info = dialogs.messages.first().text;
            QVERIFY2(info.contains("vivo") && info.contains("h263"), qPrintable(info));
            QCOMPARE(dialogs.onTopDuringBox, QList<bool>{false});
            QCOMPARE(onTop(form), setting == "1");
            QCOMPARE(form->windowTitle(), kPlaying);
        }
    }
};

QTEST_MAIN(TestForm5)
#include "test_form5.moc"
