#pragma once
// The log file: 2716 CR LF lines of comma-separated fields in Latin-1. Lines 1 to 12 hold the
// interval and the display settings the chart needs, line 13 the column titles, lines 14 to 2713
// the 2700 samples, then the firmware ID, the title line with the download date, and the comment.
// Every line is known by its position, never by its label. Text fields are quoted (LogFields.h).

#include <functional>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/DataLog.h"

namespace velkor {

struct Preferences;

constexpr int LogFileHeaderLines = 13;
constexpr int LogFileLines = 2716;
constexpr std::size_t LogFileLineLimit = 64 * 1024;  // what is kept of one line
constexpr const char* LogFileFilter = "Shift Light Controller log files (*.log)|*.log";

// Lines 1 to 13.
std::vector<std::string> logFileHeader(const DataLog& log, const Preferences& prefs);
// The sample line of sample `sampleNumber` (1..2700).
std::string logFileSample(const DataLog& log, int sampleNumber);
// Lines 2714 and 2715: the firmware ID, and the maker's name with the controller type and the
// download date.
std::vector<std::string> logFileTrailer(const DataLog& log, const std::string& makerName);
// Line 2716: the comment, or a single space when there is none.
std::string logFileComment(const std::string& comment);
// Line endings for the lines above.
constexpr const char* LogFileLineEnd = "\r\n";

// Lines 1 to 2715 as they go to disk, each with its line end. `afterSample` runs after each
// sample line; when it returns false the writing stops and nothing is returned.
std::optional<std::string> logFileBody(const DataLog& log, const Preferences& prefs,
                                       const std::string& makerName,
                                       const std::function<bool()>& afterSample = {});
// The whole file for the log as it stands, its comment included, without asking for anything.
std::string logFileText(const DataLog& log, const Preferences& prefs, const std::string& makerName);

// How reading a log file went.
struct LogFileRead {
    enum class End { Complete, InHeader, InSamples, InTrailer };
    End end = End::Complete;
    bool firmwareKnown = false;  // the firmware ID names a shift-light controller
    int sampleLines = 0;         // sample lines read whole into their sample
    int sampleLinesReached = 0;  // samples whose line was there to read, whole or not
    // Lines passed over for a number no log holds (a field past the float range, an interval
    // that is not above 0 s and at most 4.08 s), the first of them and what it held.
    int damagedLines = 0;
    int firstDamagedLine = 0;
    std::string firstDamage;
    std::vector<std::string> cutTexts;  // texts cut to their limit, as cutTextsNote lists them
};

// Reads a log file into `log` and `prefs` (the display settings it carries), as far as it goes.
// The data columns should be cleared first: a sample line with the wrong number of fields leaves
// its sample as it was. Any bytes are taken: lines are cut at LogFileLineLimit, a line with the
// wrong number of fields, or with a number no log holds, is passed over, texts are cut to their
// limits (TextLimits.h), and lines past the last are never read. Sets ControllerType from the
// firmware ID, clamps throttle to 0..100 and repairs the time column; it does not mark the log
// filled.
LogFileRead readLogFile(std::istream& in, DataLog& log, Preferences& prefs);

// What to tell about the lines passed over for numbers no log holds, naming the first of them;
// "" when there were none.
std::string damagedLinesNote(const LogFileRead& read);

// The notes a reading leaves to show after the file's other messages: the damaged lines and the
// texts cut, each once; none for a clean file.
std::vector<std::string> logFileNotes(const LogFileRead& read);

}  // namespace velkor
