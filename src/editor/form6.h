#pragma once
#include "core/failure.h"
#include "desktop/dialogs.h"
#include "report/error_report.h"

#include <QList>
#include <QString>
#include <QWidget>
#include <atomic>
#include <functional>
#include <thread>

class PanelStatusBar;
class QAction;
class QMenu;
class QMenuBar;
class QTextDocument;
class QTextEdit;
class SecondaryWindows;
struct Desktop;
struct LeftOutPicture;

// The text editor: one plain-text or rich-text document in a rich-text box,
// with its state in three hidden labels and four status-bar panels. There is
// one instance among a main window's secondary windows, which own it;
// closing deletes it, and the next use makes a fresh one. The main window
// gets the focus when the editor closes.
class Form6 : public QWidget {
    Q_OBJECT
public:
    // The window, created hidden on first use.
    static Form6* instance(SecondaryWindows& windows);
    // The window if it is loaded, else null.
    static Form6* existing(const SecondaryWindows& windows);

    ~Form6() override;

    // Hidden state: the document's path, the changed flag ("1" or empty)
    // and the file type ("txt" or "rtf"; empty until a document is set).
    QString Label1;
    QString Label2;
    QString Label3;

    QMenuBar* menuBar;
    QTextEdit* RichTextBox1;
    PanelStatusBar* StatusBar1;
    QMenu* mnufile;
    QAction* mnunew;
    QAction* mnuopen;
    QAction* mnusave;
    QAction* saveas;
    QMenu* mnuedit;
    QAction* mnucopy;
    QAction* mnupaste;
    QAction* mnufind;
    QAction* mnupic;
    QMenu* mnuhelp;
    QAction* helpopen;
    QAction* helpsave;
    QAction* textedit;

    // The open and save dialog's settings, kept between uses as the dialog
    // keeps them.
    FileDialogRequest CommonDialog2;

    // Writes a panel's text with the two-space prefix every editor text has.
    void setPanel(int panel, const QString& text);
    // The state of a fresh document, the text left as it is.
    void setNewState();
    // Appends text at the end of the document through a cursor, so that many
    // appends cost in total what the text costs. The caret does not move.
    void appendText(const QString& text);
    // The same for a long text, a piece per turn of the event loop so that
    // no window waits for the whole insertion; undo takes it back as one.
    // done runs after the last piece, or as soon as the editor is gone; not
    // at all once context is gone.
    void appendLongText(const QString& text, QObject* context, std::function<void()> done);
    // Keeps the bottom-right corner 100 twips from the screen's right and
    // 700 from its bottom.
    void placeForOpening();
    // Keeps the window on top when the setting "OnTop" is "1".
    void applyOnTop();
    void showAndFocus();

    void openfile();
    void savefile();

    void Form_GotFocus();
    void Form_Resize();
    void Form_Unload(int& Cancel);
    void mnunew_Click();
    void mnuopen_Click();
    void mnusave_Click();
    void saveas_Click();
    void mnucopy_Click();
    void mnupaste_Click();
    void mnufind_Click();
    void mnupic_Click();
    void helpopen_Click();
    void helpsave_Click();
    void textedit_Click();
    void RichTextBox1_Change();
    void RichTextBox1_MouseDown(Qt::MouseButton button);

    // Where pop-up menus open; tests replace it to record instead of showing.
    std::function<void(QMenu*)> popUp;

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Runs the file dialog the editor keeps between uses, for opening or
    // saving; throws PxError when it is cancelled.
    FileDialogResult chooseFile(bool save, int helpTopic);
    explicit Form6(SecondaryWindows& windows);
    const Desktop& desktop() const;
    Reporting reporting() const;
    void buildMenus();
    // The box and the bars by the window's outer size.
    void placeControls();
    // Places the window and its controls anew once its frame is known.
    void settleFrame();
    void askToSave();
    // Replaces the box's document with a loaded one.
    void installDocument(QTextDocument* document);
    QTextDocument* emptyDocument();
    // Reading a file, and drawing the pictures of rich text, can take
    // seconds: it runs off the window's thread, which takes no input
    // meanwhile, and finishOpening takes the document (null when the file
    // could not be read as chosen) over.
    void startOpening(const QString& path, bool rich);
    void finishOpening(const QString& path, bool rich, QTextDocument* document, const QList<LeftOutPicture>& leftOut,
                       const std::optional<Failure>& refusal);
    // Writes the box to path as plain text or as rich text; a failure to
    // write is reported and leaves the old file as it was. True when saved.
    bool saveDocument(const QString& path, bool rich);
    void setSavedState(const QString& path, bool rich);

    QSize pinnedSize;
    bool placeWhenFramed = false;
    std::thread opener;
    // Set when the editor closes while a file is read.
    std::atomic<bool> openerCancelled = false;
    SecondaryWindows& windows;
};
