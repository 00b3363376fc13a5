#include "log/LogFile.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "base/Numbers.h"
#include "base/Preferences.h"
#include "log/FramDecode.h"

namespace velkor {

namespace {

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
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
class LineReader {
public:
    explicit LineReader(std::istream& in) : m_in(in) {}

    bool atEnd() { return m_in.peek() == std::char_traits<char>::eof(); }

    std::string next() {
        std::string line;
        std::streambuf* buffer = m_in.rdbuf();
        for (;;) {
            const auto c = buffer->sbumpc();
            if (c == std::char_traits<char>::eof()) {
                m_in.setstate(std::ios::eofbit);
                break;
            }
            if (c == '\n') {
                break;
            }
            if (line.size() < LogFileLineLimit) {
                line += static_cast<char>(c);
            }
        }
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        return line;
    }

private:
    std::istream& m_in;
};

std::string withoutQuotes(std::string_view piece) {
    std::string text;
    text.reserve(piece.size());
    for (char c : piece) {
        if (c != '"') {
            text += c;
        }
    }
    return text;
}

std::string textField(std::string_view piece) {
    std::string text = withoutQuotes(piece);
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return "";
    }
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

float numberField(std::string_view piece) {
    return static_cast<float>(leadingNumber(piece));
}

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

LinePieces splitLine(std::string_view line, std::size_t keep) {
    LinePieces result;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = line.find(',', start);
        const std::size_t end = comma == std::string_view::npos ? line.size() : comma;
        if (result.pieces.size() < keep) {
            result.pieces.push_back(line.substr(start, end - start));
        }
        ++result.count;
        if (comma == std::string_view::npos) {
            return result;
        }
        start = comma + 1;
    }
}

LogFileRead readLogFile(std::istream& in, DataLog& log, Preferences& prefs) {
    LineReader reader(in);
    LogFileRead outcome;

    // Header: a line counts only with exactly two pieces; the second is the value.
    for (int line = 1; line <= LogFileHeaderLines; ++line) {
        if (reader.atEnd()) {
            outcome.end = LogFileRead::End::InHeader;
            return outcome;
        }
        const std::string text = reader.next();
        const LinePieces pieces = splitLine(text, 2);
        if (pieces.count != 2) {
            continue;
        }
        const std::string_view value = pieces.pieces[1];
        switch (line) {
            case 1:
                log.DataLogInterval = numberField(value);
                break;
            case 2:
                prefs.TachMax = numberField(value);
                break;
            case 3:
                prefs.SpeedoMax = numberField(value);
                break;
            case 4:
                prefs.VSSUnits = textField(value);
                break;
            case 5:
                prefs.Input1Type = textField(value);
                break;
            case 6:
                prefs.Input2Type = textField(value);
                break;
            case 7:
                prefs.PressureUnits = textField(value);
                break;
            case 8:
                prefs.MinInput2Volts = numberField(value);
                break;
            case 9:
                prefs.MaxInput2Volts = numberField(value);
                break;
            case 10:
                prefs.MinInput2ScaledValue = numberField(value);
                break;
            case 11:
                prefs.MaxInput2ScaledValue = numberField(value);
                break;
            case 12:
                prefs.Input2Legend = textField(value);
                break;
            default:
                break;  // the column titles
        }
    }

    const auto targets = columns(log);
    for (int sample = 1; sample <= SampleCount; ++sample) {
        if (reader.atEnd()) {
            outcome.end = LogFileRead::End::InSamples;
            break;
        }
        const std::string text = reader.next();
        const LinePieces pieces = splitLine(text, targets.size());
        if (pieces.count != targets.size()) {
            continue;  // the sample keeps what it held
        }
        for (std::size_t column = 0; column < targets.size(); ++column) {
            targets[column]->at(sample) = numberField(pieces.pieces[column]);
        }
        log.TPSData.at(sample) = std::clamp(log.TPSData.at(sample), 0.0f, 100.0f);
    }

    RepairElapsedTime(log);

    if (outcome.end == LogFileRead::End::Complete) {
        for (int line = 1; line <= 3; ++line) {
            if (reader.atEnd()) {
                outcome.end = LogFileRead::End::InTrailer;
                log.FirmwareID.clear();
                log.DownloadDate.clear();
                log.Comment.clear();
                break;
            }
            const std::string text = reader.next();
            const LinePieces pieces = splitLine(text, 2);
            if (pieces.count != 2) {
                continue;
            }
            if (line == 1) {
                log.FirmwareID = withoutQuotes(pieces.pieces[1]);
            } else if (line == 2) {
                log.DownloadDate = withoutQuotes(pieces.pieces[1]);
            } else {
                log.Comment = textField(pieces.pieces[1]);
            }
        }
    }

    outcome.firmwareKnown =
        !log.FirmwareID.empty() && controllerTypeOf(log.FirmwareID) == "Shift Light";
    log.ControllerType = outcome.firmwareKnown ? "Shift Light" : "Unknown";
    return outcome;
}

}  // namespace velkor
