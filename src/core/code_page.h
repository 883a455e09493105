#pragma once
#include <QByteArrayView>
#include <QString>

#include <map>

// Turns the 8-bit text of a rich-text file or a metafile into Unicode.
// Windows-1252, the code page of nearly every file, is decoded here; every
// other code page through iconv. A byte that the code page does not define becomes U+FFFD, and
// so does every byte above ASCII in a code page iconv does not know.
class CodePageDecoder {
public:
    CodePageDecoder() = default;
    ~CodePageDecoder();
    CodePageDecoder(const CodePageDecoder&) = delete;
    CodePageDecoder& operator=(const CodePageDecoder&) = delete;

    void append(QString& out, QByteArrayView bytes, int codePage);

private:
    void* converter(int codePage);
    std::map<int, void*> converters;
};

// The code page a font's character set (an RTF \fcharset, a LOGFONT's
// lfCharSet) stands for; 0 when the charset names none and the document's
// code page applies.
int codePageOfCharset(int charset);
