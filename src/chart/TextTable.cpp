#include "chart/TextTable.h"

#include <algorithm>

namespace velkor {

namespace {

constexpr std::size_t Gap = 2;       // spaces between columns
constexpr std::size_t MinWrap = 12;  // a wrapped cell keeps at least this many characters

// The first `count` characters of a UTF-8 text, as bytes.
std::size_t bytesOf(const std::string& text, std::size_t count) {
    std::size_t at = 0;
    for (std::size_t shown = 0; at < text.size(); ++at) {
        if ((static_cast<unsigned char>(text[at]) & 0xC0) != 0x80 && shown++ == count) {
            break;
        }
    }
    return at;
}

// A cell cut into lines of at most `width` characters, at spaces where it can be.
std::vector<std::string> wrap(const std::string& text, std::size_t width) {
    std::vector<std::string> lines;
    std::string rest = text;
    while (shownWidth(rest) > width) {
        std::size_t cut = bytesOf(rest, width);
        const std::size_t space = rest.rfind(' ', cut);
        if (space != std::string::npos && space > 0) {
            cut = space;
        }
        lines.push_back(rest.substr(0, cut));
        rest = rest.substr(std::min(rest.size(), cut + (rest[cut] == ' ' ? 1 : 0)));
    }
    lines.push_back(rest);
    return lines;
}

std::vector<std::size_t> naturalWidths(const SummaryTable& table) {
    std::vector<std::size_t> widths(table.headers.size());
    for (std::size_t c = 0; c < widths.size(); ++c) {
        widths[c] = shownWidth(table.headers[c]);
        for (const auto& row : table.rows) {
            if (c < row.size()) {
                widths[c] = std::max(widths[c], shownWidth(row[c]));
            }
        }
    }
    return widths;
}

// Columns 0 and `columns`, at `widths`, as lines; cells wrapped where a width is less than
// their own.
void appendPart(std::vector<std::string>& out, const SummaryTable& table,
                const std::vector<std::size_t>& columns, const std::vector<std::size_t>& widths) {
    const auto line = [&](const std::vector<std::string>& cells) {
        std::vector<std::vector<std::string>> wrapped;
        std::size_t height = 1;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const std::size_t c = columns[i];
            wrapped.push_back(wrap(c < cells.size() ? cells[c] : std::string(), widths[i]));
            height = std::max(height, wrapped.back().size());
        }
        for (std::size_t h = 0; h < height; ++h) {
            std::string text;
            for (std::size_t i = 0; i < columns.size(); ++i) {
                const std::string cell = h < wrapped[i].size() ? wrapped[i][h] : std::string();
                text += cell +
                        std::string(widths[i] - std::min(widths[i], shownWidth(cell)) + Gap, ' ');
            }
            text.erase(text.find_last_not_of(' ') + 1);
            out.push_back(text);
        }
    };
    line(table.headers);
    for (const auto& row : table.rows) {
        line(row);
    }
}

}  // namespace

std::size_t shownWidth(const std::string& text) {
    return std::size_t(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::vector<std::string> textTable(const SummaryTable& table, std::size_t width) {
    std::vector<std::string> out;
    if (table.headers.empty()) {
        return out;
    }
    const std::vector<std::size_t> natural = naturalWidths(table);
    const std::size_t first = natural[0] + Gap;
    std::size_t c = 1;
    do {
        std::vector<std::size_t> columns = {0};
        std::vector<std::size_t> widths = {natural[0]};
        std::size_t used = first;
        while (c < natural.size() && (columns.size() == 1 || used + natural[c] <= width)) {
            // A column too wide for a part of its own is wrapped to the room there is.
            const std::size_t room = width > used ? width - used : 0;
            widths.push_back(std::min(natural[c], std::max(room, MinWrap)));
            columns.push_back(c);
            used += widths.back() + Gap;
            ++c;
        }
        if (!out.empty()) {
            out.emplace_back();
        }
        appendPart(out, table, columns, widths);
    } while (c < natural.size());
    return out;
}

}  // namespace velkor
