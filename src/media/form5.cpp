#include "media/form5.h"

#include "controls/status_bar.h"
#include "core/failure.h"
#include "desktop/desktop.h"
#include "desktop/keep_on_top.h"
#include "desktop/screen.h"
#include "media/main_media.h"
#include "media/minsec.h"
#include "movie/movie_player.h"
#include "settings/keys.h"
#include "settings/settings_store.h"

#include "startup/form1.h"
#include "startup/secondary_windows.h"

#include <QCloseEvent>
#include <QScreen>
#include <memory>
#include <utility>

namespace {

const QString kPlaying = QStringLiteral("Vivo Movie Player - Playing");
const QString kPaused = QStringLiteral("Vivo Movie Player - Paused");

bool onTopWanted() { return settingIsOne(Keys::OnTop); }
}

Form5* Form5::instance(SecondaryWindows& windows)
{
    if (!windows.movie.get())
        windows.movie.load(std::unique_ptr<Form5>(new Form5(windows)));
    return existing(windows);
}

Form5* Form5::existing(const SecondaryWindows& windows) { return static_cast<Form5*>(windows.movie.get()); }

const Desktop& Form5::desktop() const { return windows.desktop(); }

Form5::Form5(SecondaryWindows& windows) : windows(windows)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Vivo Movie Player"));
    useDesignFont(this);
    setFocusPolicy(Qt::StrongFocus);
    const Screen& screen = *desktop().screen;
    resize(screen.twipsToPixelsX(4572), screen.twipsToPixelsY(3744));

    VvWeb1 = new MoviePlayer(this);
    screen.placeTwips(VvWeb1, 120, 120, 4332, 3252);

    using Panel = PanelStatusBar::PanelSpec;
    StatusBar1 = new PanelStatusBar(
        {
            Panel{QString(), QStringLiteral("File"), 0, QString()},
            Panel{QStringLiteral("play"), QStringLiteral("Play"), 22, QStringLiteral(">")},
            Panel{QStringLiteral("pause"), QStringLiteral("Pause"), 22, QStringLiteral("||")},
            Panel{QStringLiteral("restart"), QStringLiteral("Restart"), 22, QString(QChar(0x00AB))},
            Panel{QStringLiteral("info"), QStringLiteral("Movie Info"), 34, QStringLiteral("Info")},
            Panel{QString(), QStringLiteral("Current position"), 44, QString()},
            Panel{QString(), QStringLiteral("Total duration"), 44, QString()},
        },
        this);
    // The command panels look like buttons until one is pressed.
    for (int panel = 2; panel <= 5; ++panel)
        StatusBar1->setBevel(panel, PanelStatusBar::Bevel::Raised);
    placeStatusBar();

    connect(StatusBar1, &PanelStatusBar::panelClicked, this, &Form5::StatusBar1_PanelClick);
    connect(VvWeb1, &MoviePlayer::started, this, &Form5::movieStarted);
    connect(VvWeb1, &MoviePlayer::started, this, &Form5::VvWeb1_AtStart);
    connect(VvWeb1, &MoviePlayer::failed, this, [this](const Failure& failure) {
        if (opening())
            finishOpen(failure);
    });
    connect(VvWeb1, &MoviePlayer::timeChanged, this, &Form5::VvWeb1_Time);
}

void Form5::openMovie(const QString& fullPath, OpenOutcome outcome)
{
    VvWeb1->setFileName(fullPath);
    pendingOpen = std::move(outcome);
}

void Form5::cancelOpen()
{
    if (!opening())
        return;
    pendingOpen = nullptr;
    ignoreFailure([&] { VvWeb1->setFileName(QString()); });
}

void Form5::finishOpen(const std::optional<Failure>& failure)
{
    // Taken first: the outcome may open the next movie.
    const OpenOutcome outcome = std::exchange(pendingOpen, nullptr);
    outcome(failure);
}

void Form5::movieStarted()
{
    if (!opening())
        return;
    const QString fullPath = VvWeb1->fileName();
    StatusBar1->setText(1, fullPath);
    // The panel shows as much of the path as fits; the tooltip all of it.
    StatusBar1->setTooltip(1, fullPath);
    if (onTopWanted())
        setKeepOnTop(this, true);
    setWindowTitle(kPlaying);
    showState(true);
    if (!isVisible())
        placeOverPictureArea();
    show();
    activateWindow();
    setFocus();
    finishOpen(std::nullopt);
}

void Form5::showState(bool playing)
{
    StatusBar1->setBevel(2, playing ? PanelStatusBar::Bevel::Inset : PanelStatusBar::Bevel::Raised);
    StatusBar1->setBevel(3, playing ? PanelStatusBar::Bevel::Raised : PanelStatusBar::Bevel::Inset);
}

void Form5::showMovieInfo()
{
    MessageBoxRequest box;
    box.text = VvWeb1->mediaInfo();
    box.buttons = MsgButtons::OK;
    box.icon = MsgIcon::Information;
    box.title = QStringLiteral("Movie Info");
    desktop().dialogs->messageBox(box);
}

void Form5::Form_GotFocus()
{
    if (showingInfo)
        return;
    if (onTopWanted())
        setKeepOnTop(this, true);
}

void Form5::Form_Unload(int& /*Cancel*/)
{
    ignoreFailure([&] { VvWeb1->pause(); });
    ignoreFailure([&] { VvWeb1->setFileName(QString()); });
    // The main window waits for no movie that will never come.
    if (opening())
        finishOpen(std::nullopt);
}

void Form5::StatusBar1_PanelClick(int panel)
{
    const QString key = StatusBar1->key(panel);
    if (key == QLatin1String("play")) {
        ignoreFailure([&] { VvWeb1->play(); });
        setWindowTitle(kPlaying);
        showState(true);
    } else if (key == QLatin1String("pause")) {
        ignoreFailure([&] { VvWeb1->pause(); });
        setWindowTitle(kPaused);
        showState(false);
    } else if (key == QLatin1String("restart")) {
        ignoreFailure([&] { VvWeb1->setFileName(VvWeb1->fileName()); });
        setWindowTitle(kPlaying);
        showState(true);
    } else if (key == QLatin1String("info")) {
        showingInfo = true;
        ignoreFailure([&] { setKeepOnTop(this, false); });
        ignoreFailure([&] { showMovieInfo(); });
        showingInfo = false;
        ignoreFailure([&] {
            if (onTopWanted())
                setKeepOnTop(this, true);
        });
    }
}

void Form5::VvWeb1_AtStart()
{
    Text1 = minsec(VvWeb1->durationMs());
    StatusBar1->setText(7, Text1);
}

void Form5::VvWeb1_Time(qint32 positionMs)
{
    Text2 = minsec(positionMs);
    StatusBar1->setText(6, Text2);
}

void Form5::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    Form_GotFocus();
}

void Form5::closeEvent(QCloseEvent* event)
{
    int cancel = 0;
    Form_Unload(cancel);
    event->accept();
    windows.movie.closing(this);
}

void Form5::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeStatusBar();
}

void Form5::placeOverPictureArea()
{
    // Kept on top, the window must not hide the lists and buttons: it opens
    // over the main window's picture area, or in the middle of the screen
    // when it does not fit there.
    Form1* mainWindow = windows.mainWindow();
    const QScreen* display = mainWindow ? mainWindow->screen() : screen();
    const QRect free = display->availableGeometry();
    QRect frame(QPoint(), frameGeometry().size());
    frame.moveCenter(free.center());
    if (mainWindow && mainWindow->isVisible()) {
        const QRect picture = mainWindow->media().pictureAreaOnScreen().intersected(free);
        if (picture.width() >= frame.width() && picture.height() >= frame.height())
            frame.moveCenter(picture.center());
    }
    move(frame.topLeft());
}

void Form5::placeStatusBar()
{
    const int h = StatusBar1->sizeHint().height();
    StatusBar1->setGeometry(0, height() - h, width(), h);
}
