#include "metafile/symbol_fonts.h"

#include <QList>

#include <string_view>

namespace Metafile {

namespace {

using namespace std::string_view_literals;

// Codes 0x20 to 0xFF of each encoding; 0 where it has no character.
constexpr std::u32string_view symbol =
    U" !∀#∃%&∋()∗+,−./0123456789:;<=>?≅ΑΒΧΔΕΦΓΗΙϑΚΛΜΝΟΠΘΡΣΤΥςΩΞΨΖ[∴]⊥_‾αβχδεφγηιϕκλμνοπθρστυϖωξψζ{|}∼\0"
    U"\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0"
    U"€ϒ′≤⁄∞ƒ♣♦♥♠↔←↑→↓°±″≥×∝∂•÷≠≡≈…⏐⎯↵ℵℑℜ℘⊗⊕∅∩∪⊃⊇⊄⊂⊆∈∉∠∇®©™∏√⋅¬∧∨⇔⇐⇑⇒⇓◊〈®©™∑⎛⎜⎝⎡⎢⎣⎧⎨⎩⎪\0〉∫⌠⎮⌡⎞⎟⎠⎤⎥⎦⎫⎬⎭\0"sv;
constexpr std::u32string_view wingdings =
    U" ✏✂✁👓🕭🕮🕯☎✆✉🖃📪📫📬📭📁📂📄🗏🗐🗄⌛🖮🖰🖲🖳🖴🖫🖬✇✍🖎✌👌👍👎☜☞☝☟✋☺😐☹💣☠🏳🏱✈☼💧❄🕆✞🕈✠✡☪☯ॐ☸"
    U"♈♉♊♋♌♍♎♏♐♑♒♓🙰🙵●🔾■□🞐❑❒⬧⧫◆❖⬥⌧⮹⌘🏵🏶🙶🙷\0"
    U"⓪①②③④⑤⑥⑦⑧⑨⑩⓿❶❷❸❹❺❻❼❽❾❿🙢🙠🙡🙣🙞🙜🙝🙟·•"
    U"▪⚪🞆🞈◉◎🔿▪◻🟂✦★✶✴✹✵⯐⌖⟡⌑⯑✪✰🕐🕑🕒🕓🕔🕕🕖🕗🕘🕙🕚🕛⮰⮱⮲⮳⮴⮵⮶⮷🙪🙫🙕🙔🙗🙖🙐🙑🙒🙓⌫⌦"
    U"⮘⮚⮙⮛⮈⮊⮉⮋🡨🡪🡩🡫🡬🡭🡯🡮🡸🡺🡹🡻🡼🡽🡿🡾⇦⇨⇧⇩⬄⇳⬀⬁⬃⬂🢬🢭🗶✔🗷🗹\0"sv;
static_assert(symbol.size() == 224 && wingdings.size() == 224);

// Equation editors' symbol fonts keep Symbol's encoding.
std::u32string_view encodingOf(QStringView family)
{
    for (const char* name : {"Symbol", "MT Symbol", "Euclid Symbol", "Symbol MT"})
        if (family.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return symbol;
    if (family.startsWith(QLatin1String("Wingdings"), Qt::CaseInsensitive))
        return wingdings;
    return {};
}

}

bool isSymbolFont(QStringView family)
{
    return !encodingOf(family).empty();
}

QString symbolsAsUnicode(QStringView family, const QString& text)
{
    const std::u32string_view encoding = encodingOf(family);
    if (encoding.empty())
        return text;
    QString out;
    out.reserve(text.size());
    for (const char32_t c : text.toUcs4()) {
        // Windows moves the codes of a symbol font to U+F020-U+F0FF.
        const char32_t code = c >= 0xF020 && c <= 0xF0FF ? c - 0xF000 : c;
        const char32_t mapped = code >= 0x20 && code <= 0xFF ? encoding[code - 0x20] : 0;
        const char32_t shown = mapped ? mapped : c;
        out += QString::fromUcs4(&shown, 1);
    }
    return out;
}

}
