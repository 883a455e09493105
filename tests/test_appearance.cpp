// The windows as a desktop dresses them: a theme that sets a large font and a
// dark palette while the program runs, and a scale factor of 2 for the suite.
#include "desktop/qt/qt_help_viewer.h"
#include "editor/form6.h"
#include "fileops/form10.h"
#include "fileops/form13.h"
#include "fileops/form7.h"
#include "media/form3.h"
#include "options/form14.h"
#include "startup/form15.h"
#include "support/window_helpers.h"

#include <QtWidgets>

namespace {
// Whether a text is wider than the room its label or button gives it.
bool cut(QWidget* w, const QString& text, const QRect& room)
{
    return w->isVisible() && !text.isEmpty() && w->fontMetrics().horizontalAdvance(QString(text).remove(u'&')) > room.width();
}

// How far the strongest ink stands from the commonest grey inside a label's
// frame or a text view, as its window draws it.
int contrast(QWidget* text)
{
    const auto* frame = qobject_cast<QFrame*>(text);
    const QRect inside = frame ? frame->contentsRect() : text->rect();
    const QImage image = text->window()->grab(inside.translated(text->mapTo(text->window(), QPoint()))).toImage();
    QMap<int, int> greys;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++greys[qGray(image.pixel(x, y))];
    const int ground = std::max_element(greys.cbegin(), greys.cend()).key();
    return std::max(ground - greys.firstKey(), greys.lastKey() - ground);
}
}

class AppearanceTest : public QObject {
    Q_OBJECT
public:
    static void initMain() { qputenv("QT_SCALE_FACTOR", "2"); }
private slots:
    void aThemeLeavesEveryWindowReadable()
    {
        TestEnvironment env;
        savePicture(env.makeFolder("pics") + "/a.bmp", {1600, 1200});
        Viewer v(env.desktop(), env.makeFolder("pics"));
        v.select("a.bmp");
        v.form.textfile_Click();
        Form6* editor = Form6::existing(v.form.secondaryWindows());
        editor->RichTextBox1->setPlainText("Lines of text to read");
        QtHelpViewer help;
        help.showTopic(PIXALTO_SOURCE_DIR "/help/pxhelp.hlp", 36);
        Form15 splash(env.screen);
        const std::unique_ptr<Form3> separate(new Form3(&v.form));
        const QList<QWidget*> windows{&v.form, separate.get(), new Form7(&v.form), new Form10(&v.form),
                                      new Form13(&v.form), new Form14(&v.form, v.form.secondaryWindows()), editor,
                                      &splash, help.window()};
        QApplication::setFont(QFont("Liberation Serif", 14));
        QApplication::setPalette(QPalette(Qt::white, QColor(0x42, 0x42, 0x45), Qt::gray, Qt::black, Qt::darkGray,
                                          Qt::white, Qt::white, QColor(0x3d, 0x3d, 0x3d), QColor(0x22, 0x20, 0x20)));
        for (QWidget* w : windows)
            w->show();
        QCoreApplication::sendPostedEvents();
        for (QWidget* w : windows) {
            for (QLabel* l : w->findChildren<QLabel*>())
                QVERIFY2(!cut(l, l->text(), l->contentsRect()) || l->wordWrap(), qPrintable(l->text()));
            for (QAbstractButton* b : w->findChildren<QAbstractButton*>()) {
                QStyleOptionButton o;
                o.initFrom(b);
                const auto room = qobject_cast<QRadioButton*>(b) ? QStyle::SE_RadioButtonContents
                                : qobject_cast<QCheckBox*>(b)    ? QStyle::SE_CheckBoxContents
                                                                 : QStyle::SE_PushButtonContents;
                QVERIFY2(!cut(b, b->text(), b->style()->subElementRect(room, &o, b)), qPrintable(b->text()));
            }
        }
        // A label that sizes to its text does so in the window's font too.
        v.form.setFont(QFont("Liberation Serif", 14));
        QVERIFY(v.ui.Label6->width() >= v.ui.Label6->sizeHint().width());

        for (QWidget* text : {(QWidget*)v.ui.StatusBar1->findChildren<QLabel*>().at(1),
                              (QWidget*)editor->StatusBar1->findChildren<QLabel*>().at(1), editor->RichTextBox1->viewport(),
                              help.browser()->viewport(), (QWidget*)splash.findChildren<QLabel*>().last()})
            QVERIFY2(contrast(text) > 128, text->parentWidget()->metaObject()->className());
        v.form.secondaryWindows().editor.unload();
    }

    void oneToOneAndFittingCountDevicePixels()
    {
        TestEnvironment env;
        QImage picture(1000, 700, QImage::Format_RGB32);
        for (int i = 0; i < 700000; ++i)
            picture.setPixel(i % 1000, i / 1000, qRgb(i % 256, i / 1000 % 256, i % 2 * 255));
        QVERIFY(picture.save(env.makeFolder("pics") + "/grid.bmp"));
        // At 1:1, and with Auto Zoom on for a picture that fits the window in device pixels.
        for (const char* autoZoom : {"0", "1"}) {
            writeSetting("AutoZoom", autoZoom);
            Viewer v(env.desktop(), env.makeFolder("pics"));
            v.select("grid.bmp");
            QImage shown = v.ui.Image1->grab().toImage().convertToFormat(QImage::Format_RGB32);
            shown.setDevicePixelRatio(1);
            QCOMPARE(shown, picture);
        }
    }
};

QTEST_MAIN(AppearanceTest)
#include "test_appearance.moc"
