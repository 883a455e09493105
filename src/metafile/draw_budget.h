#pragma once
#include <QtGlobal>

// What one metafile may cost to draw, so that a hostile file is drawn in
// well under a second: past a limit its records are drawn cheaper (a dotted
// line solid) or not at all.
namespace Metafile::Gdi {

// Points a single record may draw; the rest of a longer one is left out.
constexpr qint64 maxRecordPoints = 250'000;
// A pen or a font is never drawn larger than this many times the picture's
// longer side.
constexpr double maxSizeAgainstPage = 2;
// Saved states a file may stack without restoring them.
constexpr size_t maxSavedStates = 4096;

struct Budget {
    qint64 work = 20'000'000;  // pixels drawn or crossed, about: see Canvas::paint
    qint64 dashes = 200'000;    // dashes and dots of styled pens
    qint64 characters = 200'000;  // weighed by their size: see Canvas::text

    // Takes cost from pool; false when it does not hold, which empties it:
    // what comes after a record too costly is not drawn either.
    static bool spend(qint64& pool, qint64 cost)
    {
        if (cost > pool) {
            pool = 0;
            return false;
        }
        pool -= cost;
        return true;
    }
};

}
