#include "media/main_media.h"

#include "controls/auto_size_label.h"
#include "controls/image_view.h"
#include "controls/status_bar.h"
#include "movie/movie_player.h"
#include "startup/form1.h"

MainMedia Form1::media() { return MainMedia(*this); }

const WholePicture& MainMedia::shownPicture() const { return form.Image1->wholePicture(); }

QString MainMedia::pictureSizeText() const { return form.Label5->text(); }

double MainMedia::movieSpeed() const { return form.AM1->speed(); }

QSize MainMedia::movieSize() const { return form.AM1->size(); }

QRect MainMedia::pictureAreaOnScreen() const
{
    return QRect(form.mapToGlobal(form.AM1->pos()),
                 form.mapToGlobal(QPoint(form.width(), form.StatusBar1->y()) - QPoint(1, 1)));
}
