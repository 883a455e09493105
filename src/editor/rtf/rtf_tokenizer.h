#pragma once
#include <QByteArrayView>

// One piece of a rich-text file.
struct RtfToken {
    enum Kind { End, Open, Close, Word, Symbol, Hex, Text };
    Kind kind = End;
    // A control word's name (at most maxWordLength letters), or a run of
    // plain text up to the next backslash or brace.
    QByteArrayView text;
    bool hasParameter = false;
    // Clamped to the 32-bit range, as word processors read it.
    int parameter = 0;
    // A control symbol's character, or the byte of \'hh.
    unsigned char byte = 0;
};

// Splits a rich-text file into tokens in one pass. Nothing read from the file
// decides how much is allocated or how far it looks ahead.
class RtfTokenizer {
public:
    static constexpr int maxWordLength = 32;

    explicit RtfTokenizer(QByteArrayView data) : data(data) {}
    RtfToken next();
    // The data of \binN: at most what is left of the file.
    QByteArrayView takeBinary(qint64 length);

private:
    RtfToken controlWord();
    QByteArrayView data;
    qsizetype pos = 0;
};
