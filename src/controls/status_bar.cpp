#include "controls/status_bar.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

PanelStatusBar::PanelStatusBar(const QVector<PanelSpec>& panels, QWidget* parent)
    : QWidget(parent)
{
    for (const PanelSpec& setup : panels) {
        auto* label = new QLabel(this);
        label->setToolTip(setup.tooltip);
        label->setFrameShape(QFrame::Panel);
        label->setTextFormat(Qt::PlainText);
        label->installEventFilter(this);
        labels.append(label);
        texts.append(setup.text);
        widths.append(setup.widthPx);
        keys.append(setup.key);
        bevels.append(Bevel::Inset);
        setBevel(int(labels.size()), Bevel::Inset);
        showText(int(labels.size()) - 1);
    }
    // Whatever lies beneath (a large picture) never shows through.
    setAutoFillBackground(true);
}

QString PanelStatusBar::text(int panel) const { return texts.at(panel - 1); }

void PanelStatusBar::setText(int panel, const QString& t)
{
    texts[panel - 1] = t;
    showText(panel - 1);
}

void PanelStatusBar::showText(int index)
{
    // A text too long for its panel loses its middle, so a path keeps both
    // its start and its file name.
    QLabel* label = labels.at(index);
    const int room = label->contentsRect().width() - label->fontMetrics().horizontalAdvance(QLatin1Char('x'));
    label->setText(label->fontMetrics().elidedText(texts.at(index), Qt::ElideMiddle, qMax(0, room)));
}
QString PanelStatusBar::tooltip(int panel) const { return labels.at(panel - 1)->toolTip(); }
void PanelStatusBar::setTooltip(int panel, const QString& t) { labels.at(panel - 1)->setToolTip(t); }
QString PanelStatusBar::key(int panel) const { return keys.at(panel - 1); }
PanelStatusBar::Bevel PanelStatusBar::bevel(int panel) const { return bevels.at(panel - 1); }

void PanelStatusBar::setBevel(int panel, Bevel b)
{
    bevels[panel - 1] = b;
    // Two-pixel bevels and a shaded face for a pressed panel: with one-pixel
    // bevels alone it hardly stands apart from a raised one.
    QLabel* label = labels.at(panel - 1);
    label->setFrameShadow(b == Bevel::Inset ? QFrame::Sunken : QFrame::Raised);
    label->setLineWidth(2);
    QPalette face = palette();
    if (b == Bevel::Inset)
        face.setColor(QPalette::Window, face.color(QPalette::Window).darker(110));
    label->setPalette(face);
    label->setAutoFillBackground(b == Bevel::Inset);
}

void PanelStatusBar::changeEvent(QEvent* event)
{
    // A shaded face is taken from the palette: a theme's palette that comes
    // later (a dark one) would leave it light under light text.
    if (event->type() == QEvent::PaletteChange)
        for (int panel = 1; panel <= int(labels.size()); ++panel)
            setBevel(panel, bevels.at(panel - 1));
    QWidget::changeEvent(event);
}

void PanelStatusBar::click(int panel) { emit panelClicked(panel); }

bool PanelStatusBar::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        const int index = int(labels.indexOf(static_cast<QLabel*>(watched)));
        if (index >= 0)
            emit panelClicked(index + 1);
    }
    return QWidget::eventFilter(watched, event);
}

namespace {
constexpr int kPanelGap = 2;
}

int PanelStatusBar::widthShowing(const QStringList& panelTexts) const
{
    int total = kPanelGap * int(labels.size() - 1);
    for (int i = 0; i < labels.size(); ++i) {
        const QLabel* label = labels.at(i);
        const int frame = label->width() - label->contentsRect().width();
        // showText keeps the room of one "x" free.
        const int text = frame + label->fontMetrics().horizontalAdvance(panelTexts.value(i) + QLatin1Char('x'));
        total += widths.at(i) > 0 ? widths.at(i) : text;
    }
    return total;
}

void PanelStatusBar::resizeEvent(QResizeEvent*)
{
    // Fixed panels keep their widths; the others share what is left.
    const int gap = kPanelGap;
    int fixed = 0;
    int shares = 0;
    for (int w : widths) {
        fixed += w;
        shares += w > 0 ? 0 : 1;
    }
    const int rest = qMax(0, width() - fixed - gap * int(widths.size() - 1));
    int x = 0;
    for (int i = 0; i < labels.size(); ++i) {
        const int w = widths.at(i) > 0 ? widths.at(i) : rest / qMax(1, shares);
        labels.at(i)->setGeometry(x, 0, w, height());
        showText(i);
        x += w + gap;
    }
}

QSize PanelStatusBar::sizeHint() const
{
    int width = 0;
    int height = fontMetrics().height();
    for (QLabel* label : labels) {
        width += label->sizeHint().width();
        height = qMax(height, label->sizeHint().height());
    }
    return {width, height + 2};
}
