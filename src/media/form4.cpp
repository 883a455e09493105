#include "media/form4.h"

#include "movie/movie_player.h"

Form4::Form4(Form1* main)
    : SeparateWindow(main, QStringLiteral("Separate Animation"),
                     {{QStringLiteral("mnufile"), QStringLiteral("File"), 0, {}}})
{
    AM1 = new MoviePlayer(this);
}

// The player takes all the room the status bar leaves.
void Form4::placeContents(int heightAboveStatusBar) { AM1->setGeometry(0, 0, width(), heightAboveStatusBar); }
