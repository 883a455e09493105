#include "controls/status_bar.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

PanelStatusBar::PanelStatusBar(const QVector<PanelSpec>& panels, QWidget* parent)
    : QWidget(parent)
{
    for (const PanelSpec& setup : panels) {
        auto* label = new QLabel(setup.text, this);
        label->setToolTip(setup.tooltip);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);
        label->installEventFilter(this);
        labels.append(label);
        widths.append(setup.widthPx);
        keys.append(setup.key);
        bevels.append(Bevel::Inset);
    }
    // Whatever lies beneath (a large picture) never shows through.
    setAutoFillBackground(true);
}

QString PanelStatusBar::text(int panel) const { return labels.at(panel - 1)->text(); }
void PanelStatusBar::setText(int panel, const QString& t) { labels.at(panel - 1)->setText(t); }
QString PanelStatusBar::tooltip(int panel) const { return labels.at(panel - 1)->toolTip(); }
void PanelStatusBar::setTooltip(int panel, const QString& t) { labels.at(panel - 1)->setToolTip(t); }
QString PanelStatusBar::key(int panel) const { return keys.at(panel - 1); }
PanelStatusBar::Bevel PanelStatusBar::bevel(int panel) const { return bevels.at(panel - 1); }

void PanelStatusBar::setBevel(int panel, Bevel b)
{
    bevels[panel - 1] = b;
    labels.at(panel - 1)->setFrameShadow(b == Bevel::Inset ? QFrame::Sunken : QFrame::Raised);
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

void PanelStatusBar::resizeEvent(QResizeEvent*)
{
    // Fixed panels keep their widths; the others share what is left.
    const int gap = 2;
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
