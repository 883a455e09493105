#pragma once
#include <QString>
#include <QStringList>
#include <QVector>
#include <QWidget>

class QLabel;

// A status bar of keyed panels, each with a text, a tooltip and a bevel
// (inset looks pressed, raised looks like a button). A click on a panel is
// reported with its 1-based index.
class PanelStatusBar : public QWidget {
    Q_OBJECT
public:
    enum class Bevel { Inset, Raised };
    struct PanelSpec {
        QString key;
        QString tooltip;
        int widthPx = 0; // 0: takes a share of the remaining width
        QString text;
    };

    PanelStatusBar(const QVector<PanelSpec>& panels, QWidget* parent = nullptr);

    int count() const { return int(labels.size()); }
    QString text(int panel) const;
    void setText(int panel, const QString& text);
    QString tooltip(int panel) const;
    void setTooltip(int panel, const QString& tooltip);
    QString key(int panel) const;
    Bevel bevel(int panel) const;
    void setBevel(int panel, Bevel bevel);
    // Simulates a click on a panel, as the window system would report it.
    void click(int panel);
    QSize sizeHint() const override;
    // The width at which every panel shows the given text whole.
    int widthShowing(const QStringList& panelTexts) const;

signals:
    void panelClicked(int panel);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void showText(int index);
    QVector<QLabel*> labels;
    QVector<QString> texts;
    QVector<QString> keys;
    QVector<int> widths;
    QVector<Bevel> bevels;
};
