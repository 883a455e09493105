#include "editor/rtf/rtf.h"
#include "editor/rtf/rtf_lists.h"
#include "samples/metafile_writer.h"
#include "support/fixtures.h"
#include "support/test_files.h"

#include <QtGui>
#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;

namespace {

QTextDocument* readRtf(const QByteArray& rtf)
{
    auto* document = new QTextDocument;
    QTextCursor cursor(document);
    if (!insertRtf(cursor, rtf))
        QTest::qFail("not read as RTF", __FILE__, __LINE__);
    return document;
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

// With PIXALTO_RTF_OUT set, the written files are kept there for the
// interoperability check, each with the text and the number of pictures a
// word processor must find in it.
void keepForInterop(const QString& name, const QByteArray& rtf, const QTextDocument& document)
{
    const QString folder = qEnvironmentVariable("PIXALTO_RTF_OUT");
    if (folder.isEmpty())
        return;
    const QString base = folder + u'/' + QString(name).replace(QRegularExpression("[^A-Za-z0-9]+"), "-");
    QFile rtfFile(base + ".rtf"), textFile(base + ".txt"), countFile(base + ".pictures");
    QString text = document.toPlainText();
    const qsizetype pictures = text.count(QChar::ObjectReplacementCharacter);
    text.remove(QChar::ObjectReplacementCharacter);
    QVERIFY(rtfFile.open(QIODevice::WriteOnly) && textFile.open(QIODevice::WriteOnly) && countFile.open(QIODevice::WriteOnly));
    rtfFile.write(rtf);
    textFile.write(text.toUtf8() + '\n');
    countFile.write(QByteArray::number(pictures) + '\n');
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
    void textRoundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("paragraphs and tabs") << QStringLiteral("one\ttwo\nthree\n\nfive");
        QTest::newRow("empty last paragraph") << QStringLiteral("last\n");
        QTest::newRow("codes as text") << QStringLiteral("{\\rtf1 \\par} and \\u65?");
        QTest::newRow("unicode") << QStringLiteral("€ é ĳ Ω Ж 中文 \U0001F600 “quotes”");
    }

    void textRoundTrip()
    {
        QFETCH(QString, text);
        QTextDocument source;
        source.setPlainText(text);
        const QByteArray rtf = writeRtf(source);
        keepForInterop(QTest::currentDataTag(), rtf, source);
        for (const char c : rtf)
            QVERIFY2(static_cast<unsigned char>(c) < 0x80, "RTF is 7-bit");
        std::unique_ptr<QTextDocument> back(readRtf(rtf));
        QCOMPARE(back->toPlainText(), text);
    }

    void picturesRoundTrip()
    {
        const QByteArray jpeg = encoded(pattern({40, 30}), "jpeg");
        const QByteArray png = encoded(pattern({20, 10}), "png");
        QTextEdit edit;
        QTextDocument& source = *edit.document();
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
        // A pasted picture is held decoded.
        source.addResource(QTextDocument::ImageResource, QUrl("pasted"), pattern({6, 4}));
        cursor.insertImage("pasted");

        // Drawing a picture must not swap its bytes for a decoded copy.
        edit.show();
        edit.grab();
        const QByteArray rtf = writeRtf(source);
        keepForInterop("pictures", rtf, source);
        QVERIFY(rtf.contains("\\jpegblip"));
        QVERIFY(rtf.contains("\\picwgoal1200\\pichgoal900"));
        std::unique_ptr<QTextDocument> back(readRtf(rtf));
        const QList<Image> read = images(*back);
        QCOMPARE(read.size(), 3);
        QCOMPARE(read[0].bytes, jpeg);
        QCOMPARE(read[0].shown, QSizeF(80, 60));
        QCOMPARE(QImage::fromData(read[1].bytes), QImage::fromData(png));
        QCOMPARE(read[1].shown, QSizeF(20, 10));
        QCOMPARE(QImage::fromData(read[2].bytes, "png").convertToFormat(QImage::Format_RGB32), pattern({6, 4}));
        QCOMPARE(back->toPlainText(), QStringLiteral("a\uFFFCb\uFFFC\uFFFC"));
    }

    void formattingRoundTrip()
    {
        const QByteArray rtf = R"({\rtf1\ansi\deff0{\fonttbl{\f0\fswiss Arial;}{\f1\froman Times New Roman;}}
{\colortbl;\red255\green0\blue0;\red0\green0\blue255;}
\f0\fs20 plain {\b bold} {\i\f1 italic} {\ul under}{\ulnone  no} \cf1\fs32 red\cf2 blue\cf0  auto\par})";
        struct Run {
            QString text, family;
            double points;
            bool bold, italic, underline;
            QColor colour;
            bool operator==(const Run&) const = default;
        };
        auto runs = [](const QTextDocument& document) {
            QList<Run> found;
            for (auto it = document.begin().begin(); !it.atEnd(); ++it) {
                const QTextCharFormat f = it.fragment().charFormat();
                found.append({it.fragment().text(), f.fontFamilies().toStringList().value(0), f.fontPointSize(),
                              f.fontWeight() == QFont::Bold, f.fontItalic(), f.fontUnderline(),
                              f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color() : QColor()});
            }
            return found;
        };
        std::unique_ptr<QTextDocument> first(readRtf(rtf));
        const QList<Run> expected = {
            {"plain ", "Arial", 10, false, false, false, {}},
            {"bold", "Arial", 10, true, false, false, {}},
            {" ", "Arial", 10, false, false, false, {}},
            {"italic", "Times New Roman", 10, false, true, false, {}},
            {" ", "Arial", 10, false, false, false, {}},
            {"under", "Arial", 10, false, false, true, {}},
            {" no ", "Arial", 10, false, false, false, {}},
            {"red", "Arial", 16, false, false, false, Qt::red},
            {"blue", "Arial", 16, false, false, false, Qt::blue},
            {" auto", "Arial", 16, false, false, false, {}},
        };
        const QByteArray written = writeRtf(*first);
        keepForInterop("formatting", written, *first);
        std::unique_ptr<QTextDocument> second(readRtf(written));
        for (const QTextDocument* document : {first.get(), second.get()}) {
            const QList<Run> read = runs(*document);
            QCOMPARE(read.size(), expected.size());
            for (int i = 0; i < read.size(); ++i)
                QVERIFY2(read[i] == expected[i], qPrintable(read[i].text));
        }
    }

    void samples_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("cp1252 bytes") << R"({\rtf1\ansi \'80 \'e9\'93q\'94})"_ba << u"€ é“q”"_s;
        QTest::newRow("ansicpg1251") << R"({\rtf1\ansi\ansicpg1251 \'cf\'f0\'e8})"_ba << u"При"_s;
        QTest::newRow("double-byte code page, a line end or a letter for trail byte")
            << "{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0\\'82\r\n\\'a2\\'83e}"_ba << u"あいテ"_s;
        QTest::newRow("font charset, cpg and Symbol over code page")
            << R"({\rtf1\ansi\ansicpg1252{\fonttbl{\f0 Arial;}{\f1\fcharset204 Arial Cyr;}{\f2\fcharset128\cpg1251 X;}{\f3\fcharset78 M;}{\f4 Symbol;}}\f1\'c0{\f0\'c0}{\f2\'cf}{\f3\'82\'a0}{\f4\'b7}})"_ba
            << u"АÀПあ•"_s;
        QTest::newRow("unknown code page") << R"({\rtf1\ansi\ansicpg99999 a\'e9z})"_ba << u"a\uFFFDz"_s;
        QTest::newRow("nested table, more cells than widths")
            << R"({\rtf1\trowd\cellx99 A\cell B\nestcell C\nestcell{\*\nesttableprops\trowd\nestrow}{\nonesttables B C\par}D\cell E\cell\row})"_ba
            << u"A\tB\tC\t\nD\tE\t"_s;
        // Labels come from the list table, not from the \listtext stored, but
        // for a list the table lacks.
        QTest::newRow("list labels")
            << R"({\rtf1{\fonttbl{\f1 Symbol;}}{\*\listtable{\list{\listlevel{\leveltext\'02\'00.;}}{\listlevel\levelnfc4\levelfollow1)"
               R"({\leveltext\'04\'00.\'01);}}{\listlevel\levelnfc23\f1{\leveltext\'01\'b7;}}\listid7}{\list{\listlevel\levelnfc1)"
               R"(\levelstartat4\levelfollow2{\leveltext\'01\'00;}}\listid8}}{\*\listoverridetable{\listoverride\listid7\ls1})"
               R"({\listoverride\listid7{\lfolevel\listoverridestartat\levelstartat5}\ls2}{\listoverride\listid8\ls3}})"
               R"({\listtext X}\pard\ls1 a\par\ls1\ilvl1 b\par c\par\ilvl2 d\par\pard\ls1 e\par\ls1\ilvl1 f\par\pard\ls2 g\par)"
               R"(\pard\ls3 h\par{\listtext 9.\tab}\pard\ls9 i\par\pard\intbl\ls1 k\cell l\cell\row\pard j})"_ba
            << u"1.\ta\n1.a) b\n1.b) c\n•\td\n2.\te\n2.a) f\n5.\tg\nIVh\n9.\ti\n6.\tk\t7.\tl\t\nj"_s;
        QTest::newRow("old-style numbering, not of outline levels")
            << R"({\rtf1{\fonttbl{\f3 Symbol;}}{\pntext 1.\tab}{\*\pn\pnlvlbody\pnucltr\pnstart2{\pntxtb (}{\pntxta )}}A\par B\par)"
               R"(\pard{\*\pn\pnlvlblt\pnf3{\pntxtb\'b7}}C\par\pard{\pntext 9.\tab}{\*\pn\pnlvl1\pndec}D\par\pard E})"_ba
            << u"(B)\tA\n(C)\tB\n•\tC\n9.\tD\nE"_s;
        QTest::newRow("footnotes at the end")
            << R"({\rtf1 A{\super\chftn}{\footnote\pard{\super\chftn} One {\b b}.}B{\footnote\chftn Two}\par end\par})"_ba
            << u"A1B2\nend\n1 One b.\n2Two"_s;
        QTest::newRow("text box of a shape")
            << R"({\rtf1 a{\shp{\*\shpinst{\sp{\sn shapeType}{\sv 202}}{\shptxt box}}{\shprslt result}}b})"_ba
            << u"aboxb"_s;
        QTest::newRow("unicode with fallbacks")
            << R"({\rtf1\ansi\uc1\u8364?x{\uc2\u20013\'d6\'d0y}\u-10179\'3f\u-8704?\uc0\u937 z})"_ba
            << u"€x中y\U0001F600\u03A9z"_s;
        QTest::newRow("fallback cut by a group") << R"({\rtf1\uc3\u937{}ab})"_ba << u"Ωab"_s;
        QTest::newRow("par line tab and symbols")
            << "{\\rtf1 a\\tab b\\line c\\par d\\\nq\\{\\}\\\\\\~e\\emdash\\bullet\\-}"_ba
            << u"a\tb\u2028c\nd\nq{}\\\u00A0e—•\u00AD"_s;
        QTest::newRow("line ends in the file are no text") << "{\\rtf1 ab\r\ncd\n}"_ba << u"abcd"_s;
        QTest::newRow("last paragraph mark closes") << R"({\rtf1 one\par two\par })"_ba << u"one\ntwo"_s;
        QTest::newRow("destinations skipped")
            << R"({\rtf1{\fonttbl{\f0 Arial;}}{\colortbl;\red1\green2\blue3;}{\stylesheet{\s0 Normal;}}{\info{\title T}}{\*\unknown hidden {\b deep}}{\*\generator G;}{\header H}shown\unknownword  text})"_ba
            << u"shown text"_s;
        QTest::newRow("field shows its result")
            << R"({\rtf1 see {\field{\*\fldinst HYPERLINK "x"}{\fldrslt link}} here})"_ba << u"see link here"_s;
        QTest::newRow("text after the document ends") << R"({\rtf1 in}out)"_ba << u"in"_s;
    }

    void samples()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        std::unique_ptr<QTextDocument> document(readRtf(rtf));
        // The raw text keeps line breaks and no-break spaces apart.
        QCOMPARE(document->toRawText().replace(QChar::ParagraphSeparator, u'\n'), text);
    }

    void listNumbers()
    {
        const QList<std::tuple<int, int, QString>> cases = {
            {12, 0, u"12"_s},    {1994, 1, u"MCMXCIV"_s}, {49, 2, u"xlix"_s}, {28, 3, u"BB"_s}, {27, 4, u"aa"_s},
            {112, 5, u"112th"_s}, {23, 5, u"23rd"_s},     {7, 22, u"07"_s},    {0, 2, u"0"_s},   {3, 23, u""_s}};
        for (const auto& [value, format, text] : cases)
            QCOMPARE(listNumber(value, format), text);
    }

    void pictureSamples_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QSizeF>("shown");
        QTest::addColumn<QColor>("topLeft");
        const QByteArray png = encoded(pattern({20, 10}), "png");
        // \wmetafile8 holds a metafile without its placeable header.
        const QByteArray wmf = MetafileWriter::wmf({100, 75}).mid(22);
        const QByteArray emf = MetafileWriter::emf({100, 75});
        QTest::newRow("png in hex, goal size") << "{\\rtf1{\\pict\\pngblip\\picw20\\pich10\\picwgoal600\\pichgoal300 "_ba
                + png.toHex() + "}}" << QSizeF(40, 20) << QColor(Qt::red);
        QTest::newRow("png in \\bin, scaled") << "{\\rtf1{\\pict\\pngblip\\picscalex50\\picscaley200\\bin"_ba
                + QByteArray::number(png.size()) + " " + png + "}}" << QSizeF(10, 20) << QColor(Qt::red);
        QTest::newRow("pib of a shape, not its fill or result or header")
            << "{\\rtf1{\\header{\\shp{\\*\\shpinst{\\sp{\\sn pib}{\\sv{\\pict\\pngblip "_ba + png.toHex()
                + "}}}}}}{\\shp{\\*\\shpinst{\\sp{\\sn fillBlip}{\\sv{\\pict\\pngblip " + png.toHex()
                + "}}}{\\sp{\\sn pib}{\\sv{\\pict\\pngblip " + png.toHex() + "}}}}{\\shprslt{\\pict\\pngblip\\picscalex50 " + png.toHex()
                + "}}}}" << QSizeF(20, 10) << QColor(Qt::red);
        QTest::newRow("picture in a footnote") << "{\\rtf1 a{\\footnote{\\pict\\pngblip "_ba + png.toHex() + "}}}"
                                               << QSizeF(20, 10) << QColor(Qt::red);
        QTest::newRow("shppict over nonshppict")
            << "{\\rtf1{\\*\\shppict{\\pict\\pngblip "_ba + png.toHex()
                + "}}{\\nonshppict{\\pict\\pngblip " + png.toHex() + "}}}" << QSizeF(20, 10) << QColor(Qt::red);
        const QByteArray bmp = encoded(pattern({20, 10}), "bmp");
        QTest::newRow("dibitmap") << "{\\rtf1{\\pict\\dibitmap0 "_ba + bmp.mid(14).toHex() + "}}" << QSizeF(20, 10)
                                  << QColor(Qt::red);
        QTest::newRow("wmetafile8") << "{\\rtf1{\\pict\\wmetafile8\\picw2646\\pich1984\\picwgoal1500\\pichgoal1125 "_ba
                + wmf.toHex() + "}}" << QSizeF(100, 75) << QColor(Qt::white);
        QTest::newRow("emfblip") << "{\\rtf1{\\pict\\emfblip\\picwgoal3000\\pichgoal2250 "_ba + emf.toHex() + "}}"
                                 << QSizeF(200, 150) << QColor(Qt::white);
    }

    void pictureSamples()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QSizeF, shown);
        QFETCH(QColor, topLeft);
        std::unique_ptr<QTextDocument> document(readRtf(rtf));
        const QList<Image> read = images(*document);
        QCOMPARE(read.size(), 1);
        QCOMPARE(read[0].shown, shown);
        const QImage image = QImage::fromData(read[0].bytes, "png");
        QVERIFY(!image.isNull());
        QCOMPARE(image.pixelColor(1, 1), topLeft);
        // The metafile's red rectangle lies at a tenth of its width and height.
        if (topLeft == Qt::white)
            QCOMPARE(image.pixelColor(image.width() / 4, image.height() / 4), QColor(Qt::red));
    }

    void badInput_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("containing");
        QTest::newRow("unclosed groups") << "{\\rtf1 {{{\\b a"_ba << u"a"_s;
        QTest::newRow("extra closing braces") << "{\\rtf1 a}}}}}b"_ba << u"a"_s;
        QTest::newRow("100,000 nested groups")
            << "{\\rtf1 "_ba + QByteArray(100000, '{') + "deep" + QByteArray(100000, '}') + "after}" << u"deepafter"_s;
        QTest::newRow("\\bin past the end") << "{\\rtf1 a{\\pict\\pngblip\\bin999999999 xyz}}"_ba << u"a"_s;
        QTest::newRow("\\bin negative") << "{\\rtf1 a\\bin-5 b}"_ba << u"ab"_s;
        const QByteArray png = encoded(pattern({20, 10}), "png").toHex();
        QTest::newRow("huge \\picw") << "{\\rtf1 a{\\pict\\pngblip\\picw2147483647\\pich99999999999\\picwgoal2147483647\\pichgoal-5 "_ba
                + png + "}}" << u"a\uFFFC"_s;
        QTest::newRow("odd hex") << "{\\rtf1 a{\\pict\\pngblip 89504e4}\\'4 b\\'}"_ba << u"a"_s;
        QTest::newRow("huge \\uc") << "{\\rtf1\\uc999999999\\u937 abcdefghijklmnopqrstuvwxyz}"_ba << u"Ωqrstuvwxyz"_s;
        QTest::newRow("long control word") << "{\\rtf1 "_ba + QByteArray(100000, 'x').prepend('\\') + " a}" << u"a"_s;
        QTest::newRow("structure characters") << R"({\rtf1 a\u-560?\u-559?\u-4?\u8233?\u0? b})"_ba << u"a b"_s;
        QTest::newRow("ends in a backslash") << "{\\rtf1 a\\"_ba << u"a"_s;
        QByteArray garbage = "{\\rtf1 ";
        QRandomGenerator random(11);
        for (int i = 0; i < 200000; ++i)
            garbage.append(char("{}\\'*0aAbin u-9;\x80\xff"[random.bounded(19)]));
        QTest::newRow("garbage") << garbage << QString();
    }

    void badInput()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, containing);
        QTextDocument document;
        QTextCursor cursor(&document);
        QVERIFY(insertRtf(cursor, rtf));
        QVERIFY(document.toPlainText().contains(containing));
    }

    void insertsAtTheCursor()
    {
        // Into the middle of a text: the first and last paragraphs join the
        // text around them, and the insertion is one step to undo. What is not
        // RTF leaves the text as it was.
        QTextDocument document;
        document.setPlainText("AB");
        QTextCursor cursor(&document);
        cursor.setPosition(1);
        QVERIFY(!insertRtf(cursor, "plain text {\\rtf1 a}"));
        QCOMPARE(document.toPlainText(), u"AB"_s);
        QVERIFY(insertRtf(cursor, R"({\rtf1 x\par y\par})"));
        QCOMPARE(document.toPlainText(), u"Ax\nyB"_s);
        document.undo();
        QCOMPARE(document.toPlainText(), u"AB"_s);
    }

    void pictureFiles()
    {
        QTemporaryDir folder;
        const QByteArray jpeg = encoded(pattern({40, 30}), "jpeg");
        writeFile(folder.filePath("p.jpg"), jpeg);
        QVERIFY(pattern({16, 12}).save(folder.filePath("p.bmp")));
        // Gigabytes past the picture its header describes are never read.
        const QString sparse = folder.filePath("sparse.bmp");
        QVERIFY(pattern({1, 1}).save(sparse) && QFile::resize(sparse, qint64(5) << 30));
        FIXTURE(wmf, "drawing.wmf");

        QTextDocument document;
        QTextCursor cursor(&document);
        VERIFY_NO_PXERROR(insertPictureFile(cursor, folder.filePath("p.jpg")));
        VERIFY_NO_PXERROR(insertPictureFile(cursor, folder.filePath("p.bmp")));
        VERIFY_NO_PXERROR(insertPictureFile(cursor, wmf));
        VERIFY_NO_PXERROR(insertPictureFile(cursor, sparse));
        QVERIFY_THROWS_EXCEPTION(PxError, insertPictureFile(cursor, folder.filePath("missing.png")));

        const QByteArray rtf = writeRtf(document);
        keepForInterop("picture files", rtf, document);
        std::unique_ptr<QTextDocument> back(readRtf(rtf));
        const QList<Image> read = images(*back);
        QCOMPARE(read.size(), 4);
        QCOMPARE(read[0].bytes, jpeg);
        QCOMPARE(QImage::fromData(read[1].bytes, "png").convertToFormat(QImage::Format_RGB32), pattern({16, 12}));
        QCOMPARE(read[2].shown, QSizeF(MetafileWriter::drawingSize));
        QCOMPARE(read[3].shown, QSizeF(1, 1));
    }
};

QTEST_MAIN(TestRtf)
#include "test_rtf.moc"
