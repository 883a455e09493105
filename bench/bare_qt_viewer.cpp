// The least a Qt viewer does to show a picture: a maximised window that
// paints it, decoded at the screen's size when larger. Started beside the
// other viewers by bench_side_by_side, it shows how much of their start-up
// any Qt program pays (loading Qt, connecting, the window manager's answer).
#include <QApplication>
#include <QImageReader>
#include <QPainter>
#include <QScreen>
#include <QWidget>

namespace {
class PictureView : public QWidget {
public:
    explicit PictureView(QImage picture) : picture_(std::move(picture)) {}

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, picture_); }

private:
    QImage picture_;
};
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    QImageReader reader(QString::fromLocal8Bit(argv[1]));
    reader.setAutoTransform(true);
    const QSize screen = QGuiApplication::primaryScreen()->availableSize();
    if (const QSize size = reader.size(); size.width() > screen.width() || size.height() > screen.height())
        reader.setScaledSize(size.scaled(screen, Qt::KeepAspectRatio));
    PictureView view(reader.read());
    view.showMaximized();
    return app.exec();
}
