#pragma once
#include "editor/rtf/document_picture.h"

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

// The picture as the document holds it; nullopt for data that cannot be
// shown. Metafiles are drawn by the metafile helper.
std::optional<DocumentPicture> pictureOfPict(const RtfPict& pict);
