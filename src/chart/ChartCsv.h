#pragma once
// The chart's data as comma-separated values for spreadsheets and scripts: a header line with
// each column's name and unit, then one line per sample with the elapsed time and the eleven
// quantities the chart can show, in the units it shows them (speed in the chosen unit, the
// analog inputs as the display options convert them, on/off quantities as 1 and 0). '.' is the
// decimal point whatever the locale, the text is UTF-8 and lines end with CR LF.

#include <string>
#include <vector>

namespace velkor {

struct DataLog;
struct Preferences;

constexpr const char* CsvFilter = "Comma-separated values (*.csv)|*.csv";

struct CsvColumn {
    std::string header;  // "VSS (KPH)", in UTF-8
    int decimals = 0;    // places written after the point
};

// The twelve columns for the preferences: elapsed time first.
std::vector<CsvColumn> csvColumns(const Preferences& prefs);

// The file's text for samples `from` to `to` (1..2700, either order, both included). A value
// that is not a finite number is written as an empty field.
std::string csvText(const DataLog& log, const Preferences& prefs, int from = 1, int to = 2700);

// A number with `decimals` places and a '.' point, never "-0".
std::string csvNumber(double value, int decimals);

// A field as CSV needs it: quoted, with quotes doubled, when it holds a comma, quote or line end.
std::string csvField(const std::string& text);

}  // namespace velkor
