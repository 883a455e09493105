#pragma once
#include "controls/auto_size_label.h"
#include "core/failure.h"
#include "desktop/desktop.h"
#include "picture/whole_picture.h"
#include "report/error_report.h"
#include "settings/program_log.h"
#include "startup/secondary_windows.h"

#include <QImage>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class DriveList;
class DirList;
class FileList;
class ImageView;
class JobControl;
class JobPool;
struct LoadedPicture;
class MainFiles;
class MainInfoRun;
class MainLists;
class MainMedia;
class MoviePlayer;
class PanelStatusBar;
class PicturePreloader;
class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTimer;
class RunLog;
struct CommandReport;

// The main window: the browser on the left, the picture area on the right.
// The handlers of each subsystem are defined in that subsystem's folder.
class Form1 : public QWidget {
    Q_OBJECT
public:
    // The desktop's parts stay the caller's and must outlive the window.
    explicit Form1(const Desktop& desktop);
    ~Form1() override;

    // The workers that load, scale and list off the window's thread, for
    // every window.
    JobPool& jobPool() const { return *jobs; }
    // The dialogs, help viewer, launcher and screen this window and the
    // windows it makes use.
    const Desktop& desktop() const { return parts; }
    // The program log, held open from start-up to shut-down.
    ProgramLog& programLog() { return log; }
    // Where this window's error reports go.
    Reporting reporting() { return {*parts.dialogs, log}; }
    // The secondary windows: this window owns the movie player window and
    // the editor, and reaches the separate windows through them too.
    SecondaryWindows& secondaryWindows() { return secondary; }

    // The whole start-up. Returns false when the program must end at once
    // (a wrong start-up password).
    bool Form_Load();
    void Form_Unload();

    // Start-up checks, writing their account to the run log.
    void spctest();
    void usertest(RunLog& runLog);
    void restest(RunLog& runLog);
    void systray(RunLog& runLog);

    // Browsing.
    void Drive1_Change();
    void Dir1_Change();
    void Dir1_MouseDown(Qt::MouseButton button);
    void File1_MouseDown(Qt::MouseButton button);

    // Showing the selected file.
    void File1_Click();
    // Starts decoding the picture of path, which the window is to show once
    // it is up, at its size in a window as large as the screen.
    void preloadStartPicture(const QString& path);
    // A picture, animation or movie asked for by File1_Click is still on
    // its way.
    bool loadingFile() const;
    // The list moved on under a file still on its way: it is not shown, and
    // the window leaves its waiting state as a shown file would.
    void dropPendingLoad();
    // The player's answer to the animation path.
    void animationStarted();
    void animationRefused(const Failure& failure);
    void az();
    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    void Option4_Click();

    // File commands and the file list's keys.
    void Command2_Click();
    void Command7_Click();
    void Command6_Click();
    void Command3_Click();
    void saveas_Click();
    void mnudelete_Click();
    void mnurename_Click();
    void mnurenamedir_Click();
    void mnusub_Click();
    void mnusession_Click();
    void mnudefault_Click();
    void mnustartup_Click();
    void options_Click();
    void File1_KeyDown(int key, Qt::KeyboardModifiers modifiers);
    // A copy or move is on its way.
    bool copying() const { return fileJob != nullptr; }
    // While a copy or move runs, another command on files would act under
    // it: says so in a box and returns true.
    bool fileJobRefused();

    // The info list of the folder shown.
    void mnuinfolist_Click();

    // Autoskip, the status bar, the full-screen view and the patterns.
    void Command4_Click();
    void Command5_Click();
    void Timer1_Timer();
    void StatusBar1_PanelClick(int panel);
    void Image1_Click();
    void mnupattern_Click();
    void textfile_Click();

    // The separate windows and handing the file to the desktop.
    void newwindow_Click();
    void oleeditopen_Click();

    // The captions and state that several windows write.
    void showFileCount();
    void showCurrent(const QString& number = {});
    bool showsPictures() const { return Label2 == QLatin1String("pic"); }
    bool showsAnimations() const { return Label2 == QLatin1String("avi"); }
    // Switches the browser between pictures and animations: zoom or speed
    // captions, the list's pattern, panels 1 and 4 and the kind code. A
    // pattern the list refuses leaves the list as it was.
    void setFileKind(bool pictures, const QString& pattern);
    // A pattern for this run only, nothing stored: the list shows what it
    // matches, panel 1 the pattern itself. Throws PxError when the list
    // refuses it (the list is left as it was).
    void setManualPattern(const QString& pattern);

    // What the window holds, for the windows and helpers that read it.
    const QString& shownPath() const { return Label1; }
    const QString& fileKind() const { return Label2; }
    const QString& copyFolder() const { return Text3; }
    const WholePicture& lastPicture() const { return Picture1; }
    QString selectedName() const;

    // Each subsystem's view of the window: only what its windows and
    // helpers need. Each is defined in its subsystem's folder.
    MainFiles files();
    MainLists lists();
    MainMedia media();
    MainInfoRun infoRun();

    // Where pop-up menus open; tests replace it to record instead of showing.
    std::function<void(QMenu*)> popUp;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class MainFiles;
    friend class MainLists;
    friend class MainMedia;
    friend class MainInfoRun;
    // The wiring of each subsystem's handlers to the controls.
    friend void connectBrowser(Form1& form);
    friend void connectFileCommands(Form1& form);
    friend void connectMedia(Form1& form);
    friend void connectEditor(Form1& form);
    friend void connectOptions(Form1& form);
    friend void connectInfoList(Form1& form);

    // Visible controls.
    DriveList* Drive1;
    DirList* Dir1;
    FileList* File1;
    AutoSizeLabel* Label6;
    AutoSizeLabel* Label7;
    QGroupBox* Frame1;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QRadioButton* Option3;
    QRadioButton* Option4;
    QLineEdit* Text2;
    QLabel* Label9;
    QPushButton* Command4;
    QPushButton* Command5;
    QPushButton* Command6;
    QPushButton* Command3;
    QPushButton* Command2;
    QPushButton* Command7;
    AutoSizeLabel* Label3;
    AutoSizeLabel* Label5;
    AutoSizeLabel* Label8;
    ImageView* Image1;
    PanelStatusBar* StatusBar1;
    MoviePlayer* AM1;
    QTimer* Timer1;

    // Hidden controls that hold state.
    QString Label1;                     // full path of the file shown
    QString Label2 = QStringLiteral("pic"); // file kind: "pic" or "avi"
    QString Text3;                      // copy directory of this run
    WholePicture Picture1;              // copy of the last picture loaded
    FileList* File2;                    // the info list's working list

    // Pop-up menus.
    QMenu* mnufile;
    QAction* mnurename;
    QAction* mnudelete;
    QAction* saveas;
    QAction* oleeditopen;
    QAction* newwindow;
    QAction* textfile;
    QAction* mnupattern;
    QAction* options;
    QMenu* mnuset;
    QAction* mnurenamedir;
    QAction* mnusession;
    QAction* mnudefault;
    QAction* mnustartup;
    QAction* mnusub;
    QAction* mnuinfolist;
    QAction* mnuhelp;

    void buildControls();
    void buildMenus();
    void fallbackBlock(RunLog& runLog);
    void setZoomOption(QRadioButton* option);
    void zoomByFactor(double factor, const QString& pictureText, const QString& speedText);
    void commonTail();
    void picturePath();
    void pictureLoaded(const LoadedPicture& loaded);
    void pictureFailure(const Failure& failure, bool loadFailed);
    void animationPath();
    void moviePath();
    void movieOpened(const std::optional<Failure>& failure);
    // A newer selection voids the outcome of any file still on its way.
    void cancelPendingLoads();
    void preloadNeighbours();
    // Runs work on the pool as the window's one file job. Back on this
    // thread its failure goes to report, or done runs under report; without
    // a report a failure is ignored and done runs all the same.
    void startFileJob(const std::optional<CommandReport>& report, std::function<void(JobControl&)> work,
                      std::function<void()> done);
    // The size auto zoom gives a picture in a window of that outer size.
    std::function<QSize(QSize)> shownPictureSize(QSizeF windowTwips) const;
    double outerWidthTwips() const;
    double outerHeightTwips() const;

    const Desktop parts;
    ProgramLog log;
    std::unique_ptr<JobPool> jobs;
    std::unique_ptr<PicturePreloader> preloader;
    std::shared_ptr<JobControl> infoJob;
    std::shared_ptr<JobControl> fileJob;
    // The file job's progress bar in the status bar, gone with the job.
    std::unique_ptr<QWidget> fileProgress;
    bool endRequested = false;
    // The picture just loaded waits for its first paint to preload its
    // neighbours.
    bool neighboursAfterPaint = false;
    bool intervalShown = false;
    // Last: the secondary windows go before anything of this window they
    // may use.
    SecondaryWindows secondary{this, parts, log};
};
