#pragma once

// What the separate windows add, in twips, to their picture or player: the
// width, and the height on opening and after a key zoom (besides the status
// bar).
namespace SeparateAllowance {
inline constexpr double width = 100;
inline constexpr double openingHeight = 350;
inline constexpr double zoomHeight = 300;
}

// A picture's size, in twips, fitted into a separate picture window.
struct FittedPicture {
    double width;
    double height;
    bool shrunk;
};

// Fits a picture so that it takes less than 0.6 of the screen in each
// direction. A picture that already does keeps its size; otherwise each pass
// takes 0.9 of the height, then of the width, until the height and then the
// width are below the limit. Sizes are stored and compared in single
// precision, strictly, as the picture view holds them. A pass that shrinks
// nothing any more ends the fitting, so a screen too small for any picture
// cannot hang it.
FittedPicture fitpicture(double width, double height, double screenWidth, double screenHeight);
