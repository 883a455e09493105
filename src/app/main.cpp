#include "app/main_window.h"
#include "desktop/qt/qt_desktop.h"
#include "picture/picture_loader.h"

#include <QApplication>
#include <QFont>
#include <clocale>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    allowLargePictures();
    // The movie player refuses any other numeric locale.
    std::setlocale(LC_NUMERIC, "C");
    // The window layouts place their controls for a narrow 8-point sans font.
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 8));
    QtDesktop desktop;
    MainWindow form;
    if (!form.Form_Load())
        return 0;
    form.showMaximized();
    return app.exec();
}
