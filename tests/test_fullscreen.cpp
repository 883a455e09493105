// The full-screen view: opening at natural size in the middle of the screen,
// the keypad zoom, re-centring and closing by a click.
#include "browser/form2.h"
#include "platform/dir_list.h"
#include "platform/file_list.h"
#include "platform/image_view.h"
#include "startup/form1.h"
#include "support/test_environment.h"

#include <QImage>
#include <QRadioButton>
#include <QTest>

namespace {
// Shows a real picture of the given size in the main window.
void showPicture(const TestEnvironment& env, Form1& form, QSize size, const QString& name = "shot.png")
{
    const QString dir = env.makeFolder("pictures");
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::yellow);
    QVERIFY(image.save(dir + "/" + name));
    form.File1->setPattern(name);
    form.Dir1->setPath(dir);
    form.File1->setListIndex(0);
    QCOMPARE(form.Image1->picture().size(), size);
}

Form2* openView(Form1& form)
{
    QTest::mouseClick(form.Image1, Qt::LeftButton);
    return form.findChild<Form2*>();
}

// The picture's corner in pixels when centred on the 1280 x 1024 screen.
QPoint centredPixels(double widthTwips, double heightTwips)
{
    return {int(std::lround((19200 - widthTwips) / 2 / 15)), int(std::lround((15360 - heightTwips) / 2 / 15))};
}
}

class FullScreenTest : public QObject {
    Q_OBJECT
private slots:
    void centring_data();
    void centring();
    void opensAtNaturalSizeCentred();
    void keypadZoomCompoundsAndRecentres();
    void largerThanScreenStaysCentred();
    void clickClosesAndNextOpeningStartsOver();
};

void FullScreenTest::centring_data()
{
    QTest::addColumn<QSizeF>("picture");
    QTest::addColumn<QPointF>("corner");
    QTest::newRow("smaller") << QSizeF(3000, 1500) << QPointF(8100, 6930);
    QTest::newRow("same") << QSizeF(19200, 15360) << QPointF(0, 0);
    QTest::newRow("larger") << QSizeF(24000, 18000) << QPointF(-2400, -1320);
    QTest::newRow("odd size") << QSizeF(15, 45) << QPointF(9592.5, 7657.5);
    QTest::newRow("nothing") << QSizeF(0, 0) << QPointF(9600, 7680);
}

void FullScreenTest::centring()
{
    QFETCH(QSizeF, picture);
    QFETCH(QPointF, corner);
    QCOMPARE(centredTopLeft(QSizeF(19200, 15360), picture), corner);
}

void FullScreenTest::opensAtNaturalSizeCentred()
{
    TestEnvironment env;
    Form1 form;
    form.show();
    showPicture(env, form, {200, 100});
    // Whatever the main window's zoom, the view starts at natural size.
    form.Option4->setChecked(true);
    QCOMPARE(form.Image1->width(), 400);

    Form2* view = openView(form);
    QVERIFY(view);
    QVERIFY(view->isVisible());
    QVERIFY(view->isWindow());
    QVERIFY(view->windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(view->windowState().testFlag(Qt::WindowFullScreen));
    QCOMPARE(view->palette().color(QPalette::Window), form.palette().color(QPalette::ButtonText));
    QCOMPARE(view->Image1->picture().size(), QSize(200, 100));
    QVERIFY(!view->Image1->stretch());
    QCOMPARE(view->Image1->widthTwips(), 3000.0);
    QCOMPARE(view->Image1->pos(), centredPixels(3000, 1500));
    QCOMPARE(view->Image1->toolTip(), QString("Click to return"));

    QTest::keyClick(view, Qt::Key_F1);
    QCOMPARE(env.help.topics.size(), 1);
    QCOMPARE(env.help.topics.first(), qMakePair(env.programFolder() + "/pxhelp.hlp", 21));
    QVERIFY(view->isVisible());
}

void FullScreenTest::keypadZoomCompoundsAndRecentres()
{
    TestEnvironment env;
    Form1 form;
    showPicture(env, form, {200, 100});
    Form2* view = openView(form);
    QVERIFY(view);

    for (int i = 0; i < 3; ++i)
        QTest::keyClick(view, Qt::Key_Plus, Qt::KeypadModifier);
    const double grown = 1.05 * 1.05 * 1.05;
    QCOMPARE(view->Image1->widthTwips(), 3000 * grown);
    QCOMPARE(view->Image1->heightTwips(), 1500 * grown);
    QVERIFY(view->Image1->stretch());
    QVERIFY(view->Image1->isVisible());
    QCOMPARE(view->Image1->pos(), centredPixels(3000 * grown, 1500 * grown));

    QTest::keyClick(view, Qt::Key_Minus, Qt::KeypadModifier);
    QCOMPARE(view->Image1->widthTwips(), 3000 * grown * 0.95);

    // The main keyboard's plus and minus and every other key only re-centre.
    const double width = view->Image1->widthTwips();
    view->Image1->move(0, 0);
    for (int key : {int(Qt::Key_Plus), int(Qt::Key_Minus), int(Qt::Key_Escape), int(Qt::Key_A)}) {
        QTest::keyClick(view, Qt::Key(key));
        QCOMPARE(view->Image1->widthTwips(), width);
        QCOMPARE(view->Image1->pos(), centredPixels(width, 1500 * grown * 0.95));
        QVERIFY(view->isVisible());
    }
}

void FullScreenTest::largerThanScreenStaysCentred()
{
    TestEnvironment env;
    Form1 form;
    showPicture(env, form, {1600, 1200});
    Form2* view = openView(form);
    QVERIFY(view);
    QCOMPARE(view->Image1->pos(), QPoint(-160, -88));
    QCOMPARE(view->Image1->size(), QSize(1600, 1200));

    QTest::keyClick(view, Qt::Key_Plus, Qt::KeypadModifier);
    QCOMPARE(view->Image1->size(), QSize(1680, 1260));
    QCOMPARE(view->Image1->pos(), QPoint(-200, -118));
    QTest::keyClick(view, Qt::Key_Minus, Qt::KeypadModifier);
    // 1.05 x 0.95 is not 1: the picture ends a little smaller than it began.
    QCOMPARE(view->Image1->widthTwips(), 24000 * 0.9975);
    QCOMPARE(view->Image1->size(), QSize(1596, 1197));
    QCOMPARE(view->Image1->pos(), QPoint(-158, -87));
}

void FullScreenTest::clickClosesAndNextOpeningStartsOver()
{
    TestEnvironment env;
    Form1 form;
    showPicture(env, form, {200, 100});
    Form2* view = openView(form);
    QVERIFY(view);
    QTest::mouseClick(view->Image1, Qt::LeftButton);
    QVERIFY(!view->isVisible());

    // Opened again after a zoom: natural size again, the same window.
    openView(form);
    QTest::keyClick(view, Qt::Key_Plus, Qt::KeypadModifier);
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(2, 2));
    QVERIFY(!view->isVisible());
    QCOMPARE(openView(form), view);
    QVERIFY(!view->Image1->stretch());
    QCOMPARE(view->Image1->widthTwips(), 3000.0);
    QCOMPARE(form.findChildren<Form2*>().size(), 1);

    // No picture at all: the keys only re-centre an empty view.
    Form1 empty;
    Form2* blank = openView(empty);
    QVERIFY(blank);
    QTest::keyClick(blank, Qt::Key_Plus, Qt::KeypadModifier);
    QCOMPARE(blank->Image1->widthTwips(), 0.0);
    QCOMPARE(blank->Image1->pos(), QPoint(640, 512));
}

QTEST_MAIN(FullScreenTest)
#include "test_fullscreen.moc"
