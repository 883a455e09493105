// The pure computations behind showing a picture.
#include "browser/picture_math.h"
#include "core/locale_text.h"

#include <QTest>
#include <cmath>

class PictureMathTest : public QObject {
    Q_OBJECT
private slots:
    void autoZoomShrinksByOnePercentSteps()
    {
        // 640 x 480 pixels in a window 12192 twips wide: six steps bring the
        // width under 0.743 x 12192 = 9058.7 twips.
        const QSizeF size = autoZoomSize({9600, 7200}, {12192, 8664});
        QCOMPARE(float(size.width()), float(9600 * std::pow(0.99, 6)));
        // A tall picture is then shrunk for the height limit too.
        const QSizeF tall = autoZoomSize({3000, 12000}, {12192, 8664});
        QVERIFY(tall.height() <= 0.896 * 8664);
        QVERIFY(tall.height() / 0.99 > 0.896 * 8664);
        QVERIFY(std::abs(tall.width() / tall.height() - 0.25) < 1e-4);
        // A picture that fits is kept.
        QCOMPARE(autoZoomSize({4000, 3000}, {12192, 8664}), QSizeF(4000, 3000));
        // Nothing fits a window of no size; the shrinking still comes to an end.
        const QSizeF none = autoZoomSize({9600, 7200}, {0, 0});
        QVERIFY(none.width() < 1e-30 && none.height() < 1e-30);
    }

    void sizeAndByteTexts()
    {
        QCOMPARE(sizeText(9600, 7200, 15, 15), QString("640 x 480"));
        QCOMPARE(sizeText(9037.8, 6778.3, 15, 15), QString("602.52 x 451.887"));
        QCOMPARE(groupedNumber(0), QString());
        QCOMPARE(groupedNumber(1048577), QString("1,048,577"));
        // The general date leaves the time out only at exactly midnight.
        const QDate day(2026, 3, 7);
        QCOMPARE(generalDate(QDateTime(day, QTime(0, 0))), QString("3/7/26"));
        QCOMPARE(generalDate(QDateTime(day, QTime(0, 0, 1))).left(15), QString("3/7/26 12:00:01"));
    }
};

QTEST_MAIN(PictureMathTest)
#include "test_picture_math.moc"
