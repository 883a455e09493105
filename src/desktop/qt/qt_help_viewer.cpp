#include "desktop/qt/qt_help_viewer.h"

#include <QApplication>
#include <QFileInfo>
#include <QScreen>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

namespace {
// Hands the keyboard back to the dialog that asked for help once the reader
// is done with it.
class HelpWindow : public QWidget {
public:
    HelpWindow() : QWidget(nullptr, Qt::Window) {}
    QPointer<QWidget> owner;

protected:
    void hideEvent(QHideEvent* event) override
    {
        QWidget::hideEvent(event);
        if (owner && owner->isVisible())
            owner->activateWindow();
    }
};
}

QtHelpViewer::QtHelpViewer() = default;

QtHelpViewer::~QtHelpViewer() = default;

QString QtHelpViewer::topicAnchor(int topic) { return QStringLiteral("topic-%1").arg(topic); }
QString QtHelpViewer::contentsAnchor() { return QStringLiteral("contents"); }

QWidget* QtHelpViewer::window() const { return m_window.get(); }
QTextBrowser* QtHelpViewer::browser() const { return m_browser; }
QLabel* QtHelpViewer::notice() const { return m_notice; }

void QtHelpViewer::showTopic(const QString& helpFile, int topic)
{
    ensureWindow();
    present();
    if (!load(helpFile)) {
        showMissingFile(helpFile);
        return;
    }
    const QString anchor = topicAnchor(topic);
    if (hasAnchor(anchor)) {
        setNotice({});
        go(anchor);
    } else {
        setNotice(QStringLiteral("Help topic %1 is not in this help file. The contents are shown instead.")
                      .arg(topic));
        go(contentsAnchor());
    }
}

void QtHelpViewer::showContents(const QString& helpFile)
{
    ensureWindow();
    present();
    if (!load(helpFile)) {
        showMissingFile(helpFile);
        return;
    }
    setNotice({});
    go(contentsAnchor());
}

void QtHelpViewer::ensureWindow()
{
    if (m_window)
        return;
    // A top-level window of its own, so that it can stay open beside any
    // dialog that asked for it without blocking or being blocked by it.
    auto* w = new HelpWindow;
    w->setWindowTitle(QStringLiteral("Pixalto Help"));
    w->setWindowModality(Qt::NonModal);
    w->resize(640, 560);

    auto* contents = new QPushButton(QStringLiteral("&Contents"), w);
    auto* back = new QPushButton(QStringLiteral("&Back"), w);
    auto* close = new QPushButton(QStringLiteral("Close"), w);
    close->setObjectName(QStringLiteral("close"));
    back->setEnabled(false);

    m_notice = new QLabel(w);
    m_notice->setWordWrap(true);
    m_notice->hide();

    m_browser = new QTextBrowser(w);
    m_browser->setOpenExternalLinks(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(contents);
    buttons->addWidget(back);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(w);
    layout->addLayout(buttons);
    layout->addWidget(m_notice);
    layout->addWidget(m_browser, 1);

    QObject::connect(contents, &QPushButton::clicked, w, [this] {
        if (!m_file.isEmpty()) {
            setNotice({});
            go(contentsAnchor());
        }
    });
    QObject::connect(back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    QObject::connect(m_browser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    QObject::connect(close, &QPushButton::clicked, w, &QWidget::close);
    m_window.reset(w);
}

void QtHelpViewer::present()
{
    // Help asked for from a modal dialog belongs to that dialog: a window
    // transient for it stays above it and is not blocked while it waits.
    // Help asked for from anywhere else is an ordinary window.
    auto* w = static_cast<HelpWindow*>(m_window.get());
    QWidget* modal = QApplication::activeModalWidget();
    const Qt::WindowType kind = modal ? Qt::Dialog : Qt::Window;
    if (modal != w->owner || w->windowType() != kind || !w->windowHandle()) {
        w->hide();
        w->owner = modal;
        w->setWindowFlags((w->windowFlags() & ~Qt::WindowType_Mask) | kind);
        w->winId();
        w->windowHandle()->setTransientParent(modal ? modal->windowHandle() : nullptr);
    }
    // Shown before the text is set: the browser only scrolls to an anchor
    // once it is visible.
    if (!w->isVisible())
        placeOnScreen();
    if (m_window->isMinimized())
        m_window->showNormal();
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void QtHelpViewer::placeOnScreen()
{
    // Over the window that asked, but whole on its screen, title bar
    // included.
    const QWidget* anchor = static_cast<HelpWindow*>(m_window.get())->owner;
    if (!anchor)
        anchor = QApplication::activeWindow();
    const QScreen* screen = anchor ? anchor->screen() : QGuiApplication::primaryScreen();
    const QRect free = screen->availableGeometry();
    const QSize frame(16, 40);
    const QSize size = m_window->size().boundedTo(free.size() - frame);
    QRect r(QPoint(), size + frame);
    r.moveCenter(anchor ? anchor->frameGeometry().center() : free.center());
    r.moveLeft(qBound(free.left(), r.left(), free.right() + 1 - r.width()));
    r.moveTop(qBound(free.top(), r.top(), free.bottom() + 1 - r.height()));
    m_window->resize(size);
    m_window->move(r.topLeft());
}

bool QtHelpViewer::load(const QString& helpFile)
{
    const QFileInfo info(helpFile);
    if (helpFile.isEmpty() || !info.isFile() || !info.isReadable())
        return false;
    const QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
    if (url != m_file) {
        m_browser->clearHistory();
        m_browser->setSource(url, QTextDocument::HtmlResource);
        m_file = url;
    }
    return true;
}

void QtHelpViewer::go(const QString& anchor)
{
    QUrl target = m_file;
    target.setFragment(anchor);
    m_browser->setSource(target, QTextDocument::HtmlResource);
    // The same address twice does not scroll again; the reader may have
    // moved away since.
    m_browser->scrollToAnchor(anchor);
}

void QtHelpViewer::showMissingFile(const QString& helpFile)
{
    m_file.clear();
    m_browser->clearHistory();
    setNotice({});
    const QString shown = helpFile.isEmpty() ? QStringLiteral("(no help file was named)")
                                             : helpFile.toHtmlEscaped();
    m_browser->setHtml(QStringLiteral(
        "<h2>Pixalto Help</h2>"
        "<p>The help file could not be found or read:</p><p><b>%1</b></p>"
        "<p>The help file pxhelp.hlp belongs in the same folder as the Pixalto program. "
        "Reinstalling Pixalto puts it back.</p>").arg(shown));
}

void QtHelpViewer::setNotice(const QString& text)
{
    m_notice->setText(text);
    m_notice->setVisible(!text.isEmpty());
}

bool QtHelpViewer::hasAnchor(const QString& name) const
{
    const QTextDocument* doc = m_browser->document();
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isAnchor() && format.anchorNames().contains(name))
                return true;
        }
    }
    return false;
}
