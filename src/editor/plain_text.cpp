#include "editor/plain_text.h"

#include <QStringDecoder>

QString withoutPictures(QString text)
{
    text.remove(QChar::ObjectReplacementCharacter);
    return text;
}

QString decodePlainText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}
