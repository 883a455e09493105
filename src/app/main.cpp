#include "platform/qt_platform.h"
#include "startup/form1.h"

#include <QApplication>
#include <QFont>
#include <clocale>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The movie player refuses any other numeric locale.
    std::setlocale(LC_NUMERIC, "C");
    // The window layouts place their controls for a narrow 8-point sans font.
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 8));
    QtPlatform desktop;
    Form1 form;
    if (!form.Form_Load())
        return 0;
    form.showMaximized();
    return app.exec();
}
