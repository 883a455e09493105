#include "settings/ini_document.h"

#include "core/hex_digit.h"

#include <QStringDecoder>

#include <optional>

namespace {

enum class Kind { Blank, Comment, Group, Entry, Damaged };

struct Line {
    Kind kind = Kind::Damaged;
    QString name; // the group of a header, the key of an entry
    QString raw;  // the value of an entry as written
};

bool hasControlCharacter(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() < 0x20 && c != QLatin1Char('\t'))
            return true;
    return false;
}

// A quote left open would make QSettings read on into the following lines.
bool quotesClosed(const QString& raw)
{
    bool inQuotes = false;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (c == QLatin1Char('\\'))
            ++i;
        else if (c == QLatin1Char('"'))
            inQuotes = !inQuotes;
        else if (c == QLatin1Char(';') && !inQuotes)
            break;
    }
    return !inQuotes;
}

Line classify(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return {Kind::Blank, {}, {}};
    if (hasControlCharacter(t))
        return {};
    if (t.startsWith(QLatin1Char(';')))
        return {Kind::Comment, {}, {}};
    if (t.startsWith(QLatin1Char('['))) {
        const QString name = t.mid(1, t.size() - 2).trimmed();
        if (!t.endsWith(QLatin1Char(']')) || name.isEmpty() || name.contains(QLatin1Char('['))
            || name.contains(QLatin1Char(']')))
            return {};
        return {Kind::Group, name, {}};
    }
    const qsizetype equals = t.indexOf(QLatin1Char('='));
    if (equals <= 0)
        return {};
    const QString key = t.left(equals).trimmed();
    const QString raw = t.mid(equals + 1);
    // QSettings escapes these in the keys it writes.
    for (QChar c : {QLatin1Char('['), QLatin1Char(']'), QLatin1Char('"')})
        if (key.contains(c))
            return {};
    if (!quotesClosed(raw))
        return {};
    return {Kind::Entry, key, raw};
}

QList<QByteArray> byteLines(QByteArray bytes)
{
    bytes.replace("\r\n", "\n");
    bytes.replace('\r', '\n');
    QList<QByteArray> pieces = bytes.split('\n');
    if (!pieces.isEmpty() && pieces.last().isEmpty())
        pieces.removeLast();
    return pieces;
}

// The text of a stored string after the unescaping; QSettings marks texts
// that could be taken for its own variant notation with a leading "@".
QString fromVariantText(const QString& text)
{
    if (!text.startsWith(QLatin1Char('@')))
        return text;
    if (text.startsWith(QLatin1String("@@")))
        return text.mid(1);
    if (text == QLatin1String("@Invalid()"))
        return {};
    if (text.endsWith(QLatin1Char(')'))) {
        if (text.startsWith(QLatin1String("@String(")))
            return text.mid(8, text.size() - 9);
        if (text.startsWith(QLatin1String("@ByteArray(")))
            return QString::fromUtf8(text.mid(11, text.size() - 12).toLatin1());
    }
    return text;
}

} // namespace

namespace IniText {

QString escapeValue(const QString& value)
{
    QString text = value;
    if (text.contains(QChar(u'\0')))
        text = QStringLiteral("@String(") + text + QLatin1Char(')');
    else if (text.startsWith(QLatin1Char('@')))
        text.prepend(QLatin1Char('@'));

    QString out;
    bool needsQuotes = false;
    // After a numeric escape a following hex digit would be read as part of it.
    bool escapeNextIfDigit = false;
    for (QChar c : std::as_const(text)) {
        const char16_t ch = c.unicode();
        if (ch == ';' || ch == ',' || ch == '=')
            needsQuotes = true;
        if (escapeNextIfDigit && hexDigitValue(ch) >= 0) {
            out += QStringLiteral("\\x") + QString::number(ch, 16);
            continue;
        }
        escapeNextIfDigit = false;
        switch (ch) {
        case '\0': out += QStringLiteral("\\0"); escapeNextIfDigit = true; break;
        case '\a': out += QStringLiteral("\\a"); break;
        case '\b': out += QStringLiteral("\\b"); break;
        case '\f': out += QStringLiteral("\\f"); break;
        case '\n': out += QStringLiteral("\\n"); break;
        case '\r': out += QStringLiteral("\\r"); break;
        case '\t': out += QStringLiteral("\\t"); break;
        case '\v': out += QStringLiteral("\\v"); break;
        case '"':
        case '\\': out += QLatin1Char('\\'); out += c; break;
        default:
            if (ch <= 0x1F) {
                out += QStringLiteral("\\x") + QString::number(ch, 16);
                escapeNextIfDigit = true;
            } else {
                out += c;
            }
        }
    }
    if (needsQuotes || out.startsWith(QLatin1Char(' ')) || out.endsWith(QLatin1Char(' ')))
        out = QLatin1Char('"') + out + QLatin1Char('"');
    return out;
}

QString unescapeValue(QStringView raw)
{
    static const char16_t simpleEscapes[][2] = {{'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'},
                                                {'r', '\r'}, {'t', '\t'}, {'v', '\v'}, {'"', '"'},
                                                {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    QString out;
    qsizetype i = 0;
    const qsizetype n = raw.size();
    auto skipSpaces = [&] {
        while (i < n && (raw[i] == u' ' || raw[i] == u'\t'))
            ++i;
    };
    skipSpaces();
    bool inQuotes = false;
    bool quoted = false;
    // Trailing blanks are dropped, but never those an escape produced.
    qsizetype keep = 0;
    while (i < n) {
        const char16_t c = raw[i].unicode();
        if (c == '\\') {
            if (++i >= n)
                break;
            const char16_t e = raw[i++].unicode();
            bool simple = false;
            for (const auto& pair : simpleEscapes)
                if (e == pair[0]) {
                    out += QChar(pair[1]);
                    simple = true;
                }
            if (!simple && e == 'x' && i < n && hexDigitValue(raw[i].unicode()) >= 0) {
                char16_t v = 0;
                while (i < n && hexDigitValue(raw[i].unicode()) >= 0)
                    v = char16_t((v << 4) + hexDigitValue(raw[i++].unicode()));
                out += QChar(v);
            } else if (!simple && e >= '0' && e <= '7') {
                char16_t v = char16_t(e - '0');
                while (i < n && raw[i] >= u'0' && raw[i] <= u'7')
                    v = char16_t((v << 3) + (raw[i++].unicode() - '0'));
                out += QChar(v);
            }
            keep = out.size();
        } else if (c == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes) {
                skipSpaces();
                keep = out.size();
            }
        } else if (c == ';' && !inQuotes) {
            break;
        } else {
            out += raw[i++];
        }
    }
    if (!quoted) {
        qsizetype end = out.size();
        while (end > keep && (out.at(end - 1) == QLatin1Char(' ') || out.at(end - 1) == QLatin1Char('\t')))
            --end;
        out.truncate(end);
    }
    return fromVariantText(out);
}

} // namespace IniText

IniDocument IniDocument::parse(const QByteArray& bytes)
{
    IniDocument doc;
    auto take = [&doc](const QString& text) {
        if (classify(text).kind == Kind::Damaged)
            doc.isDamaged = true;
        else
            doc.lines.append(text);
    };
    const std::optional<QStringConverter::Encoding> bom = QStringConverter::encodingForData(bytes);
    if (bom && *bom != QStringConverter::Utf8) {
        doc.isDamaged = true;
        QStringDecoder decode(*bom);
        const QString text = decode(bytes);
        for (const QByteArray& piece : byteLines(text.toUtf8()))
            take(QString::fromUtf8(piece));
        return doc;
    }
    for (const QByteArray& piece : byteLines(bom ? bytes.mid(3) : bytes)) {
        QStringDecoder decode(QStringConverter::Utf8);
        const QString text = decode(piece);
        // A line that is not UTF-8 is left out as a whole: half a value must
        // not pass for the value.
        if (decode.hasError())
            doc.isDamaged = true;
        else
            take(text);
    }
    return doc;
}

QString IniDocument::value(const QString& group, const QString& key) const
{
    bool inGroup = false;
    std::optional<QString> exact;
    std::optional<QString> other;
    for (const QString& text : lines) {
        const Line line = classify(text);
        if (line.kind == Kind::Group)
            inGroup = line.name == group;
        else if (inGroup && line.kind == Kind::Entry && line.name.compare(key, Qt::CaseInsensitive) == 0)
            (line.name == key ? exact : other) = line.raw;
    }
    if (exact)
        return IniText::unescapeValue(*exact);
    if (other)
        return IniText::unescapeValue(*other);
    return {};
}

void IniDocument::setValue(const QString& group, const QString& key, const QString& value)
{
    const QString entry = key + QLatin1Char('=') + IniText::escapeValue(value);
    bool inGroup = false;
    int sections = 0;
    qsizetype insertAt = -1;
    QList<qsizetype> spellings;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Line line = classify(lines.at(i));
        if (line.kind == Kind::Group) {
            inGroup = line.name == group;
            if (inGroup && ++sections == 1)
                insertAt = i + 1;
            continue;
        }
        if (!inGroup)
            continue;
        if (sections == 1 && line.kind != Kind::Blank)
            insertAt = i + 1;
        if (line.kind == Kind::Entry && line.name.compare(key, Qt::CaseInsensitive) == 0)
            spellings.append(i);
    }
    if (!spellings.isEmpty()) {
        lines[spellings.takeFirst()] = entry;
        for (qsizetype k = spellings.size() - 1; k >= 0; --k)
            lines.removeAt(spellings.at(k));
    } else if (insertAt >= 0) {
        lines.insert(insertAt, entry);
    } else {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines.append(QString());
        lines.append(QLatin1Char('[') + group + QLatin1Char(']'));
        lines.append(entry);
    }
}

QByteArray IniDocument::toBytes() const
{
    return lines.isEmpty() ? QByteArray() : (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}
