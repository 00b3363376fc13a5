#pragma once
// What the run analysis hands to scripts: a value that is nothing, a yes/no, a number, a text, a
// list or a record of named values in a fixed order, written as JSON or as the cells of a tidy
// CSV table. Numbers are rounded once, where the value is made, and written in their shortest
// form (12.71, not 12.710000000000001).

#include <string>
#include <vector>

namespace velkor {

class ScriptValue {
public:
    enum class Kind { Null, Bool, Number, Text, List, Record };

    ScriptValue() = default;  // null
    static ScriptValue boolean(bool value);
    // The value rounded to `decimals` places; NaN and infinities are null.
    static ScriptValue number(double value, int decimals);
    static ScriptValue text(std::string value);  // UTF-8
    static ScriptValue list(std::vector<ScriptValue> items = {});
    static ScriptValue record();

    // Adds a named value to a record, after the others.
    ScriptValue& add(const std::string& key, ScriptValue value);
    // Adds an item to a list.
    ScriptValue& append(ScriptValue value);

    Kind kind() const { return m_kind; }
    bool isNull() const { return m_kind == Kind::Null; }
    bool flag() const { return m_flag; }
    double numberValue() const { return m_number; }
    const std::string& textValue() const { return m_text; }
    const std::vector<ScriptValue>& items() const { return m_items; }  // a list's or a record's
    const std::vector<std::string>& keys() const { return m_keys; }    // a record's, in order
    // A record's value under a key; null when there is none.
    const ScriptValue& operator[](const std::string& key) const;

private:
    Kind m_kind = Kind::Null;
    bool m_flag = false;
    double m_number = 0;
    std::string m_text;
    std::vector<ScriptValue> m_items;
    std::vector<std::string> m_keys;
};

// The value as JSON, indented by two spaces a level, ending in a line end.
std::string toJson(const ScriptValue& value);

// A number, a yes/no or a text as one CSV cell: numbers with a '.' point, "true"/"false",
// texts quoted when they need it; an empty cell for null.
std::string csvCell(const ScriptValue& value);

// A tidy CSV table: one header row of `columns`, then one row a record of `rows` with each
// column's value (empty where the record has none), comma-separated, CR LF line ends.
std::string tidyCsv(const std::vector<std::string>& columns, const std::vector<ScriptValue>& rows);

}  // namespace velkor
