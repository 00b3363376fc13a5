#pragma once
// The desktop's palette for the newer windows: whether it is dark, and hint labels whose quieter
// text follows the palette of the window they are in, also when the desktop changes it.

#include <QColor>

#include "base/Lightness.h"

class QLabel;
class QPalette;

namespace velkor {

inline Rgb toRgb(const QColor& colour) {
    return {colour.red(), colour.green(), colour.blue()};
}

inline QColor toQColor(const Rgb& colour) {
    return {colour.red, colour.green, colour.blue};
}

// A palette whose window colour is dark: light text on a dark window.
bool isDarkPalette(const QPalette& palette);

// A hint's colour in that palette, between its window text and its window.
QColor hintColour(const QPalette& palette);

// Paints the label's text in a hint's colour, from the palette of the widget that holds it, now
// and whenever that palette changes.
void showAsHint(QLabel* label);

}  // namespace velkor
