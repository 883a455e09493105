#pragma once
#include <QByteArray>

// Text in the symbol fonts of Windows and of equation editors is stored as
// codes of the font's own encoding (often moved to U+F020-U+F0FF): 0xB3 is
// "≥" in Symbol and a check mark is 0xFC in Wingdings. Drawn in another font
// they would come out as Latin letters or nothing.
namespace Metafile {

// An SVG document of libemf2svg with the text of its symbol fonts turned
// into Unicode characters.
QByteArray svgSymbolsAsUnicode(const QByteArray& svg);

}
