#include "editor/form6.h"

#include "controls/status_bar.h"
#include "core/failure.h"
#include "core/program_info.h"
#include "desktop/desktop.h"
#include "desktop/keep_on_top.h"
#include "desktop/screen.h"
#include "editor/document_append.h"
#include "editor/editor_font.h"
#include "settings/keys.h"
#include "settings/settings_store.h"
#include "startup/form1.h"
#include "startup/secondary_windows.h"

#include <QCloseEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTextEdit>
#include <QTimer>
#include <memory>
#include <optional>

namespace {

// The window's outer size, frame and title included.
QSizeF outerTwips(const QWidget* window, const Screen& screen)
{
    const QSize outer = window->frameGeometry().size();
    return {screen.pixelsToTwipsX(outer.width()), screen.pixelsToTwipsY(outer.height())};
}

// The window manager gives a window its frame only once it is shown.
bool frameKnown(const QWidget* window) { return window->frameGeometry().size() != window->size(); }

// Long texts are appended in pieces of about this many characters, each
// ending at a line end.
constexpr qsizetype kPieceChars = 64 * 1024;

qsizetype pieceEnd(const QString& text, qsizetype from)
{
    if (text.size() - from <= kPieceChars)
        return text.size();
    const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'), from + kPieceChars);
    return lineEnd < 0 ? text.size() : lineEnd + 1;
}

// A long append, a piece per turn of the event loop. It belongs to the
// context it reports to and ends with it.
class PiecewiseAppend : public QObject {
public:
    PiecewiseAppend(QTextEdit* box, const QString& text, QObject* context, std::function<void()> done)
        : QObject(context), text(text), done(std::move(done)), append(std::in_place, box)
    {
    }

    void step()
    {
        if (!append->boxGone() && at < text.size()) {
            const qsizetype end = pieceEnd(text, at);
            append->insert(QStringView(text).mid(at, end - at));
            at = end;
            if (at < text.size()) {
                QTimer::singleShot(0, this, [this] { step(); });
                return;
            }
        }
        // The box is whole again, caret and layout, before done looks at it.
        append.reset();
        deleteLater();
        const std::function<void()> finished = std::move(done);
        finished();
    }

private:
    const QString text;
    qsizetype at = 0;
    std::function<void()> done;
    std::optional<DocumentAppend> append;
};

// The design client area, below the menu bar.
constexpr double kClientWidth = 7692;
constexpr double kClientHeight = 5640;
}

Form6* Form6::instance(SecondaryWindows& windows)
{
    if (!windows.editor.get())
        windows.editor.load(std::unique_ptr<Form6>(new Form6(windows)));
    return existing(windows);
}

Form6* Form6::existing(const SecondaryWindows& windows) { return static_cast<Form6*>(windows.editor.get()); }

const Desktop& Form6::desktop() const { return windows.desktop(); }

Reporting Form6::reporting() const { return windows.reporting(); }

Form6::Form6(SecondaryWindows& windows) : windows(windows)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Text Editor"));
    useDesignFont(this);
    popUp = [](QMenu* menu) { menu->popup(QCursor::pos()); };

    menuBar = new QMenuBar(this);
    buildMenus();

    RichTextBox1 = new QTextEdit(this);
    RichTextBox1->setFont(editorControlFont());
    RichTextBox1->setContextMenuPolicy(Qt::NoContextMenu);
    installDocument(emptyDocument());
    RichTextBox1->installEventFilter(this);
    RichTextBox1->viewport()->installEventFilter(this);
    connect(RichTextBox1, &QTextEdit::textChanged, this, &Form6::RichTextBox1_Change);

    using Panel = PanelStatusBar::PanelSpec;
    StatusBar1 = new PanelStatusBar(
        {
            Panel{QStringLiteral("file"), QStringLiteral("Filename"), 0, QString()},
            Panel{QStringLiteral("edtsts"), QStringLiteral("Editor status"), 110, QString()},
            Panel{QStringLiteral("filests"), QStringLiteral("File status"), 90, QString()},
            Panel{QStringLiteral("ftype"), QStringLiteral("File type"), 48, QString()},
        },
        this);

    const Screen& screen = *desktop().screen;
    resize(screen.twipsToPixelsX(kClientWidth), menuBar->sizeHint().height() + screen.twipsToPixelsY(kClientHeight));
    Form_Resize();
}

Form6::~Form6()
{
    openerCancelled = true;
    if (opener.joinable())
        opener.join();
}

void Form6::buildMenus()
{
    const auto item = [this](QMenu* menu, const QString& caption, const QKeySequence& keys,
                             void (Form6::*handler)()) {
        QAction* action = menu->addAction(caption);
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    mnufile = menuBar->addMenu(QStringLiteral("&File"));
    mnunew = item(mnufile, QStringLiteral("&New"), Qt::CTRL | Qt::Key_N, &Form6::mnunew_Click);
    mnuopen = item(mnufile, QStringLiteral("&Open"), Qt::CTRL | Qt::Key_O, &Form6::mnuopen_Click);
    mnusave = item(mnufile, QStringLiteral("&Save"), Qt::CTRL | Qt::Key_S, &Form6::mnusave_Click);
    saveas = item(mnufile, QStringLiteral("Save &As..."), {}, &Form6::saveas_Click);

    mnuedit = menuBar->addMenu(QStringLiteral("&Edit"));
    mnucopy = item(mnuedit, QStringLiteral("&Copy"), Qt::CTRL | Qt::Key_C, &Form6::mnucopy_Click);
    mnupaste = item(mnuedit, QStringLiteral("&Paste"), Qt::CTRL | Qt::Key_V, &Form6::mnupaste_Click);
    mnuedit->addSeparator();
    mnufind = item(mnuedit, QStringLiteral("&Find"), Qt::CTRL | Qt::Key_F, &Form6::mnufind_Click);
    mnuedit->addSeparator();
    mnupic = item(mnuedit, QStringLiteral("&Insert Picture"), Qt::CTRL | Qt::Key_I, &Form6::mnupic_Click);

    mnuhelp = menuBar->addMenu(QStringLiteral("&Help"));
    helpopen = item(mnuhelp, QStringLiteral("Opening a file"), {}, &Form6::helpopen_Click);
    helpsave = item(mnuhelp, QStringLiteral("Saving a file"), {}, &Form6::helpsave_Click);
    textedit = item(mnuhelp, QStringLiteral("Using the text editor"), {}, &Form6::textedit_Click);
}

void Form6::setPanel(int panel, const QString& text) { StatusBar1->setText(panel, QStringLiteral("  ") + text); }

void Form6::setNewState()
{
    Label1.clear();
    Label2.clear();
    Label3 = QStringLiteral("txt");
    setPanel(1, QStringLiteral("New"));
    setPanel(2, QStringLiteral("Ready"));
    setPanel(3, QStringLiteral("Untitled"));
    setPanel(4, QStringLiteral("TXT"));
}

void Form6::appendText(const QString& text) { DocumentAppend(RichTextBox1).insert(text); }

void Form6::appendLongText(const QString& text, QObject* context, std::function<void()> done)
{
    (new PiecewiseAppend(RichTextBox1, text, context, std::move(done)))->step();
}

void Form6::placeForOpening()
{
    const Screen& screen = *desktop().screen;
    const QPointF at = cornerPlacement(outerTwips(this, screen), screen.sizeTwips(), 100, 700);
    move(screen.twipsToPixelsX(at.x()), screen.twipsToPixelsY(at.y()));
    // Placed again with the real frame when the window manager adds it.
    placeWhenFramed = !frameKnown(this);
}

void Form6::settleFrame()
{
    if (placeWhenFramed && frameKnown(this)) {
        placeForOpening();
        placeControls();
    }
}

void Form6::applyOnTop()
{
    if (settingIsOne(Keys::OnTop))
        setKeepOnTop(this, true);
}

void Form6::showAndFocus()
{
    show();
    raise();
    activateWindow();
    RichTextBox1->setFocus();
}

void Form6::Form_GotFocus() { ignoreFailure([this] { applyOnTop(); }); }

void Form6::Form_Resize()
{
    pinnedSize = size();
    const Screen& screen = *desktop().screen;
    const QPointF at = pincorner(outerTwips(this, screen), screen.sizeTwips());
    move(screen.twipsToPixelsX(at.x()), screen.twipsToPixelsY(at.y()));
    placeControls();
}

void Form6::placeControls()
{
    // The window's outer size includes its frame and title; the box never
    // reaches under the status bar or past the window's edge.
    const Screen& screen = *desktop().screen;
    const QSizeF window = outerTwips(this, screen);
    const int statusHeight = StatusBar1->sizeHint().height();
    const int top = menuBar->sizeHint().height();
    const int boxWidth = screen.twipsToPixelsX(window.width() - 80);
    const int boxHeight = screen.twipsToPixelsY(window.height() - 550 - screen.pixelsToTwipsY(statusHeight));
    menuBar->setGeometry(0, 0, width(), top);
    RichTextBox1->setGeometry(0, top, qBound(0, boxWidth, width()), qBound(0, boxHeight, height() - top - statusHeight));
    StatusBar1->setGeometry(0, height() - statusHeight, width(), statusHeight);
    RichTextBox1->setLineWrapMode(QTextEdit::WidgetWidth);
}

void Form6::Form_Unload(int& /*Cancel*/)
{
    ignoreFailure([this] { askToSave(); });
    hide();
    if (Form1* main = windows.mainWindow()) {
        main->activateWindow();
        main->setFocus();
    }
}

void Form6::RichTextBox1_Change()
{
    if (!isVisible())
        return;
    Label2 = QStringLiteral("1");
    setPanel(3, QStringLiteral("Changed"));
}

void Form6::RichTextBox1_MouseDown(Qt::MouseButton button)
{
    if (button == Qt::RightButton)
        popUp(mnuedit);
}

void Form6::helpopen_Click() { desktop().help->showTopic(ProgramInfo::helpFile(), 34); }
void Form6::helpsave_Click() { desktop().help->showTopic(ProgramInfo::helpFile(), 35); }
void Form6::textedit_Click() { desktop().help->showTopic(ProgramInfo::helpFile(), 36); }

void Form6::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_GotFocus();
}

void Form6::closeEvent(QCloseEvent* event)
{
    int cancel = 0;
    Form_Unload(cancel);
    event->accept();
    windows.editor.closing(this);
}

void Form6::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    settleFrame();
}

void Form6::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    settleFrame();
}

void Form6::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // Showing delivers the size set while hidden once more; only a new size
    // moves the window.
    if (size() != pinnedSize)
        Form_Resize();
}

bool Form6::eventFilter(QObject* watched, QEvent* event)
{
    // Copy and Paste keys run the menu commands, not the box's own ones.
    if (watched == RichTextBox1 && event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Paste)) {
            event->ignore();
            return true;
        }
    }
    if (watched == RichTextBox1->viewport() && event->type() == QEvent::MouseButtonPress)
        RichTextBox1_MouseDown(static_cast<QMouseEvent*>(event)->button());
    return QWidget::eventFilter(watched, event);
}
