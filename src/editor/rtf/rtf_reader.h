#pragma once

#include "core/code_page.h"
#include "editor/rtf/rtf.h"
#include "editor/rtf/rtf_lists.h"
#include "editor/rtf/rtf_pict.h"
#include "editor/rtf/rtf_tokenizer.h"

#include <QColor>
#include <QTextCursor>
#include <QTextDocument>

#include <memory>
#include <unordered_map>
#include <vector>

// The RTF reader's state machine, shared by the reader and its table of
// control words.
namespace RtfRead {

// Deeper groups are read with the state of the deepest one kept.
constexpr int maxDepth = 1000;
// More fallback characters than any writer puts after \uN.
constexpr int maxUnicodeSkip = 16;

// Shape holds a shape's properties: no text, but the picture of its "pib"
// property. ShapeName is the name of a property. ListText is the label a
// writer stored for a list paragraph, LevelText a list level's label,
// Numbering the old-style numbering of a paragraph (\pn) and NumberBefore
// and NumberAfter the texts around its number.
enum class Destination {
    Text,
    Skip,
    FontTable,
    ColorTable,
    Picture,
    Shape,
    ShapeName,
    ListTable,
    ListOverrideTable,
    LevelText,
    ListText,
    Numbering,
    NumberBefore,
    NumberAfter
};

// The paragraph numbering of Word 6 (\pn), which readers of lists still
// number by where a paragraph names no list of the list table.
struct OldNumbering {
    // As \levelnfc; -1 for none.
    int format = -1;
    int startAt = 1;
    int font = -1;
    QString before;
    QString after;
    // Numbered by the section's outline levels, which are not read: the
    // stored \pntext is shown instead.
    bool outline = false;
};

// The bullet of lists, in the font Word gives them, as a byte or as Word
// writes that font's characters in Unicode.
QChar glyph(char16_t c, bool symbolFont);

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
    // The paragraph's list override (\ls, 0 for none) and level.
    int list = 0;
    int listLevel = 0;
    OldNumbering numbering;
};

struct Font {
    QString name;
    int codePage = 0;
    // Its bytes are glyphs of the Symbol font, not characters.
    bool symbol = false;
};

// Where text goes: the body, at the caller's cursor, or the notes, which
// follow the body once it is read.
struct Output {
    QTextCursor* cursor = nullptr;
    // Bytes not yet decoded, in one code page.
    QByteArray bytes;
    int bytesCodePage = 1252;
    // Text not yet inserted, all with one format.
    QString pending;
    CharState pendingChars;
    bool pendingParagraph = false;
    bool started = false;
    // The paragraph has no text yet: its list label comes first.
    bool labelDue = true;
};

class Reader {
public:
    Reader(QTextCursor& cursor, QByteArrayView data, const DrawingTime& drawingTime, QList<LeftOutPicture>* leftOut)
        : tokens(data), drawingTime(drawingTime), leftOut(leftOut), blockFormat(cursor.blockFormat())
    {
        body.cursor = &cursor;
    }
    void read();

private:
    GroupState& state() { return stack.back(); }
    void openGroup();
    void closeGroup();
    void controlWord(QByteArrayView word, bool hasParameter, int parameter);
    bool destinationWord(QByteArrayView word);
    bool listWord(QByteArrayView word, int parameter);
    bool numberingWord(QByteArrayView word, int parameter);
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
    void putLabel();
    QString* labelText();
    void endLevelText();
    void startFootnote();
    void endFootnote();
    void appendNotes();
    void startOutput();
    int codePage();
    bool isSymbolFont(int font);
    int tableCodePage();
    QTextCharFormat charFormat();

    void fontTableText(QByteArrayView bytes);
    void colourTableText(QByteArrayView bytes);
    void pictureText(QByteArrayView bytes);
    void endPicture();

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
    // The code pages \fcharset and \cpg name for the entry; 0 for none.
    int tableCharsetPage = 0;
    int tableCpg = 0;
    QColor tableColour;
    bool tableColourSet = false;

    RtfLists lists;
    // The \listtext or \pntext of the paragraph to come, shown where its
    // list is not in the list table.
    QString storedLabel;
    QString levelText;
    QByteArray levelBytes;
    // The number of the last paragraph, while paragraphs of old-style
    // numbering follow each other; 0 after any other.
    int oldNumber = 0;

    // The name of the shape property last read.
    QByteArray shapeProperty;

    RtfPict pict;
    const DrawingTime drawingTime;
    QList<LeftOutPicture>* leftOut;
    // The pictures met so far, shown or not.
    int pictures = 0;
    int pictDepth = -1;
    int pendingNibble = -1;

    CodePageDecoder decoder;
    Output body;
    // Footnotes and endnotes, made on the first.
    Output notes;
    std::unique_ptr<QTextDocument> notesDocument;
    std::unique_ptr<QTextCursor> notesCursor;
    Output* out = &body;
    int footnoteDepth = -1;
    int footnotes = 0;
    CharState formatChars;
    QTextCharFormat format;
    bool formatBuilt = false;
    // Every paragraph takes the format of the one the cursor was in.
    QTextBlockFormat blockFormat;
};
}
