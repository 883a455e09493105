#include "editor/rtf/rtf.h"

#include "editor/rtf/document_picture.h"

#include <QColor>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>

#include <cmath>

namespace {

constexpr int twipsPerPixel = 15;

// Characters that Windows-1252 holds above 0x7F, for the fallback of \uN.
char ansiFallback(char16_t c)
{
    if (c >= 0xA0 && c <= 0xFF)
        return char(c);
    static constexpr char16_t high[32] = {
        0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
        0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};
    for (int i = 0; i < 32; ++i)
        if (high[i] == c)
            return char(0x80 + i);
    return '?';
}

void appendHexByte(QByteArray& out, unsigned char b)
{
    static constexpr char digits[] = "0123456789abcdef";
    out.append(digits[b >> 4]);
    out.append(digits[b & 15]);
}

void appendText(QByteArray& out, QStringView text)
{
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c == '\\' || c == '{' || c == '}') {
            out.append('\\');
            out.append(char(c));
        } else if (c == '\t') {
            out.append("\\tab ");
        } else if (c == QChar::LineSeparator) {
            out.append("\\line ");
        } else if (c >= 0x20 && c < 0x80) {
            out.append(char(c));
        } else if (c < 0x20) {
            continue;
        } else {
            // \uc1: one fallback character follows every \uN.
            out.append("\\u");
            out.append(QByteArray::number(int(qint16(c))));
            const char fallback = ansiFallback(c);
            if (fallback == '?') {
                out.append('?');
            } else {
                out.append("\\'");
                appendHexByte(out, static_cast<unsigned char>(fallback));
            }
        }
    }
}

struct RunState {
    int font = 0;
    int size = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int colour = 0;
};

class Writer {
public:
    explicit Writer(const QTextDocument& document) : document(document) {}
    QByteArray write();

private:
    void collectTables();
    RunState stateOf(const QTextCharFormat& format) const;
    void switchTo(const RunState& next);
    void picture(const QTextImageFormat& format);
    int fontIndex(const QString& family) const { return int(fonts.indexOf(family)); }

    const QTextDocument& document;
    QStringList fonts;
    QList<QRgb> colours;
    QByteArray out;
    RunState current;
};

QString familyOf(const QTextCharFormat& format, const QFont& fallback)
{
    const QStringList families = format.fontFamilies().toStringList();
    return families.isEmpty() || families.front().isEmpty() ? fallback.family() : families.front();
}

void Writer::collectTables()
{
    fonts.append(document.defaultFont().family());
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            const QString family = familyOf(format, document.defaultFont());
            if (!fonts.contains(family))
                fonts.append(family);
            if (format.hasProperty(QTextFormat::ForegroundBrush)) {
                const QRgb rgb = format.foreground().color().rgb();
                if (!colours.contains(rgb))
                    colours.append(rgb);
            }
        }
    }
}

RunState Writer::stateOf(const QTextCharFormat& format) const
{
    const QFont font = format.font().resolve(document.defaultFont());
    RunState s;
    s.font = fontIndex(familyOf(format, document.defaultFont()));
    const double points = format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize() : font.pointSizeF();
    s.size = points > 0 ? int(std::lround(points * 2)) : 24;
    s.bold = format.fontWeight() >= QFont::DemiBold;
    s.italic = format.fontItalic();
    s.underline = format.fontUnderline();
    if (format.hasProperty(QTextFormat::ForegroundBrush))
        s.colour = int(colours.indexOf(format.foreground().color().rgb())) + 1;
    return s;
}

void Writer::switchTo(const RunState& next)
{
    const qsizetype before = out.size();
    if (next.font != current.font)
        out.append("\\f").append(QByteArray::number(next.font));
    if (next.size != current.size)
        out.append("\\fs").append(QByteArray::number(next.size));
    if (next.bold != current.bold)
        out.append(next.bold ? "\\b" : "\\b0");
    if (next.italic != current.italic)
        out.append(next.italic ? "\\i" : "\\i0");
    if (next.underline != current.underline)
        out.append(next.underline ? "\\ul" : "\\ulnone");
    if (next.colour != current.colour)
        out.append("\\cf").append(QByteArray::number(next.colour));
    if (out.size() != before)
        out.append(' ');
    current = next;
}

void Writer::picture(const QTextImageFormat& format)
{
    const std::optional<DocumentPicture> p = documentPicture(document, format);
    if (!p)
        return;
    out.append("{\\pict");
    out.append(isJpeg(p->bytes) ? "\\jpegblip" : "\\pngblip");
    out.append("\\picw").append(QByteArray::number(p->natural.width()));
    out.append("\\pich").append(QByteArray::number(p->natural.height()));
    out.append("\\picwgoal").append(QByteArray::number(p->shown.width() * twipsPerPixel));
    out.append("\\pichgoal").append(QByteArray::number(p->shown.height() * twipsPerPixel));
    out.append('\n');
    const qsizetype lineBytes = 64;
    out.reserve(out.size() + p->bytes.size() * 2 + p->bytes.size() / lineBytes + 4);
    for (qsizetype i = 0; i < p->bytes.size(); ++i) {
        appendHexByte(out, static_cast<unsigned char>(p->bytes[i]));
        if (i % lineBytes == lineBytes - 1)
            out.append('\n');
    }
    out.append("}");
}

QByteArray Writer::write()
{
    collectTables();
    out.reserve(document.characterCount() + 1024);
    out.append("{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\\deftab720\n{\\fonttbl");
    for (int i = 0; i < fonts.size(); ++i) {
        out.append("{\\f").append(QByteArray::number(i)).append("\\fnil\\fcharset0 ");
        appendText(out, fonts[i]);
        out.append(";}");
    }
    out.append("}\n{\\colortbl;");
    for (const QRgb rgb : colours) {
        out.append("\\red").append(QByteArray::number(qRed(rgb)));
        out.append("\\green").append(QByteArray::number(qGreen(rgb)));
        out.append("\\blue").append(QByteArray::number(qBlue(rgb)));
        out.append(';');
    }
    out.append("}\n{\\*\\generator Pixalto 3.0;}\n\\pard\\plain\\f0\\fs24 ");
    current = RunState();
    current.size = 24;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            switchTo(stateOf(format));
            if (format.isImageFormat()) {
                // One fragment holds one replacement character per image.
                for (int i = 0; i < fragment.length(); ++i)
                    picture(format.toImageFormat());
            } else {
                appendText(out, fragment.text());
            }
        }
        out.append("\\par\n");
    }
    out.append("}\n");
    return out;
}

}

QByteArray writeRtf(const QTextDocument& document)
{
    return Writer(document).write();
}
