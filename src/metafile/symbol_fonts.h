#pragma once
#include <QString>

// Text in the symbol fonts of Windows and of equation editors is stored as
// codes of the font's own encoding (often moved to U+F020-U+F0FF): 0xB3 is
// "≥" in Symbol and a check mark is 0xFC in Wingdings. Drawn in another font
// they would come out as Latin letters or nothing.
namespace Metafile {

bool isSymbolFont(QStringView family);

// The text as the Unicode characters its codes stand for in family's
// encoding; as it is in any other font.
QString symbolsAsUnicode(QStringView family, const QString& text);

}
