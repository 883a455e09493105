#pragma once

#include "editor/rtf/code_page.h"
#include "editor/rtf/rtf.h"
#include "editor/rtf/rtf_pict.h"
#include "editor/rtf/rtf_tokenizer.h"

#include <QColor>
#include <QTextCursor>
#include <QTextDocument>

#include <unordered_map>
#include <vector>

// The RTF reader's state machine, shared by the reader and its table of
// control words.
namespace RtfRead {

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
    Reader(QTextCursor& cursor, QByteArrayView data, const DrawingTime& drawingTime, QList<LeftOutPicture>* leftOut)
        : cursor(cursor), tokens(data), drawingTime(drawingTime), leftOut(leftOut), blockFormat(cursor.blockFormat())
    {
    }
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
    const DrawingTime drawingTime;
    QList<LeftOutPicture>* leftOut;
    // The pictures met so far, shown or not.
    int pictures = 0;
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
}
