#include "editor/rtf/rtf.h"

#include "core/hex_digit.h"
#include "editor/rtf/code_page.h"
#include "editor/rtf/rtf_pict.h"
#include "editor/rtf/rtf_tokenizer.h"

#include <QColor>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace {

// Deeper groups are read with the state of the deepest one kept.
constexpr int maxDepth = 1000;
// More fallback characters than any writer puts after \uN.
constexpr int maxUnicodeSkip = 16;

enum class Destination { Text, Skip, FontTable, ColorTable, Picture };

struct CharState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int font = -1;
    // Half points; 0 leaves the document's size.
    int size = 0;
    int colour = 0;
    bool operator==(const CharState&) const = default;
};

struct GroupState {
    CharState chars;
    Destination destination = Destination::Text;
    int unicodeSkip = 1;
};

struct Font {
    QString name;
    int codePage = 0;
};

class Reader {
public:
    Reader(QTextCursor& cursor, QByteArrayView data) : cursor(cursor), tokens(data), blockFormat(cursor.blockFormat()) {}
    void read();

private:
    GroupState& state() { return stack.back(); }
    void openGroup();
    void closeGroup();
    void controlWord(QByteArrayView word, bool hasParameter, int parameter);
    bool destinationWord(QByteArrayView word);
    void symbol(unsigned char c);
    void text(QByteArrayView bytes);
    void byte(unsigned char b);
    void unicode(int value);
    void skipFallback(QByteArrayView& bytes);

    void addBytes(QByteArrayView bytes);
    void addText(QStringView text);
    void addChar(QChar c);
    void flushBytes();
    void flushText();
    void paragraph();
    void startOutput();
    int codePage();
    int tableCodePage();
    QTextCharFormat charFormat();

    void fontTableText(QByteArrayView bytes);
    void colourTableText(QByteArrayView bytes);
    void pictureText(QByteArrayView bytes);
    void endPicture();

    QTextCursor& cursor;
    RtfTokenizer tokens;
    std::vector<GroupState> stack;
    int overflowDepth = 0;
    // Skipped fallback characters still due after \uN.
    int pendingSkip = 0;
    // \* seen: an unknown destination that follows is skipped.
    bool ignorable = false;

    int documentCodePage = 1252;
    int defaultFont = 0;
    std::unordered_map<int, Font> fonts;
    QList<QColor> colours;

    int tableFont = -1;
    QByteArray tableFontBytes;
    QString tableFontName;
    int tableCharset = -1;
    QColor tableColour;
    bool tableColourSet = false;

    RtfPict pict;
    int pictDepth = -1;
    int pendingNibble = -1;

    CodePageDecoder decoder;
    QByteArray bytes;
    int bytesCodePage = 1252;
    QString pending;
    CharState pendingChars;
    bool pendingParagraph = false;
    bool started = false;
    CharState formatChars;
    QTextCharFormat format;
    bool formatBuilt = false;
    // Every paragraph takes the format of the one the cursor was in.
    QTextBlockFormat blockFormat;
};

void Reader::read()
{
    stack.push_back({});
    // The caller made sure the data opens with "{\rtf".
    tokens.next();
    for (;;) {
        const RtfToken t = tokens.next();
        switch (t.kind) {
        case RtfToken::End:
            flushText();
            return;
        case RtfToken::Open:
            openGroup();
            break;
        case RtfToken::Close:
            if (stack.size() == 1 && overflowDepth == 0) {
                flushText();
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
    if (leaving == Destination::Picture && int(stack.size()) == pictDepth)
        endPicture();
    stack.pop_back();
}

void Reader::symbol(unsigned char c)
{
    if (pendingSkip > 0) {
        --pendingSkip;
        return;
    }
    if (state().destination != Destination::Text) {
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
        addBytes(QByteArrayView(reinterpret_cast<const char*>(&b), 1));
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
        // Line ends and other control bytes are dropped when the text is
        // put in.
        addBytes(bytes);
        break;
    case Destination::FontTable:
        fontTableText(bytes);
        break;
    case Destination::ColorTable:
        colourTableText(bytes);
        break;
    case Destination::Picture:
        pictureText(bytes);
        break;
    case Destination::Skip:
        break;
    }
}

void Reader::unicode(int value)
{
    const QChar c(char16_t(value < 0 ? value + 65536 : value));
    if (state().destination == Destination::Text) {
        addChar(c);
    } else if (state().destination == Destination::FontTable && tableFont >= 0) {
        decoder.append(tableFontName, tableFontBytes, tableCodePage());
        tableFontBytes.clear();
        tableFontName.append(c);
    }
    pendingSkip = state().unicodeSkip;
}

bool Reader::destinationWord(QByteArrayView word)
{
    Destination& d = state().destination;
    if (word == "fonttbl") {
        d = Destination::FontTable;
        tableFont = -1;
    } else if (word == "colortbl") {
        d = Destination::ColorTable;
        tableColourSet = false;
        tableColour = QColor(0, 0, 0);
    } else if (word == "pict") {
        if (d == Destination::Picture) {
            d = Destination::Skip;
            return true;
        }
        d = Destination::Picture;
        pict = RtfPict();
        pictDepth = int(stack.size());
        pendingNibble = -1;
    } else if (word == "shppict") {
        // The picture in it is read; its \nonshppict twin is not.
    } else if (word == "nonshppict" || word == "stylesheet" || word == "info" || word == "listtable"
               || word == "listoverridetable" || word == "revtbl" || word == "rsidtbl" || word == "header"
               || word == "headerl" || word == "headerr" || word == "headerf" || word == "footer"
               || word == "footerl" || word == "footerr" || word == "footerf" || word == "fldinst"
               || word == "xe" || word == "tc" || word == "txe" || word == "footnote" || word == "annotation"
               || word == "atnid" || word == "atnauthor" || word == "generator" || word == "themedata"
               || word == "colorschememapping" || word == "datastore" || word == "latentstyles"
               || word == "pgdsctbl" || word == "objdata" || word == "bkmkstart" || word == "bkmkend") {
        d = Destination::Skip;
    } else {
        return false;
    }
    return true;
}

void Reader::controlWord(QByteArrayView word, bool hasParameter, int parameter)
{
    if (pendingSkip > 0 && word != "bin") {
        --pendingSkip;
        return;
    }
    GroupState& s = state();
    if (word == "bin") {
        const QByteArrayView data = tokens.takeBinary(hasParameter ? parameter : 0);
        if (pendingSkip > 0)
            --pendingSkip;
        else if (s.destination == Destination::Picture)
            pict.data.append(data);
        return;
    }
    if (s.destination == Destination::Skip)
        return;
    if (destinationWord(word))
        return;
    if (ignorable) {
        // A destination this reader does not know.
        s.destination = Destination::Skip;
        return;
    }
    const int p = parameter;
    CharState& c = s.chars;
    if (word == "u") {
        unicode(p);
    } else if (word == "uc") {
        s.unicodeSkip = std::clamp(p, 0, maxUnicodeSkip);
    } else if (word == "par" || word == "sect" || word == "page" || word == "row") {
        paragraph();
    } else if (word == "line") {
        addChar(QChar::LineSeparator);
    } else if (word == "tab" || word == "cell") {
        addChar(u'\t');
    } else if (word == "plain") {
        c = CharState();
        c.font = defaultFont;
    } else if (word == "b") {
        c.bold = !hasParameter || p != 0;
    } else if (word == "i") {
        c.italic = !hasParameter || p != 0;
    } else if (word == "ulnone") {
        c.underline = false;
    } else if (word.startsWith("ul") && word != "ulc") {
        c.underline = !hasParameter || p != 0;
    } else if (word == "f") {
        if (s.destination == Destination::FontTable) {
            tableFont = p;
            tableFontName.clear();
            tableFontBytes.clear();
            tableCharset = -1;
        } else {
            c.font = p;
        }
    } else if (word == "fs") {
        c.size = std::clamp(p, 0, 3276);
    } else if (word == "cf") {
        c.colour = p;
    } else if (word == "fcharset") {
        tableCharset = p;
    } else if (word == "red" || word == "green" || word == "blue") {
        const int v = std::clamp(p, 0, 255);
        tableColourSet = true;
        if (word == "red")
            tableColour.setRed(v);
        else if (word == "green")
            tableColour.setGreen(v);
        else
            tableColour.setBlue(v);
    } else if (word == "ansicpg") {
        documentCodePage = p;
    } else if (word == "mac") {
        documentCodePage = 10000;
    } else if (word == "pc") {
        documentCodePage = 437;
    } else if (word == "pca") {
        documentCodePage = 850;
    } else if (word == "deff") {
        defaultFont = p;
        c.font = p;
    } else if (word == "emdash") {
        addChar(QChar(0x2014));
    } else if (word == "endash") {
        addChar(QChar(0x2013));
    } else if (word == "bullet") {
        addChar(QChar(0x2022));
    } else if (word == "lquote") {
        addChar(QChar(0x2018));
    } else if (word == "rquote") {
        addChar(QChar(0x2019));
    } else if (word == "ldblquote") {
        addChar(QChar(0x201C));
    } else if (word == "rdblquote") {
        addChar(QChar(0x201D));
    } else if (s.destination == Destination::Picture) {
        if (word == "pngblip")
            pict.format = RtfPict::Png;
        else if (word == "jpegblip")
            pict.format = RtfPict::Jpeg;
        else if (word == "wmetafile")
            pict.format = RtfPict::Wmf;
        else if (word == "emfblip")
            pict.format = RtfPict::Emf;
        else if (word == "dibitmap")
            pict.format = RtfPict::Dib;
        else if (word == "picw")
            pict.width = p;
        else if (word == "pich")
            pict.height = p;
        else if (word == "picwgoal")
            pict.goalWidth = p;
        else if (word == "pichgoal")
            pict.goalHeight = p;
        else if (word == "picscalex")
            pict.scaleX = p;
        else if (word == "picscaley")
            pict.scaleY = p;
    }
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
        font.codePage = tableCharset >= 0 ? codePageOfCharset(tableCharset) : 0;
        font.name = tableFontName.trimmed();
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
    const std::optional<DocumentPicture> picture = pictureOfPict(pict);
    pict = RtfPict();
    if (!picture)
        return;
    flushText();
    startOutput();
    insertDocumentPicture(cursor, *picture);
}

int Reader::tableCodePage()
{
    const int page = tableCharset >= 0 ? codePageOfCharset(tableCharset) : 0;
    return page ? page : documentCodePage;
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
    const int page = codePage();
    if (!(state().chars == pendingChars)) {
        flushText();
        pendingChars = state().chars;
    } else if (page != bytesCodePage) {
        flushBytes();
    }
    bytesCodePage = page;
    bytes.append(b);
}

void Reader::addText(QStringView t)
{
    if (state().destination != Destination::Text)
        return;
    flushBytes();
    if (!(state().chars == pendingChars)) {
        flushText();
        pendingChars = state().chars;
    }
    pending.append(t);
}

void Reader::addChar(QChar c)
{
    addText(QStringView(&c, 1));
}

void Reader::flushBytes()
{
    decoder.append(pending, bytes, bytesCodePage);
    bytes.clear();
}

void Reader::startOutput()
{
    if (!started) {
        started = true;
        return;
    }
    if (pendingParagraph) {
        cursor.insertBlock(blockFormat, charFormat());
        pendingParagraph = false;
    }
}

void Reader::flushText()
{
    flushBytes();
    if (pending.isEmpty())
        return;
    // Characters the document keeps for its own structure never come in.
    pending.removeIf([](QChar c) {
        const char16_t u = c.unicode();
        return u == 0xFDD0 || u == 0xFDD1 || u == QChar::ObjectReplacementCharacter
            || u == QChar::ParagraphSeparator || (u < 0x20 && u != '\t');
    });
    if (pending.isEmpty())
        return;
    startOutput();
    cursor.insertText(pending, charFormat());
    pending.clear();
}

void Reader::paragraph()
{
    if (state().destination != Destination::Text)
        return;
    flushText();
    startOutput();
    pendingParagraph = true;
}

QTextCharFormat Reader::charFormat()
{
    if (formatBuilt && formatChars == pendingChars)
        return format;
    formatChars = pendingChars;
    formatBuilt = true;
    format = QTextCharFormat();
    const auto font = fonts.find(pendingChars.font);
    if (font != fonts.end() && !font->second.name.isEmpty())
        format.setFontFamilies({font->second.name});
    if (pendingChars.size > 0)
        format.setFontPointSize(pendingChars.size / 2.0);
    format.setFontWeight(pendingChars.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(pendingChars.italic);
    format.setFontUnderline(pendingChars.underline);
    if (pendingChars.colour > 0 && pendingChars.colour < colours.size() && colours[pendingChars.colour].isValid())
        format.setForeground(colours[pendingChars.colour]);
    return format;
}

}

bool insertRtf(QTextCursor& cursor, const QByteArray& rtf)
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
    Reader reader(cursor, QByteArrayView(rtf).sliced(start));
    reader.read();
    cursor.endEditBlock();
    document->setUndoRedoEnabled(undoWasOn);
    return true;
}
