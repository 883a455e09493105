#include "editor/rtf/rtf.h"

#include <QtGui>
#include <QtTest>

namespace {

QTextDocument* readRtf(const QByteArray& rtf)
{
    auto* document = new QTextDocument;
    QTextCursor cursor(document);
    if (!insertRtf(cursor, rtf))
        QTest::qFail("not read as RTF", __FILE__, __LINE__);
    return document;
}

QByteArray encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 90);
    return bytes;
}

QImage pattern(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.fillRect(0, 0, size.width() / 2, size.height() / 2, Qt::red);
    painter.fillRect(size.width() / 2, size.height() / 2, size.width() / 2, size.height() / 2, Qt::blue);
    return image;
}

struct Image {
    QByteArray bytes;
    QSizeF shown;
};

QList<Image> images(const QTextDocument& document)
{
    QList<Image> found;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat()) {
                const QTextImageFormat format = it.fragment().charFormat().toImageFormat();
                found.append({document.resource(QTextDocument::ImageResource, QUrl(format.name())).toByteArray(),
                              QSizeF(format.width(), format.height())});
            }
    return found;
}

}

class TestRtf : public QObject {
    Q_OBJECT

private slots:
    void textRoundTrip_data();
    void textRoundTrip();
    void picturesRoundTrip();
};

void TestRtf::textRoundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("paragraphs and tabs") << QStringLiteral("one\ttwo\nthree\n\nfive");
    QTest::newRow("empty last paragraph") << QStringLiteral("last\n");
    QTest::newRow("codes as text") << QStringLiteral("{\\rtf1 \\par} and \\u65?");
    QTest::newRow("unicode") << QStringLiteral("€ é ĳ Ω Ж 中文 \U0001F600 “quotes”");
}

void TestRtf::textRoundTrip()
{
    QFETCH(QString, text);
    QTextDocument source;
    source.setPlainText(text);
    const QByteArray rtf = writeRtf(source);
    for (const char c : rtf)
        QVERIFY2(static_cast<unsigned char>(c) < 0x80, "RTF is 7-bit");
    std::unique_ptr<QTextDocument> back(readRtf(rtf));
    QCOMPARE(back->toPlainText(), text);
}

void TestRtf::picturesRoundTrip()
{
    const QByteArray jpeg = encoded(pattern({40, 30}), "jpeg");
    const QByteArray png = encoded(pattern({20, 10}), "png");
    QTextDocument source;
    QTextCursor cursor(&source);
    cursor.insertText("a");
    const QString jpegName = "j.jpg", pngName = "p.png";
    source.addResource(QTextDocument::ImageResource, QUrl(jpegName), jpeg);
    source.addResource(QTextDocument::ImageResource, QUrl(pngName), png);
    QTextImageFormat shownLarger;
    shownLarger.setName(jpegName);
    shownLarger.setWidth(80);
    shownLarger.setHeight(60);
    cursor.insertImage(shownLarger);
    cursor.insertText("b");
    cursor.insertImage(pngName);

    const QByteArray rtf = writeRtf(source);
    QVERIFY(rtf.contains("\\jpegblip"));
    QVERIFY(rtf.contains("\\picwgoal1200\\pichgoal900"));
    std::unique_ptr<QTextDocument> back(readRtf(rtf));
    const QList<Image> read = images(*back);
    QCOMPARE(read.size(), 2);
    QCOMPARE(read[0].bytes, jpeg);
    QCOMPARE(read[0].shown, QSizeF(80, 60));
    QCOMPARE(QImage::fromData(read[1].bytes), QImage::fromData(png));
    QCOMPARE(read[1].shown, QSizeF(20, 10));
    QCOMPARE(back->toPlainText(), QStringLiteral("a\uFFFCb\uFFFC"));
}

QTEST_MAIN(TestRtf)
#include "test_rtf.moc"
