// The full-screen view: opening at natural size in the middle of the screen,
// the keypad zoom, re-centring and closing by a click.
#include "browser/form2.h"
#include "support/window_helpers.h"


namespace {
// The picture's corner in pixels when centred on the 1280 x 1024 screen.
QPoint centredPixels(double widthTwips, double heightTwips)
{
    return {int(std::lround((19200 - widthTwips) / 2 / 15)), int(std::lround((15360 - heightTwips) / 2 / 15))};
}
}

class FullScreenTest : public QObject {
    Q_OBJECT
private slots:
    void keypadZoomCompoundsAndRecentres_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("corner");
        QTest::newRow("smaller than the screen") << QSize(200, 100) << QPoint(540, 462);
        QTest::newRow("larger than the screen") << QSize(1600, 1200) << QPoint(-160, -88);
    }

    void keypadZoomCompoundsAndRecentres()
    {
        QFETCH(QSize, size);
        QFETCH(QPoint, corner);
        TestEnvironment env;
        const QString dir = env.makeFolder("pictures");
        savePicture(dir + "/shot.png", size, Qt::yellow);
        Viewer v(env.desktop(), dir);
        MainWindow& form = v.form;
        const Form1Controls& ui = v.ui;
        form.show();
        ui.File1->setListIndex(0);
        QVERIFY(fileArrived(form));
        ui.Option4->setChecked(true); // the main window's zoom does not carry over

        QTest::mouseClick(ui.Image1, Qt::LeftButton);
        Form2* view = form.findChild<Form2*>();
        QVERIFY(view && view->isVisible());
        QVERIFY(view->windowState().testFlag(Qt::WindowFullScreen));
        QCOMPARE(view->Image1->size(), size);
        QCOMPARE(view->Image1->pos(), corner);

        const double w = size.width() * 15.0, h = size.height() * 15.0;
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(view, Qt::Key_Plus, Qt::KeypadModifier);
        QTest::keyClick(view, Qt::Key_Minus, Qt::KeypadModifier);
        const double factor = 1.05 * 1.05 * 1.05 * 0.95;
        QCOMPARE(view->Image1->widthTwips(), w * factor);
        QCOMPARE(view->Image1->pos(), centredPixels(w * factor, h * factor));

        // The main keyboard's plus and minus and every other key only re-centre.
        view->Image1->move(0, 0);
        for (int key : {int(Qt::Key_Plus), int(Qt::Key_Minus), int(Qt::Key_Escape), int(Qt::Key_A)}) {
            QTest::keyClick(view, Qt::Key(key));
            QCOMPARE(view->Image1->widthTwips(), w * factor);
            QCOMPARE(view->Image1->pos(), centredPixels(w * factor, h * factor));
            QVERIFY(view->isVisible());
        }

        // A click closes; the next opening is the same window at natural size.
        QTest::mouseClick(view->Image1, Qt::LeftButton);
        QVERIFY(!view->isVisible());
        QTest::mouseClick(ui.Image1, Qt::LeftButton);
        QVERIFY(view->isVisible());
        QCOMPARE(view->Image1->widthTwips(), w);
        QCOMPARE(view->Image1->pos(), corner);
    }
};

QTEST_MAIN(FullScreenTest)
#include "test_fullscreen.moc"
