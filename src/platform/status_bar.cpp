#include "platform/status_bar.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>

PanelStatusBar::PanelStatusBar(const QVector<PanelSpec>& panels, QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    for (const PanelSpec& spec : panels) {
        auto* label = new QLabel(spec.text, this);
        label->setToolTip(spec.tooltip);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);
        label->setMinimumWidth(1);
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        label->installEventFilter(this);
        if (spec.widthPx > 0) {
            label->setFixedWidth(spec.widthPx);
            layout->addWidget(label);
        } else {
            layout->addWidget(label, 1);
        }
        labels.append(label);
        keys.append(spec.key);
        bevels.append(Bevel::Inset);
    }
}

QString PanelStatusBar::text(int panel) const { return labels.at(panel - 1)->text(); }
void PanelStatusBar::setText(int panel, const QString& t) { labels.at(panel - 1)->setText(t); }
QString PanelStatusBar::tooltip(int panel) const { return labels.at(panel - 1)->toolTip(); }
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
