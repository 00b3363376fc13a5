#pragma once
// The fields of one log file line. A text field is written between double quotes, a quote inside
// it doubled and a line break as a space, as spreadsheets write such fields; a number field is
// bare. Reading honours the quotes: a comma between them belongs to the field, and a quote inside
// a value, doubled or raw (as files of earlier versions hold it), is one quote of the value.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velkor {

// A text as a quoted field.
std::string quotedField(std::string_view text);

// The fields of a line and how many there were; at most `keep` are kept, their quotes taken off.
// A bare field is a view into the line, a quoted one a view into `unquoted`: they stay valid
// while the line does, until the next split.
struct LineFields {
    std::size_t count = 0;
    std::vector<std::string_view> fields;
    std::vector<std::string> unquoted;  // the kept quoted fields, by their place
};

// Splits `line` into `into`, whose storage is reused from one line to the next. Inside a quoted
// field, "" is one quote, a quote before a comma or the end of the line closes the field, and any
// other quote is a quote of the value; a field without its closing quote runs to the end of the
// line. A bare field is taken as it stands, quotes and all.
void splitFields(std::string_view line, std::size_t keep, LineFields& into);

}  // namespace velkor
