#pragma once
// Whether the desktop's colours are light or dark, from the window's colour: the newer windows
// (the logbook's plots, the run summary) follow a dark desktop, while the gauges, the main chart
// and the splash keep their own look. Also the quieter colour of a hint between the text's and
// the window's.

namespace velkor {

// A colour as 0-255 for red, green and blue.
struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
};

// From 0 for black to 1 for white: the mean of the strongest and the weakest of the three, as
// the lightness of HSL, which is what a person sees as light or dark well enough for a window.
double lightness(const Rgb& colour);

// A window darker than the middle of the scale is a dark one: its text is light.
bool isDark(const Rgb& window);

// A hint's text: two thirds of the way from the window's colour to the text's, readable on either
// kind of window (dark grey on a light window, light grey on a dark one).
Rgb hintText(const Rgb& text, const Rgb& window);

// A plot's grid line: a fifth of the way from the background to the text, seen but behind the
// series.
Rgb gridLine(const Rgb& text, const Rgb& background);

}  // namespace velkor
