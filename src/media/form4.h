#pragma once
#include "media/separate_window.h"

class MoviePlayer;

// The separate animation window: plays one animation in a player of its own.
// Every "Load in separate window" makes a new one.
class Form4 : public SeparateWindow {
    Q_OBJECT
public:
    explicit Form4(Form1* main);

    MoviePlayer* AM1 = nullptr;

protected:
    void placeContents(int heightAboveStatusBar) override;
};
