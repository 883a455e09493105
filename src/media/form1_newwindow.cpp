#include "startup/form1.h"

#include "controls/image_view.h"
#include "desktop/desktop.h"
#include "desktop/window_frame.h"
#include "media/form3.h"
#include "media/form4.h"
#include "media/main_media.h"
#include "media/separate_geometry.h"
#include "movie/movie_player.h"
#include "picture/picture_loader.h"

#include <memory>

namespace {
// Any number of separate windows may be open, each closing by itself; the
// main window's secondary windows hold them.
void openPictureWindow(Form1& main)
{
    auto* form = main.secondaryWindows().separate.add(std::make_unique<Form3>(&main));
    const MainMedia media = main.media();
    const QString& file = main.shownPath();
    main.setCursor(Qt::WaitCursor);
    ImageView* view = form->Image1;
    view->hide();
    ignoreFailure([&] {
        // The picture on show is taken as it is, with its file for a larger
        // size or its animation; another file (one that failed) is read.
        const WholePicture& picture = media.shownPicture();
        view->setPicture(picture.source() == file ? picture : WholePicture(loadPicture(file), file));
    });
    view->setStretch(false);
    if (!view->hasPicture())
        form->sizeEmptyView(main.selectedName(),
                            {QStringLiteral("  ") + file, QStringLiteral("  ") + media.pictureSizeText()});
    form->setWindowState(Qt::WindowNoState);

    const Screen& screen = *main.desktop().screen;
    const QSizeF screenSize = screen.sizeTwips();
    const FittedPicture fit =
        fitpicture(view->widthTwips(), view->heightTwips(), screenSize.width(), screenSize.height());
    if (fit.shrunk) {
        view->setHeightTwips(fit.height);
        view->setWidthTwips(fit.width);
    }
    setOuterWidthTwips(form, view->widthTwips() + SeparateAllowance::width, screen);
    setOuterHeightTwips(form, form->statusBarHeightTwips() + view->heightTwips() + SeparateAllowance::openingHeight,
                        screen);
    if (fit.shrunk)
        view->setStretch(true);

    form->StatusBar1->setText(1, QStringLiteral("  ") + file);
    form->StatusBar1->setText(2, QStringLiteral("  ") + media.pictureSizeText());
    form->setWindowTitle(main.selectedName());
    // Shown once sized and placed, so that the window manager frames it
    // where it belongs.
    form->show();
    form->activateWindow();
    form->setFocus();
    main.unsetCursor();
    form->keepOnTopIfWanted();
    view->show();
}

void finishAnimationWindow(Form1& main, Form4* form)
{
    const MainMedia media = main.media();
    ignoreFailure([&] { form->AM1->setSpeed(media.movieSpeed()); });
    const Screen& screen = *main.desktop().screen;
    setOuterWidthTwips(form, screen.pixelsToTwipsX(media.movieSize().width()) + SeparateAllowance::width, screen);
    setOuterHeightTwips(form,
                        form->statusBarHeightTwips() + screen.pixelsToTwipsY(media.movieSize().height())
                            + SeparateAllowance::openingHeight,
                        screen);
    main.unsetCursor();
    form->show();
    form->keepOnTopIfWanted();
    form->StatusBar1->setText(1, QStringLiteral("  ") + main.shownPath());
    form->setWindowTitle(main.selectedName());
    form->setWindowState(Qt::WindowNoState);
}

void openAnimationWindow(Form1& main)
{
    auto* form = main.secondaryWindows().separate.add(std::make_unique<Form4>(&main));
    main.setCursor(Qt::WaitCursor);
    ignoreFailure([&] { form->AM1->setFileName(main.shownPath()); });
    if (!form->AM1->loading()) {
        finishAnimationWindow(main, form);
        return;
    }
    // The window opens once its player answers, whatever the answer. It
    // loads this one movie only, so just one of the two ever comes.
    const auto finish = [&main, form] { finishAnimationWindow(main, form); };
    QObject::connect(form->AM1, &MoviePlayer::started, form, finish, Qt::SingleShotConnection);
    QObject::connect(form->AM1, &MoviePlayer::failed, form, finish, Qt::SingleShotConnection);
}
}

void Form1::newwindow_Click()
{
    if (showsPictures())
        openPictureWindow(*this);
    else
        openAnimationWindow(*this);
}
