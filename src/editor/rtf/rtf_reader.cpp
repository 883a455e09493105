#include "editor/rtf/rtf.h"

#include "core/failure.h"
#include "core/hex_digit.h"
#include "editor/rtf/rtf_reader.h"
#include "picture/metafile_client.h"

#include <QTextBlock>
#include <QTextDocumentFragment>

#include <algorithm>

namespace RtfRead {

QChar glyph(char16_t c, bool symbolFont)
{
    return QChar((c == 0xB7 || c == 0xF0B7) && symbolFont ? 0x2022 : c);
}

void Reader::read()
{
    stack.push_back({});
    // The caller made sure the data opens with "{\rtf".
    tokens.next();
    for (;;) {
        const RtfToken t = tokens.next();
        switch (t.kind) {
        case RtfToken::End:
            appendNotes();
            return;
        case RtfToken::Open:
            openGroup();
            break;
        case RtfToken::Close:
            if (stack.size() == 1 && overflowDepth == 0) {
                appendNotes();
                return;
            }
            closeGroup();
            break;
        case RtfToken::Word:
            controlWord(t.text, t.hasParameter, t.parameter);
            break;
        case RtfToken::Symbol:
            symbol(t.byte);
            break;
        case RtfToken::Hex:
            byte(t.byte);
            break;
        case RtfToken::Text:
            text(t.text);
            break;
        }
        // \* marks only the control word right after it.
        if (t.kind != RtfToken::Symbol || t.byte != '*')
            ignorable = false;
    }
}

void Reader::openGroup()
{
    pendingSkip = 0;
    if (int(stack.size()) >= maxDepth) {
        ++overflowDepth;
        return;
    }
    stack.push_back(stack.back());
}

void Reader::closeGroup()
{
    pendingSkip = 0;
    if (overflowDepth > 0) {
        --overflowDepth;
        return;
    }
    const Destination leaving = state().destination;
    if (leaving == Destination::FontTable && tableFont >= 0) {
        // A last entry without its semicolon.
        fontTableText(";");
    }
    if (leaving == Destination::LevelText && stack[stack.size() - 2].destination != Destination::LevelText)
        endLevelText();
    // An old-style numbering and its texts are the paragraph's.
    if (leaving == Destination::Numbering || leaving == Destination::NumberBefore || leaving == Destination::NumberAfter)
        stack[stack.size() - 2].numbering = state().numbering;
    if (leaving == Destination::Picture && int(stack.size()) == pictDepth)
        endPicture();
    if (int(stack.size()) == footnoteDepth)
        endFootnote();
    stack.pop_back();
}

void Reader::symbol(unsigned char c)
{
    if (pendingSkip > 0) {
        --pendingSkip;
        return;
    }
    if (state().destination != Destination::Text && !labelText()) {
        if (c == '*')
            ignorable = true;
        return;
    }
    switch (c) {
    case '*':
        ignorable = true;
        break;
    case '\\':
    case '{':
    case '}':
        addBytes(QByteArrayView(reinterpret_cast<const char*>(&c), 1));
        break;
    case '~':
        addChar(QChar(0x00A0));
        break;
    case '_':
        addChar(QChar(0x2011));
        break;
    case '-':
        addChar(QChar(QChar::SoftHyphen));
        break;
    case '\n':
    case '\r':
        paragraph();
        break;
    default:
        break;
    }
}

void Reader::byte(unsigned char b)
{
    if (pendingSkip > 0) {
        --pendingSkip;
        return;
    }
    switch (state().destination) {
    case Destination::Text:
    case Destination::ListText:
    case Destination::NumberBefore:
    case Destination::NumberAfter:
        if (const QChar shown = glyph(b, isSymbolFont(state().chars.font)); shown != QChar(b))
            addChar(shown);
        else
            addBytes(QByteArrayView(reinterpret_cast<const char*>(&b), 1));
        break;
    case Destination::LevelText:
        // The placeholders of level numbers are no characters of the code page.
        if (b < 0x20) {
            decoder.append(levelText, levelBytes, codePage());
            levelBytes.clear();
            levelText.append(QChar(b));
        } else {
            levelBytes.append(char(b));
        }
        break;
    case Destination::FontTable:
        if (tableFont >= 0)
            tableFontBytes.append(char(b));
        break;
    default:
        break;
    }
}

void Reader::skipFallback(QByteArrayView& text)
{
    // Line ends in the file are no characters.
    while (pendingSkip > 0 && !text.isEmpty()) {
        if (text.front() != '\r' && text.front() != '\n')
            --pendingSkip;
        text = text.sliced(1);
    }
}

void Reader::text(QByteArrayView bytes)
{
    skipFallback(bytes);
    if (bytes.isEmpty())
        return;
    switch (state().destination) {
    case Destination::Text:
    case Destination::ListText:
    case Destination::NumberBefore:
    case Destination::NumberAfter:
        // Line ends in the file are no text, and writers break lines between
        // the two bytes of a character. Other control bytes are dropped when
        // the text is put in.
        while (!bytes.isEmpty()) {
            qsizetype end = 0;
            while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
                ++end;
            addBytes(bytes.first(end));
            bytes = bytes.sliced(std::min(end + 1, bytes.size()));
        }
        break;
    case Destination::FontTable:
        fontTableText(bytes);
        break;
    case Destination::LevelText:
        for (const char c : bytes)
            if (c != '\r' && c != '\n')
                levelBytes.append(c);
        break;
    case Destination::ColorTable:
        colourTableText(bytes);
        break;
    case Destination::Picture:
        pictureText(bytes);
        break;
    case Destination::ShapeName:
        // No property name is longer.
        if (shapeProperty.size() < 64)
            shapeProperty.append(bytes.first(std::min<qsizetype>(bytes.size(), 64)));
        break;
    case Destination::Skip:
    case Destination::Shape:
    case Destination::ListTable:
    case Destination::ListOverrideTable:
    case Destination::Numbering:
        break;
    }
}

void Reader::unicode(int value)
{
    const QChar c(char16_t(value < 0 ? value + 65536 : value));
    if (state().destination == Destination::Text || labelText()) {
        addChar(c);
    } else if (state().destination == Destination::LevelText) {
        decoder.append(levelText, levelBytes, codePage());
        levelBytes.clear();
        levelText.append(c);
    } else if (state().destination == Destination::FontTable && tableFont >= 0) {
        decoder.append(tableFontName, tableFontBytes, tableCodePage());
        tableFontBytes.clear();
        tableFontName.append(c);
    }
    pendingSkip = state().unicodeSkip;
}


void Reader::fontTableText(QByteArrayView text)
{
    for (const char ch : text) {
        if (tableFont < 0 || ch == '\r' || ch == '\n')
            continue;
        if (ch != ';') {
            tableFontBytes.append(ch);
            continue;
        }
        decoder.append(tableFontName, tableFontBytes, tableCodePage());
        Font font;
        font.codePage = tableCpg ? tableCpg : tableCharsetPage;
        font.name = tableFontName.trimmed();
        font.symbol = font.name.compare(u"Symbol", Qt::CaseInsensitive) == 0;
        fonts[tableFont] = font;
        tableFont = -1;
    }
}

void Reader::colourTableText(QByteArrayView text)
{
    for (const char ch : text) {
        if (ch != ';')
            continue;
        colours.append(tableColourSet ? tableColour : QColor());
        tableColourSet = false;
        tableColour = QColor(0, 0, 0);
    }
}

void Reader::pictureText(QByteArrayView text)
{
    pict.data.reserve(pict.data.size() + text.size() / 2);
    for (const char ch : text) {
        const int v = hexDigitValue(ch);
        if (v < 0)
            continue;
        if (pendingNibble < 0) {
            pendingNibble = v;
        } else {
            pict.data.append(char(pendingNibble * 16 + v));
            pendingNibble = -1;
        }
    }
}

void Reader::endPicture()
{
    pictDepth = -1;
    ++pictures;
    DocumentPicture picture;
    try {
        picture = pictureOfPict(pict, drawingTime);
    } catch (const PxError& e) {
        pict = RtfPict();
        if (leftOut)
            leftOut->append({pictures, e.failure.description});
        return;
    }
    pict = RtfPict();
    if (out->labelDue)
        putLabel();
    flushText();
    startOutput();
    insertDocumentPicture(*out->cursor, picture);
}

int Reader::tableCodePage()
{
    if (tableCpg)
        return tableCpg;
    return tableCharsetPage ? tableCharsetPage : documentCodePage;
}

bool Reader::isSymbolFont(int number)
{
    const auto font = fonts.find(number);
    return font != fonts.end() && font->second.symbol;
}

int Reader::codePage()
{
    const auto font = fonts.find(state().chars.font);
    if (font != fonts.end() && font->second.codePage != 0)
        return font->second.codePage;
    return documentCodePage;
}

void Reader::addBytes(QByteArrayView b)
{
    if (b.isEmpty())
        return;
    if (QString* label = labelText()) {
        decoder.append(*label, b, codePage());
        return;
    }
    if (out->labelDue)
        putLabel();
    const int page = codePage();
    if (!(state().chars == out->pendingChars)) {
        flushText();
        out->pendingChars = state().chars;
    } else if (page != out->bytesCodePage) {
        flushBytes();
    }
    out->bytesCodePage = page;
    out->bytes.append(b);
}

void Reader::addText(QStringView t)
{
    if (QString* label = labelText())
        label->append(t);
    if (state().destination != Destination::Text)
        return;
    if (out->labelDue)
        putLabel();
    flushBytes();
    if (!(state().chars == out->pendingChars)) {
        flushText();
        out->pendingChars = state().chars;
    }
    out->pending.append(t);
}

void Reader::addChar(QChar c)
{
    addText(QStringView(&c, 1));
}

void Reader::flushBytes()
{
    decoder.append(out->pending, out->bytes, out->bytesCodePage);
    out->bytes.clear();
}

void Reader::startOutput()
{
    if (!out->started) {
        out->started = true;
        return;
    }
    if (out->pendingParagraph) {
        out->cursor->insertBlock(blockFormat, charFormat());
        out->pendingParagraph = false;
    }
}

void Reader::flushText()
{
    flushBytes();
    if (out->pending.isEmpty())
        return;
    // Characters the document keeps for its own structure never come in.
    out->pending.removeIf([](QChar c) {
        const char16_t u = c.unicode();
        return u == 0xFDD0 || u == 0xFDD1 || u == QChar::ObjectReplacementCharacter
            || u == QChar::ParagraphSeparator || (u < 0x20 && u != '\t');
    });
    if (out->pending.isEmpty())
        return;
    startOutput();
    out->cursor->insertText(out->pending, charFormat());
    out->pending.clear();
}

void Reader::paragraph()
{
    if (state().destination != Destination::Text)
        return;
    // An empty paragraph of a list shows its label too.
    if (out->labelDue)
        putLabel();
    flushText();
    startOutput();
    out->pendingParagraph = true;
    out->labelDue = true;
    storedLabel.clear();
}

void Reader::startFootnote()
{
    // The note's mark where the note stands, as Writer shows it; the
    // \chftn before it is left out.
    addText(QString::number(++footnotes));
    flushText();
    if (!notesDocument) {
        notesDocument = std::make_unique<QTextDocument>();
        notesDocument->setUndoRedoEnabled(false);
        notesCursor = std::make_unique<QTextCursor>(notesDocument.get());
        notes.cursor = notesCursor.get();
    }
    // Each note a paragraph of its own.
    notes.pendingParagraph = notes.started;
    notes.labelDue = true;
    out = &notes;
    footnoteDepth = int(stack.size());
}

void Reader::endFootnote()
{
    flushText();
    out = &body;
    footnoteDepth = -1;
}

void Reader::appendNotes()
{
    if (out != &body)
        endFootnote();
    flushText();
    if (!notesDocument || notesDocument->isEmpty())
        return;
    // The notes' pictures are resources of the notes' document.
    QTextDocument* document = body.cursor->document();
    for (QTextBlock block = notesDocument->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (const QTextCharFormat format = it.fragment().charFormat(); format.isImageFormat()) {
                const QUrl name(format.toImageFormat().name());
                document->addResource(QTextDocument::ImageResource, name,
                                      notesDocument->resource(QTextDocument::ImageResource, name));
            }
    body.pendingParagraph = body.started;
    startOutput();
    body.cursor->insertFragment(QTextDocumentFragment(notesDocument.get()));
}

QTextCharFormat Reader::charFormat()
{
    if (formatBuilt && formatChars == out->pendingChars)
        return format;
    formatChars = out->pendingChars;
    formatBuilt = true;
    format = QTextCharFormat();
    const auto font = fonts.find(out->pendingChars.font);
    if (font != fonts.end() && !font->second.name.isEmpty())
        format.setFontFamilies({font->second.name});
    if (out->pendingChars.size > 0)
        format.setFontPointSize(out->pendingChars.size / 2.0);
    format.setFontWeight(out->pendingChars.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(out->pendingChars.italic);
    format.setFontUnderline(out->pendingChars.underline);
    if (out->pendingChars.colour > 0 && out->pendingChars.colour < colours.size() && colours[out->pendingChars.colour].isValid())
        format.setForeground(colours[out->pendingChars.colour]);
    return format;
}

}

using RtfRead::Reader;

bool insertRtf(QTextCursor& cursor, const QByteArray& rtf, QList<LeftOutPicture>* leftOut, const std::atomic<bool>* cancelled)
{
    qsizetype start = 0;
    while (start < rtf.size() && (rtf[start] == ' ' || rtf[start] == '\r' || rtf[start] == '\n' || rtf[start] == '\t'))
        ++start;
    if (!QByteArrayView(rtf).sliced(start).startsWith("{\\rtf"))
        return false;
    QTextDocument* document = cursor.document();
    // A new document has nothing to undo, and recording every step of a long
    // file would cost a fifth of the reading time.
    const bool recordSteps = document->isUndoRedoEnabled()
        && !(document->isEmpty() && document->availableUndoSteps() == 0 && document->availableRedoSteps() == 0);
    const bool undoWasOn = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(recordSteps);
    cursor.beginEditBlock();
    Reader reader(cursor, QByteArrayView(rtf).sliced(start), {QDeadlineTimer(metafileTimeLimitMs), cancelled}, leftOut);
    reader.read();
    cursor.endEditBlock();
    document->setUndoRedoEnabled(undoWasOn);
    return true;
}
