#include "log/LogFile.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "base/Numbers.h"
#include "base/Preferences.h"
#include "base/TextLimits.h"
#include "link/ControllerLink.h"
#include "log/FramDecode.h"
#include "log/LogFields.h"

namespace velkor {

namespace {

std::string quoted(const std::string& text) {
    return quotedField(text);
}

std::string labelled(const char* label, const std::string& value) {
    return quoted(label) + "," + value;
}

std::string number(float value) {
    return logNumberText(value);
}

// The columns in file order.
std::array<SampleColumn*, 11> columns(DataLog& log) {
    return {&log.ElapsedTime,     &log.RPMData,         &log.VSSData,      &log.TPSData,
            &log.Input1VoltsData, &log.Input2VoltsData, &log.BatVoltsData, &log.InputData,
            &log.OutputData,      &log.StatusData,      &log.ReservedData};
}

std::array<const SampleColumn*, 11> columns(const DataLog& log) {
    return {&log.ElapsedTime,     &log.RPMData,         &log.VSSData,      &log.TPSData,
            &log.Input1VoltsData, &log.Input2VoltsData, &log.BatVoltsData, &log.InputData,
            &log.OutputData,      &log.StatusData,      &log.ReservedData};
}

// Reads lines ended by LF (a CR before it is dropped), keeping at most the line limit of each.
// The stream's own line reading scans its buffer for the line end, a chunk at a time, and the
// rest of an overlong line is skipped the same way, never held.
class LineReader {
public:
    explicit LineReader(std::istream& in) : m_in(in) {}

    bool atEnd() { return m_in.peek() == std::char_traits<char>::eof(); }

    // The next line, in storage reused from line to line.
    const std::string& next() {
        m_line.clear();
        for (;;) {
            m_in.getline(m_chunk.data(), static_cast<std::streamsize>(m_chunk.size()));
            const auto stored = static_cast<std::size_t>(m_in.gcount());
            if (m_in.eof()) {
                m_in.clear(std::ios::eofbit);  // the last line, without a line end
                keep(stored);
                break;
            }
            if (!m_in.fail()) {
                keep(stored - 1);  // the line end was counted
                break;
            }
            m_in.clear();  // the chunk is full and the line goes on
            keep(stored);
            if (m_line.size() == LogFileLineLimit) {
                m_in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
                break;
            }
        }
        if (!m_line.empty() && m_line.back() == '\r') {
            m_line.pop_back();
        }
        ++m_number;
        return m_line;
    }
    // The number of the line last read, the first being 1.
    int number() const { return m_number; }

private:
    void keep(std::size_t count) {
        m_line.append(m_chunk.data(), std::min(count, LogFileLineLimit - m_line.size()));
    }

    std::istream& m_in;
    std::array<char, 1024> m_chunk{};
    std::string m_line;
    int m_number = 0;
};

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

// A number a log can hold: a 32-bit float (nothing for a field that overflows it).
std::optional<float> numberField(std::string_view field) {
    const double value = leadingNumber(field);
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max()) {
        return std::nullopt;
    }
    return static_cast<float>(value);
}

// The interval is at most the controller's longest: 255 steps of 16 ms.
constexpr float LongestInterval = static_cast<float>(255 * 0.016);

// What reading one file found, as it goes.
class ReadState {
public:
    ReadState(LineReader& reader, LogFileRead& outcome) : m_reader(reader), m_outcome(outcome) {}

    // A text field, blanks at its ends dropped or kept, cut to `limit`; the cut is noted.
    std::string text(std::string_view field, bool trim, std::size_t limit, const char* what) {
        std::string value(trim ? trimmed(field) : field);
        if (cutToLimit(value, limit)) {
            m_outcome.cutTexts.push_back(cutTextName(what, limit));
            value = trim ? std::string(trimmed(value)) : value;
        }
        return value;
    }

    // Notes the line just read as passed over for a number no log holds.
    void damaged(const std::string& why) {
        if (m_outcome.damagedLines++ == 0) {
            m_outcome.firstDamagedLine = m_reader.number();
            m_outcome.firstDamage = why;
        }
    }

    // A header number into `target`, unless it is damaged.
    void number(std::string_view field, float& target) {
        if (const auto value = numberField(field)) {
            target = *value;
        } else {
            damaged("a number out of range");
        }
    }

private:
    LineReader& m_reader;
    LogFileRead& m_outcome;
};

}  // namespace

std::vector<std::string> logFileHeader(const DataLog& log, const Preferences& prefs) {
    return {
        labelled("Data Logging Interval", number(log.DataLogInterval)),
        labelled("Maximum RPM Display", number(prefs.TachMax)),
        labelled("Maximum VSS Display", number(prefs.SpeedoMax)),
        labelled("VSS Units", quoted(prefs.VSSUnits)),
        labelled("Input 1 Type", quoted(prefs.Input1Type)),
        labelled("Input 2 Type", quoted(prefs.Input2Type)),
        labelled("Pressure Units", quoted(prefs.PressureUnits)),
        labelled("Minimum Input 2 Volts", number(prefs.MinInput2Volts)),
        labelled("Maximum Input 2 Volts", number(prefs.MaxInput2Volts)),
        labelled("Minimum Input 2 Scaled Value", number(prefs.MinInput2ScaledValue)),
        labelled("Maximum Input 2 Scaled Value", number(prefs.MaxInput2ScaledValue)),
        labelled("Input 2 Legend", quoted(prefs.Input2Legend)),
        "\"Elapsed Time\",\"RPM\",\"VSS\",\"TPS%\",\"Input1 Volts\",\"Input2 Volts\","
        "\"Bat Volts\",\"Input Data\",\"Output Data\",\"Status\",\"Reserved\"",
    };
}

std::string logFileSample(const DataLog& log, int sampleNumber) {
    std::string line;
    for (const SampleColumn* column : columns(log)) {
        if (!line.empty()) {
            line += ',';
        }
        line += number(column->at(sampleNumber));
    }
    return line;
}

std::vector<std::string> logFileTrailer(const DataLog& log, const std::string& makerName) {
    return {
        labelled("Firmware ID", quoted(log.FirmwareID)),
        quoted(makerName + " " + log.ControllerType + " Controller Data Downloaded") + "," +
            quoted(log.DownloadDate),
    };
}

std::string logFileComment(const std::string& comment) {
    return labelled("Comment", quoted(comment.empty() ? " " : comment));
}

std::optional<std::string> logFileBody(const DataLog& log, const Preferences& prefs,
                                       const std::string& makerName,
                                       const std::function<bool()>& afterSample) {
    std::string text;
    text.reserve(LogFileLines * 64);
    const auto append = [&text](const std::string& line) {
        text += line;
        text += LogFileLineEnd;
    };
    for (const std::string& line : logFileHeader(log, prefs)) {
        append(line);
    }
    for (int sample = 1; sample <= SampleCount; ++sample) {
        append(logFileSample(log, sample));
        if (afterSample && !afterSample()) {
            return std::nullopt;
        }
    }
    for (const std::string& line : logFileTrailer(log, makerName)) {
        append(line);
    }
    return text;
}

std::string logFileText(const DataLog& log, const Preferences& prefs,
                        const std::string& makerName) {
    std::string text = *logFileBody(log, prefs, makerName);
    text += logFileComment(log.Comment);
    text += LogFileLineEnd;
    return text;
}

LogFileRead readLogFile(std::istream& in, DataLog& log, Preferences& prefs) {
    LineReader reader(in);
    LogFileRead outcome;
    ReadState read(reader, outcome);
    LineFields line;

    // Header: a line counts only with exactly two fields; the second is the value.
    for (int number = 1; number <= LogFileHeaderLines; ++number) {
        if (reader.atEnd()) {
            outcome.end = LogFileRead::End::InHeader;
            return outcome;
        }
        splitFields(reader.next(), 2, line);
        if (line.count != 2) {
            continue;
        }
        const std::string_view value = line.fields[1];
        switch (number) {
            case 1:
                if (const auto interval = numberField(value);
                    interval && *interval > 0.0f && *interval <= LongestInterval) {
                    log.DataLogInterval = *interval;
                } else {
                    read.damaged("a logging interval that is not above 0 s and at most " +
                                 logNumberText(LongestInterval) + " s");
                }
                break;
            case 2:
                read.number(value, prefs.TachMax);
                break;
            case 3:
                read.number(value, prefs.SpeedoMax);
                break;
            case 4:
                prefs.VSSUnits = read.text(value, true, SettingWordLimit, "the speed unit");
                break;
            case 5:
                prefs.Input1Type = read.text(value, true, SettingWordLimit, "the Input 1 type");
                break;
            case 6:
                prefs.Input2Type = read.text(value, true, SettingWordLimit, "the Input 2 type");
                break;
            case 7:
                prefs.PressureUnits = read.text(value, true, SettingWordLimit, "the pressure unit");
                break;
            case 8:
                read.number(value, prefs.MinInput2Volts);
                break;
            case 9:
                read.number(value, prefs.MaxInput2Volts);
                break;
            case 10:
                read.number(value, prefs.MinInput2ScaledValue);
                break;
            case 11:
                read.number(value, prefs.MaxInput2ScaledValue);
                break;
            case 12:
                prefs.Input2Legend =
                    read.text(value, true, Input2LegendLimit, "the Input 2 legend");
                break;
            default:
                break;  // the column titles
        }
    }

    const auto targets = columns(log);
    std::array<float, 11> values{};
    for (int sample = 1; sample <= SampleCount; ++sample) {
        if (reader.atEnd()) {
            outcome.end = LogFileRead::End::InSamples;
            break;
        }
        outcome.sampleLinesReached = sample;
        splitFields(reader.next(), targets.size(), line);
        if (line.count != targets.size()) {
            continue;  // the sample keeps what it held
        }
        bool whole = true;
        for (std::size_t column = 0; column < targets.size() && whole; ++column) {
            const auto value = numberField(line.fields[column]);
            whole = value.has_value();
            values[column] = value.value_or(0.0f);
        }
        if (!whole) {
            read.damaged("a number out of range");
            continue;
        }
        const auto index = static_cast<std::size_t>(sample - 1);
        for (std::size_t column = 0; column < targets.size(); ++column) {
            targets[column]->values()[index] = values[column];
        }
        float& tps = log.TPSData.values()[index];
        tps = std::clamp(tps, 0.0f, 100.0f);
        ++outcome.sampleLines;
    }

    RepairElapsedTime(log);

    if (outcome.end == LogFileRead::End::Complete) {
        for (int number = 1; number <= 3; ++number) {
            if (reader.atEnd()) {
                outcome.end = LogFileRead::End::InTrailer;
                log.FirmwareID.clear();
                log.DownloadDate.clear();
                log.Comment.clear();
                break;
            }
            splitFields(reader.next(), 2, line);
            if (line.count != 2) {
                continue;
            }
            const std::string_view value = line.fields[1];
            if (number == 1) {
                log.FirmwareID = read.text(value, false, FirmwareIDLimit, "the firmware ID");
            } else if (number == 2) {
                log.DownloadDate = read.text(value, false, DownloadDateLimit, "the download date");
            } else {
                log.Comment = read.text(value, true, CommentLimit, "the comment");
            }
        }
    }

    outcome.firmwareKnown =
        !log.FirmwareID.empty() && controllerTypeOf(log.FirmwareID) == "Shift Light";
    log.ControllerType = outcome.firmwareKnown ? "Shift Light" : "Unknown";
    return outcome;
}

std::string damagedLinesNote(const LogFileRead& read) {
    if (read.damagedLines == 0) {
        return "";
    }
    std::string note = "Line " + std::to_string(read.firstDamagedLine) + " of the file holds " +
                       read.firstDamage + " and was passed over.";
    if (read.damagedLines > 1) {
        note += " In all " + std::to_string(read.damagedLines) +
                " lines were passed over for numbers out of range.";
    }
    return note;
}

std::vector<std::string> logFileNotes(const LogFileRead& read) {
    std::vector<std::string> notes;
    for (std::string note : {damagedLinesNote(read), cutTextsNote(read.cutTexts)}) {
        if (!note.empty()) {
            notes.push_back(std::move(note));
        }
    }
    return notes;
}

}  // namespace velkor
