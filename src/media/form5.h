#pragma once
#include "core/failure.h"

#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

class MoviePlayer;
class PanelStatusBar;
class SecondaryWindows;
struct Desktop;

// The Vivo movie player window: plays a movie with play, pause, restart and
// info as clickable status-bar panels, and shows position and duration.
// There is one instance among a main window's secondary windows, which own
// it; it is deleted when closed and made anew on next use. It opens over
// that main window's picture area.
class Form5 : public QWidget {
    Q_OBJECT
public:
    // The window, created on first use.
    static Form5* instance(SecondaryWindows& windows);
    // The window if it is loaded, else null.
    static Form5* existing(const SecondaryWindows& windows);

    // Told once how an open ended: no failure when the movie plays (or the
    // window was closed before the player answered).
    using OpenOutcome = std::function<void(const std::optional<Failure>&)>;
    // Gives the player the movie and returns at once; the window shows it
    // and comes up when it starts to play. A file the player refuses, at
    // once (PxError) or later (outcome), leaves the window as it was.
    void openMovie(const QString& fullPath, OpenOutcome outcome);
    bool opening() const { return bool(pendingOpen); }
    // Stops an open under way; its outcome never comes.
    void cancelOpen();

    MoviePlayer* VvWeb1 = nullptr;
    PanelStatusBar* StatusBar1 = nullptr;
    // Scratch fields of the duration and position read-outs.
    QString Text1;
    QString Text2;

    void Form_GotFocus();
    void Form_Unload(int& Cancel);
    void StatusBar1_PanelClick(int panel);
    void VvWeb1_AtStart();
    void VvWeb1_Time(qint32 positionMs);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    explicit Form5(SecondaryWindows& windows);
    const Desktop& desktop() const;
    void placeStatusBar();
    void placeOverPictureArea();
    void showState(bool playing);
    void showMovieInfo();
    void movieStarted();
    void finishOpen(const std::optional<Failure>& failure);

    // While the info box is up the window must stay an ordinary one, even if
    // it regains the focus.
    bool showingInfo = false;
    OpenOutcome pendingOpen;
    SecondaryWindows& windows;
};
