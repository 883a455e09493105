#include "startup/form1.h"

#include "browser/picture_math.h"
#include "controls/auto_size_label.h"
#include "controls/file_list.h"
#include "controls/image_view.h"
#include "controls/status_bar.h"
#include "core/file_system.h"
#include "core/locale_text.h"
#include "core/paths.h"
#include "desktop/desktop.h"
#include "media/form5.h"
#include "movie/movie_player.h"
#include "picture/picture_preloader.h"
#include "report/error_report.h"
#include "settings/keys.h"
#include "settings/program_log.h"
#include "settings/settings_store.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace {
const ErrorTexts kPictureLoad{
    QStringLiteral("Picture load ERROR "), QStringLiteral("Unknown Picture load ERROR"),
    QStringLiteral("Unable to open the selected picture, the file may be corrupted. Please select another "
                   "file or try using another program. If you want Pixalto to do this automatic, then "
                   "check the box on the file properties window.")};
const ErrorTexts kAnimationLoad{
    QStringLiteral("Animation load ERROR "), QStringLiteral("Unknown Animation load ERROR"),
    QStringLiteral("Unable to open the selected animation, the file may be corrupted. Please select "
                   "another file or try using another program.")};
const ErrorTexts kMovieLoad{
    QStringLiteral("Movie load ERROR "), QStringLiteral("Unknown Movie load ERROR"),
    QStringLiteral("Unable to open the selected movie, the file may be corrupted. Please select another "
                   "file or try using another program.")};
}

void Form1::File1_Click()
{
    // The newest selection is the one shown: a file still on its way for an
    // older one never arrives.
    cancelPendingLoads();
    setCursor(Qt::WaitCursor);
    const QString name = File1->fileName();
    // Each path runs the common tail once its file has arrived or failed.
    if (name.right(3).toLower() == QLatin1String("viv"))
        moviePath();
    else if (showsPictures())
        picturePath();
    else
        animationPath();
}

bool Form1::loadingFile() const
{
    const Form5* movieWindow = Form5::existing(secondary);
    return preloader->requestPending() || AM1->loading() || (movieWindow && movieWindow->opening());
}

void Form1::cancelPendingLoads()
{
    preloader->cancel();
    if (AM1->loading())
        AM1->setFileName(QString());
    if (Form5* movieWindow = Form5::existing(secondary))
        movieWindow->cancelOpen();
}

void Form1::dropPendingLoad()
{
    if (!loadingFile())
        return;
    cancelPendingLoads();
    setWindowTitle(QStringLiteral("Pixalto"));
    unsetCursor();
}

void Form1::moviePath()
{
    try {
        Label1 = fullPath(File1->path(), File1->fileName());
        setWindowTitle(QStringLiteral("Pixalto - Please wait, loading animation"));
        Form5::instance(secondary)->openMovie(Label1,
                                              [this](const std::optional<Failure>& failure) { movieOpened(failure); });
    } catch (const PxError& error) {
        movieOpened(error.failure);
    }
}

void Form1::movieOpened(const std::optional<Failure>& failure)
{
    if (failure)
        reportError(reporting(), kMovieLoad, *failure);
    setWindowTitle(QStringLiteral("Pixalto"));
    commonTail();
}

void Form1::picturePath()
{
    // A movie hidden behind the picture has no one to watch it.
    AM1->hide();
    AM1->pause();
    Label1 = fullPath(File1->path(), File1->fileName());
    setWindowTitle(QStringLiteral("Pixalto - Please wait, loading picture"));
    preloader->setShownSize(shownPictureSize({outerWidthTwips(), outerHeightTwips()}));
    preloader->request(Label1, this, [this](const LoadedPicture& loaded) {
        pictureLoaded(loaded);
        commonTail();
    });
}

void Form1::pictureLoaded(const LoadedPicture& loaded)
{
    if (loaded.failure) {
        pictureFailure(*loaded.failure, true);
        return;
    }
    try {
        const WholePicture picture(loaded.image, Label1);
        Image1->setPicture(picture);
        Picture1 = picture;
        Image1->hide();
        Image1->setStretch(false);
        setZoomOption(Option3);
        StatusBar1->setText(4, QStringLiteral("1:1"));
        Image1->show();
        setWindowTitle(QStringLiteral("Pixalto"));
        const Screen& screen = *desktop().screen;
        Label5->setCaption(sizeText(Image1->widthTwips(), Image1->heightTwips(),
                                    screen.twipsPerDevicePixelX(Image1), screen.twipsPerDevicePixelY(Image1)));
        Label8->move(Label5->x() + Label5->width() + screen.twipsToPixelsX(25), Label8->y());
        if (settingIsNumericOne(Keys::AutoZoom))
            az();
        // The neighbours decode once this picture is on screen, so that they
        // do not take the processor from its first paint; a window that
        // paints nothing does not wait.
        neighboursAfterPaint = Image1->isVisible() && !isMinimized();
        if (!neighboursAfterPaint)
            preloadNeighbours();
    } catch (const PxError& error) {
        pictureFailure(error.failure, false);
    }
}

void Form1::pictureFailure(const Failure& failure, bool loadFailed)
{
    if (settingIsNumericOne(Keys::OLE)) {
        try {
            desktop().launcher->openWithDesktop(Label1);
        } catch (const PxError& error) {
            reportError(reporting(), kPictureLoad, error.failure);
        }
        setWindowTitle(QStringLiteral("Pixalto"));
        Image1->clearPicture();
        return;
    }
    reportError(reporting(), kPictureLoad, failure);
    setWindowTitle(QStringLiteral("Pixalto"));
    if (!loadFailed)
        Image1->show();
}

void Form1::animationPath()
{
    try {
        Image1->hide();
        Label5->setCaption(QString());
        Label1 = fullPath(File1->path(), File1->fileName());
        setWindowTitle(QStringLiteral("Pixalto - Please wait, loading animation"));
        AM1->setFileName(Label1);
    } catch (const PxError& error) {
        animationRefused(error.failure);
    }
}

void Form1::animationStarted()
{
    try {
        const QSize video = AM1->videoSize();
        // One video pixel to a device pixel, as a picture at 1:1.
        if (!video.isEmpty())
            AM1->resize((QSizeF(video) / AM1->devicePixelRatioF()).toSize());
        StatusBar1->setText(4, QStringLiteral("1:1"));
        AM1->show();
        setWindowTitle(QStringLiteral("Pixalto"));
        setZoomOption(Option3);
    } catch (const PxError& error) {
        animationRefused(error.failure);
        return;
    }
    commonTail();
}

void Form1::animationRefused(const Failure& failure)
{
    reportError(reporting(), kAnimationLoad, failure);
    setWindowTitle(QStringLiteral("Pixalto"));
    commonTail();
}

void Form1::commonTail()
{
    Command6->setEnabled(true);
    Command6->setText(QStringLiteral("&Copy"));
    Command2->setEnabled(true);
    Command2->setText(QStringLiteral("&File Copy"));
    Command7->setEnabled(true);
    Command7->setText(QStringLiteral("File &Move"));
    unsetCursor();
    QString size;
    ignoreFailure([&] { size = groupedNumber(FileSystem::length(Label1)); });
    StatusBar1->setText(2, Label1 + QStringLiteral(" (") + size + QStringLiteral(" bytes)"));
    showCurrent(QString::number(File1->listIndex() + 1));
}

void Form1::preloadNeighbours()
{
    const int index = File1->listIndex();
    QStringList neighbours;
    for (int i : {index + 1, index - 1})
        if (i >= 0 && i < File1->listCount())
            neighbours.append(fullPath(File1->path(), File1->item(i)));
    preloader->preload(neighbours);
}

// The size az will give a picture of a natural size, in device pixels, as
// the window is now; none with the auto zoom off.
void Form1::preloadStartPicture(const QString& path)
{
    // The maximised window is at most that large: the picture is decoded no
    // smaller than it will be shown.
    preloader->setShownSize(shownPictureSize(desktop().screen->sizeTwips()));
    preloader->preload({path});
}

std::function<QSize(QSize)> Form1::shownPictureSize(QSizeF window) const
{
    if (!settingIsNumericOne(Keys::AutoZoom))
        return {};
    // The screen outlives the window and whatever it hands this to.
    const Screen& screen = *desktop().screen;
    const QSizeF twipsPerDevicePixel(screen.twipsPerDevicePixelX(Image1), screen.twipsPerDevicePixelY(Image1));
    const qreal ratio = Image1->devicePixelRatioF();
    return [=, &screen](QSize natural) {
        const QSizeF fit = autoZoomSize(
            {natural.width() * twipsPerDevicePixel.width(), natural.height() * twipsPerDevicePixel.height()}, window);
        return (QSizeF(screen.twipsToPixelsX(fit.width()), screen.twipsToPixelsY(fit.height())) * ratio).toSize();
    };
}

void Form1::az()
{
    try {
        Image1->hide();
        const QSizeF size = autoZoomSize({Image1->widthTwips(), Image1->heightTwips()},
                                         {outerWidthTwips(), outerHeightTwips()});
        Image1->setWidthTwips(size.width());
        Image1->setHeightTwips(size.height());
        StatusBar1->setText(4, QStringLiteral("Auto"));
        setZoomOption(nullptr);
        Image1->setStretch(true);
        Image1->show();
    } catch (const PxError&) {
        desktop().dialogs->beep();
        log.record(QStringLiteral("AutoZoom ERROR"));
        desktop().dialogs->messageBox(
            {QStringLiteral("Unable to Auto size the picture. The picture may contain defective pixels"),
             MsgButtons::OK, MsgIcon::Critical, 1, QStringLiteral("AutoZoom ERROR")});
    }
}

void Form1::zoomByFactor(double factor, const QString& pictureText, const QString& speedText)
{
    if (showsPictures()) {
        Image1->hide();
        Image1->setStretch(false);
        Image1->setHeightTwips(float(Image1->heightTwips() * factor));
        Image1->setWidthTwips(float(Image1->widthTwips() * factor));
        Image1->setStretch(true);
        StatusBar1->setText(4, pictureText);
        Image1->show();
    } else if (showsAnimations()) {
        ignoreFailure([&] { AM1->setSpeed(factor); });
        StatusBar1->setText(4, speedText);
    }
}

void Form1::Option1_Click() { zoomByFactor(0.25, QStringLiteral("1:4"), QStringLiteral(".25")); }
void Form1::Option2_Click() { zoomByFactor(0.5, QStringLiteral("1:2"), QStringLiteral(".50")); }
void Form1::Option4_Click() { zoomByFactor(2.0, QStringLiteral("2:1"), QStringLiteral("2.0")); }

void Form1::Option3_Click()
{
    if (showsPictures()) {
        Image1->hide();
        Image1->setStretch(false);
        StatusBar1->setText(4, QStringLiteral("1:1"));
        Image1->show();
    } else if (showsAnimations()) {
        ignoreFailure([this] { AM1->setSpeed(1.0); });
        StatusBar1->setText(4, QStringLiteral("1.0"));
    }
}
