#include "logbook/PassDate.h"

#include <array>
#include <cstdio>
#include <ctime>
#include <string_view>
#include <vector>

namespace velkor {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool possibleDate(int year, int month, int day) {
    if (year < 1970 || year > 9999 || month < 1 || month > 12 || day < 1) {
        return false;
    }
    static constexpr int Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= Days[month - 1] + (month == 2 && leap ? 1 : 0);
}

bool possibleTime(int hour, int minute, int second) {
    return hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 60;
}

std::string isoText(int year, int month, int day, std::optional<std::array<int, 3>> time) {
    char text[80];
    if (time) {
        std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", year, month, day,
                      (*time)[0], (*time)[1], (*time)[2]);
    } else {
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
    }
    return text;
}

// The runs of digits in `text` with the one character after each ('\0' at the end); nothing
// when a run is longer than four digits.
struct Number {
    int value = 0;
    int digits = 0;
    char after = 0;
};

std::optional<std::vector<Number>> numbersOf(std::string_view text) {
    std::vector<Number> numbers;
    std::size_t at = 0;
    while (at < text.size()) {
        if (!isDigit(text[at])) {
            return std::nullopt;
        }
        Number number;
        while (at < text.size() && isDigit(text[at])) {
            if (++number.digits > 4) {
                return std::nullopt;
            }
            number.value = number.value * 10 + (text[at++] - '0');
        }
        number.after = at < text.size() ? text[at++] : '\0';
        numbers.push_back(number);
    }
    return numbers;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

std::optional<std::string> dateFromArchiveName(const std::string& fileName) {
    // YYYY-MM-DD_HH-MM-SS, then .log or _N.log.
    static constexpr std::string_view Shape = "dddd-dd-dd_dd-dd-dd";
    if (fileName.size() < Shape.size() + 4) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < Shape.size(); ++i) {
        if (Shape[i] == 'd' ? !isDigit(fileName[i]) : fileName[i] != Shape[i]) {
            return std::nullopt;
        }
    }
    std::string_view rest = std::string_view(fileName).substr(Shape.size());
    if (rest != ".log") {
        if (rest.size() < 6 || rest.front() != '_' || rest.substr(rest.size() - 4) != ".log") {
            return std::nullopt;
        }
        for (const char c : rest.substr(1, rest.size() - 5)) {
            if (!isDigit(c)) {
                return std::nullopt;
            }
        }
    }
    const auto field = [&](std::size_t at, std::size_t length) {
        return std::stoi(fileName.substr(at, length));
    };
    const int year = field(0, 4), month = field(5, 2), day = field(8, 2);
    const std::array<int, 3> time = {field(11, 2), field(14, 2), field(17, 2)};
    if (!possibleDate(year, month, day) || !possibleTime(time[0], time[1], time[2])) {
        return std::nullopt;
    }
    return isoText(year, month, day, time);
}

std::optional<std::string> dateFromDownloadText(const std::string& text) {
    std::string_view rest = trimmed(text);
    int pm = -1;  // -1: a 24-hour clock; 0: AM; 1: PM
    if (rest.size() > 2) {
        const std::string_view suffix = rest.substr(rest.size() - 2);
        if (suffix == "AM" || suffix == "am" || suffix == "PM" || suffix == "pm") {
            pm = suffix[0] == 'P' || suffix[0] == 'p' ? 1 : 0;
            rest = trimmed(rest.substr(0, rest.size() - 2));
        }
    }
    const std::size_t space = rest.find(' ');
    const std::string_view datePart = rest.substr(0, space);
    const std::string_view timePart =
        space == std::string_view::npos ? std::string_view() : trimmed(rest.substr(space + 1));
    const auto date = numbersOf(datePart);
    if (!date || date->size() != 3) {
        return std::nullopt;
    }
    const char separator = (*date)[0].after;
    if ((separator != '/' && separator != '-' && separator != '.') ||
        (*date)[1].after != separator || ((*date)[2].after != '\0' && (*date)[2].after != '.')) {
        return std::nullopt;
    }
    int year = 0, month = 0, day = 0;
    const Number& first = (*date)[0];
    const Number& second = (*date)[1];
    const Number& third = (*date)[2];
    if (first.digits == 4) {
        year = first.value, month = second.value, day = third.value;
    } else if (separator == '/' && first.value <= 12) {
        month = first.value, day = second.value, year = third.value;
    } else {
        day = first.value, month = second.value, year = third.value;
    }
    if (first.digits != 4 && third.digits == 2) {
        year += 2000;
    } else if (first.digits != 4 && third.digits != 4) {
        return std::nullopt;
    }
    if (!possibleDate(year, month, day)) {
        return std::nullopt;
    }
    if (timePart.empty()) {
        return pm < 0 ? std::optional(isoText(year, month, day, std::nullopt)) : std::nullopt;
    }
    const auto time = numbersOf(timePart);
    if (!time || time->size() < 2 || time->size() > 3 || (*time)[0].after != ':' ||
        (time->size() == 3 && (*time)[1].after != ':')) {
        return std::nullopt;
    }
    int hour = (*time)[0].value;
    const int minute = (*time)[1].value;
    const int seconds = time->size() == 3 ? (*time)[2].value : 0;
    if (pm >= 0) {
        if (hour < 1 || hour > 12) {
            return std::nullopt;
        }
        hour = hour % 12 + (pm == 1 ? 12 : 0);
    }
    if (!possibleTime(hour, minute, seconds)) {
        return std::nullopt;
    }
    return isoText(year, month, day, std::array<int, 3>{hour, minute, seconds});
}

std::string passDate(const std::string& fileName, const std::string& downloadText,
                     std::int64_t modifiedNs) {
    if (auto date = dateFromArchiveName(fileName)) {
        return *date;
    }
    if (auto date = dateFromDownloadText(downloadText)) {
        return *date;
    }
    const std::time_t seconds = std::time_t(modifiedNs / 1000000000);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    return isoText(utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday,
                   std::array<int, 3>{utc.tm_hour, utc.tm_min, utc.tm_sec});
}

}  // namespace velkor
