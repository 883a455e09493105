#pragma once
#include <QDialog>

class QLabel;
class Screen;
class QTimer;

// The splash window: shown modally at start-up, closes itself after two
// seconds.
class Form15 : public QDialog {
    Q_OBJECT
public:
    // In the middle of the screen.
    explicit Form15(const Screen& screen, QWidget* parent = nullptr);
    void Form_Load();
    void Timer1_Timer();

    QLabel* Image3;
    QLabel* Label2;
    QLabel* Label3;
    QTimer* Timer1;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
