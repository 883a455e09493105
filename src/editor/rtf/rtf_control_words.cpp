#include "editor/rtf/rtf_reader.h"

#include <algorithm>

// The control words the reader knows: which start a destination of their
// own, and what each of the others changes.
namespace RtfRead {

bool Reader::destinationWord(QByteArrayView word)
{
    Destination& d = state().destination;
    const bool listTables = d == Destination::ListTable || d == Destination::ListOverrideTable;
    if (listTables && (word == "pict" || word == "levelnumbers" || word == "listname")) {
        d = Destination::Skip;
    } else if (d == Destination::ListTable && word == "leveltext") {
        d = Destination::LevelText;
        levelText.clear();
        levelBytes.clear();
    } else if (word == "listtable") {
        d = Destination::ListTable;
    } else if (word == "listoverridetable") {
        d = Destination::ListOverrideTable;
    } else if (word == "pn" && d == Destination::Text) {
        d = Destination::Numbering;
        state().numbering = OldNumbering();
    } else if (d == Destination::Numbering && (word == "pntxtb" || word == "pntxta")) {
        d = word == "pntxtb" ? Destination::NumberBefore : Destination::NumberAfter;
    } else if (word == "listtext" || word == "pntext") {
        if (d != Destination::Text) {
            d = Destination::Skip;
        } else {
            d = Destination::ListText;
            storedLabel.clear();
        }
    } else if (word == "fonttbl") {
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
    } else if (word == "footnote") {
        // A note in a note stays where it is.
        if (d != Destination::Text)
            d = Destination::Skip;
        else if (out == &body)
            startFootnote();
    } else if (word == "shpinst") {
        // Word's shapes, pictures among them. Their \shprslt is what
        // readers without shapes show instead.
        if (d != Destination::Text && d != Destination::Shape)
            d = Destination::Skip;
        else
            d = Destination::Shape;
    } else if (d == Destination::Shape && word == "sn") {
        d = Destination::ShapeName;
        shapeProperty.clear();
    } else if (d == Destination::Shape && word == "sv") {
        if (shapeProperty.trimmed() != "pib")
            d = Destination::Skip;
    } else if (d == Destination::Shape && word == "shptxt") {
        d = Destination::Text;
    } else if (word == "shppict" || word == "nesttableprops") {
        // The picture in it is read, its \nonshppict twin not; a nested
        // table's properties end its row.
    } else if (word == "nonshppict" || word == "stylesheet" || word == "info" || word == "revtbl"
               || word == "rsidtbl" || word == "header" || word == "headerl" || word == "headerr"
               || word == "headerf" || word == "footer" || word == "footerl" || word == "footerr"
               || word == "footerf" || word == "fldinst" || word == "xe" || word == "tc" || word == "txe"
               || word == "annotation" || word == "atnid" || word == "atnauthor" || word == "generator"
               || word == "themedata" || word == "colorschememapping" || word == "datastore"
               || word == "latentstyles" || word == "pgdsctbl" || word == "objdata" || word == "bkmkstart"
               || word == "bkmkend" || word == "nonesttables" || word == "shprslt") {
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
    if ((s.destination == Destination::ListTable || s.destination == Destination::ListOverrideTable)
        && listWord(word, p))
        return;
    if (s.destination == Destination::Numbering && numberingWord(word, p))
        return;
    CharState& c = s.chars;
    if (word == "u") {
        unicode(p);
    } else if (word == "uc") {
        s.unicodeSkip = std::clamp(p, 0, maxUnicodeSkip);
    } else if (word == "par" || word == "sect" || word == "page") {
        paragraph();
    } else if (word == "row" || word == "nestrow") {
        // The row's end is no paragraph of a list.
        if (s.destination == Destination::Text)
            out->labelDue = false;
        paragraph();
    } else if (word == "line") {
        addChar(QChar::LineSeparator);
    } else if (word == "tab") {
        addChar(u'\t');
    } else if (word == "cell" || word == "nestcell") {
        addChar(u'\t');
        // Each cell's paragraph has a label of its own.
        if (s.destination == Destination::Text)
            out->labelDue = true;
    } else if (word == "pard") {
        s.list = 0;
        s.listLevel = 0;
        s.numbering = OldNumbering();
    } else if (word == "ls") {
        s.list = p;
    } else if (word == "ilvl") {
        s.listLevel = p;
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
            tableCharsetPage = 0;
            tableCpg = 0;
        } else {
            c.font = p;
        }
    } else if (word == "fs") {
        c.size = std::clamp(p, 0, 3276);
    } else if (word == "cf") {
        c.colour = p;
    } else if (word == "fcharset") {
        tableCharsetPage = codePageOfCharset(p);
    } else if (word == "cpg") {
        tableCpg = std::max(p, 0);
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
    } else if (word == "chftn") {
        if (out == &notes)
            addText(QString::number(footnotes));
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
}
