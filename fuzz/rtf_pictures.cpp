// A rich-text file opened as the editor opens one: read into a new document
// with its pictures made (metafiles drawn by the helper beside this program),
// then painted, which decodes every picture as the text box does. Each
// picture is either in the document, as a JPEG or PNG of a size that can be
// shown, or named among those left out.
#include "editor/rtf/rtf.h"
#include "editor/rtf/rtf_pict.h"
#include "rtf_input.h"

#include <QImage>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <atomic>
#include <cstdint>
#include <cstdlib>

namespace {

// Every picture the reader put in the document; aborts on one it should
// have left out.
int checkedPictures(const QTextDocument& document)
{
    int pictures = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat())
                continue;
            const std::optional<DocumentPicture> picture = documentPicture(document, format.toImageFormat());
            if (!picture || picture->shown.isEmpty() || picture->shown.width() > maxShownSide
                || picture->shown.height() > maxShownSide)
                std::abort();
            pictures += it.fragment().length();
        }
    }
    return pictures;
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const QByteArray data = rtfInput(bytes, size);
    QTextDocument document;
    QTextCursor cursor(&document);
    QList<LeftOutPicture> leftOut;
    const std::atomic<bool> cancelled{false};
    if (!insertRtf(cursor, data, &leftOut, &cancelled))
        std::abort();
    const int shown = checkedPictures(document);
    // Pictures are counted from 1 in the order met, shown or not.
    int previous = 0;
    for (const LeftOutPicture& picture : leftOut) {
        if (picture.number <= previous || picture.number > shown + int(leftOut.size()) || picture.reason.isEmpty())
            std::abort();
        previous = picture.number;
    }
    document.setTextWidth(640);
    QImage page(64, 64, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&page);
    document.drawContents(&painter);
    return 0;
}
