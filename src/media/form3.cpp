#include "media/form3.h"

#include "controls/image_view.h"
#include "core/failure.h"
#include "core/program_info.h"
#include "desktop/clipboard.h"
#include "desktop/desktop.h"
#include "desktop/screen.h"
#include "desktop/window_frame.h"
#include "media/separate_geometry.h"
#include "startup/form1.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

namespace {
constexpr double kEmptyViewWidth = 4800;
constexpr double kEmptyViewHeight = 3600;
// A window manager's title is set in a larger font than the window's, beside
// an icon and three buttons.
constexpr double kTitleFontGrowth = 1.25;
constexpr int kTitleButtonsWidth = 150;
}

Form3::Form3(Form1* main)
    : SeparateWindow(main, QStringLiteral("Separate Picture"),
                     {{QStringLiteral("file"), QStringLiteral("File"), 0, {}},
                      {QStringLiteral("size"), QStringLiteral("Original picture size"), 110, {}}})
{
    Image1 = new ImageView(main->jobPool(), *desktop().screen, this);
    Image1->setToolTip(QStringLiteral("Right click to view menu"));
    Image1->installEventFilter(this);
    connect(Image1, &ImageView::zoomStep, this, [this](bool enlarge) {
        Form_KeyDown(enlarge ? Qt::Key_Plus : Qt::Key_Minus, Qt::KeypadModifier);
    });

    mnuedit = new QMenu(QStringLiteral("&Edit"), this);
    mnucopy = mnuedit->addAction(QStringLiteral("&Copy"));
    connect(mnucopy, &QAction::triggered, this, &Form3::mnucopy_Click);
    popUp = [](QMenu* menu) { menu->popup(QCursor::pos()); };
    Form_Load();
}

void Form3::Form_Load() { HelpContextID = 22; }

void Form3::Form_KeyDown(int key, Qt::KeyboardModifiers shift)
{
    // Only the keypad's plus and minus zoom; every key re-fits the window.
    const double factor = keypadZoomFactor(key, shift);
    if (factor != 0) {
        Image1->hide();
        Image1->setWidthTwips(float(Image1->widthTwips() * factor));
        Image1->setHeightTwips(float(Image1->heightTwips() * factor));
    }
    const Screen& screen = *desktop().screen;
    setOuterWidthTwips(this, Image1->widthTwips() + SeparateAllowance::width, screen);
    setOuterHeightTwips(this, statusBarHeightTwips() + Image1->heightTwips() + SeparateAllowance::zoomHeight, screen);
    Image1->setStretch(true);
    Image1->show();
}

void Form3::Image1_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, QPointF)
{
    if (button == Qt::RightButton)
        popUp(mnuedit);
}

void Form3::mnucopy_Click()
{
    Image1->whenWhole([this] {
        ignoreFailure([this] {
            Clipboard::clear();
            // An empty window leaves the clipboard empty.
            if (Image1->hasPicture())
                Clipboard::setImage(Image1->picture());
        });
    });
}

void Form3::sizeEmptyView(const QString& caption, const QStringList& panelTexts)
{
    const int title = qRound(fontMetrics().horizontalAdvance(caption) * kTitleFontGrowth) + kTitleButtonsWidth;
    const int wanted = qMax(title, StatusBar1->widthShowing(panelTexts));
    Image1->setWidthTwips(qMax(kEmptyViewWidth, desktop().screen->pixelsToTwipsX(wanted)));
    Image1->setHeightTwips(kEmptyViewHeight);
}

void Form3::placeContents(int) { Image1->move(0, 0); }

bool Form3::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Image1 && event->type() == QEvent::MouseButtonPress) {
        const auto* press = static_cast<QMouseEvent*>(event);
        Image1_MouseDown(press->button(), press->modifiers(), press->position());
    }
    return SeparateWindow::eventFilter(watched, event);
}

void Form3::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1)
        ignoreFailure([this] { desktop().help->showTopic(ProgramInfo::helpFile(), HelpContextID); });
    Form_KeyDown(event->key(), event->modifiers());
}
