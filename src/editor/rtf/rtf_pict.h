#pragma once
#include "editor/rtf/document_picture.h"

#include <QDeadlineTimer>

#include <atomic>

// No picture is shown larger than this many pixels a side, whatever the file
// asks for: twice the largest a word processor allows.
constexpr int maxShownSide = 4224;

// What a \pict group says of its picture.
struct RtfPict {
    enum Format { Unknown, Png, Jpeg, Wmf, Emf, Dib };
    Format format = Unknown;
    QByteArray data;
    // \picw and \pich: pixels for bitmaps, hundredths of a millimetre for
    // metafiles.
    int width = 0;
    int height = 0;
    // \picwgoal and \pichgoal in twips; 0 when not given.
    int goalWidth = 0;
    int goalHeight = 0;
    // \picscalex and \picscaley in percent.
    int scaleX = 100;
    int scaleY = 100;
};

// What the metafiles of one document may take to draw, all together: the
// time left, and a flag that gives the drawing up once the document is no
// longer wanted.
struct DrawingTime {
    QDeadlineTimer deadline;
    const std::atomic<bool>* cancelled = nullptr;
};

// The picture as the document holds it. Throws PxError saying why for data
// that cannot be shown. Metafiles are drawn by the metafile helper, in the
// time left.
DocumentPicture pictureOfPict(const RtfPict& pict, const DrawingTime& time);
