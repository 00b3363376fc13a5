// What a log file's fields read back as: texts holding the characters that once broke the file,
// texts longer than anything draws, and numbers no log can hold.

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "base/Preferences.h"
#include "base/TextLimits.h"
#include "log/LogFile.h"
#include "support/Drives.h"

namespace velkor::test {
namespace {

struct Read {
    std::unique_ptr<DataLog> log = std::make_unique<DataLog>();
    Preferences prefs;
    LogFileRead outcome;
};

Read readText(const std::string& text) {
    Read read;
    std::istringstream in(text);
    read.outcome = readLogFile(in, *read.log, read.prefs);
    return read;
}

// A whole log file as a save writes it, with every text field set to `text`.
std::string savedWith(const std::string& text, DataLog& log) {
    loadDrive(log, sim::generateDrive(368, 3), 0.096f);
    log.FirmwareID = log.DownloadDate = log.Comment = text;
    log.ControllerType = "Unknown";
    Preferences prefs;
    prefs.VSSUnits = prefs.Input1Type = prefs.Input2Type = prefs.PressureUnits = text;
    prefs.Input2Legend = text;
    return logFileText(log, prefs, "Acme, Inc. " + text);
}

TEST(LogFileFields, EveryTextFieldReadsBackWhateverItHolds) {
    const struct {
        const char* name;
        std::string text;
        std::string back;  // a line break is written as a space
    } cases[] = {
        {"comma", "Boost, psi", "Boost, psi"},
        {"quote", "5\" pipe \"big\"", "5\" pipe \"big\""},
        {"CR", "a\rb", "a b"},
        {"LF", "a\nb", "a b"},
        {"CR LF", "a\r\nb", "a b"},
        {"semicolon", "a;b", "a;b"},
        {"Latin-1", "Caf\xE9 \xB0\x43", "Caf\xE9 \xB0\x43"},
        {"empty", "", ""},
    };
    for (const auto& c : cases) {
        DataLog saved;
        Read back = readText(savedWith(c.text, saved));
        SCOPED_TRACE(c.name);
        EXPECT_EQ(back.outcome.end, LogFileRead::End::Complete);
        EXPECT_TRUE(back.outcome.cutTexts.empty() && back.outcome.damagedLines == 0);
        saved.VSSData = back.log->VSSData;    // seven significant digits hold all but the speeds
        expectSameSamples(*back.log, saved);  // no line shifted
        const Preferences& p = back.prefs;
        for (const std::string& field :
             {p.VSSUnits, p.Input1Type, p.Input2Type, p.PressureUnits, p.Input2Legend,
              back.log->FirmwareID, back.log->DownloadDate, back.log->Comment}) {
            EXPECT_EQ(field, c.back);
        }
    }
}

std::string header(const std::string& interval, const std::string& tachMax,
                   const std::string& legend) {
    std::string text = "\"Data Logging Interval\"," + interval + "\r\n";
    text += "\"Maximum RPM Display\"," + tachMax + "\r\n";
    for (int line = 3; line <= 11; ++line) {
        text += "\"Label\",\"v\"\r\n";
    }
    return text + "\"Input 2 Legend\",\"" + legend + "\"\r\n\"titles\"\r\n";
}

std::string trailer(const std::string& firmware, const std::string& comment) {
    return "\"Firmware ID\",\"" + firmware + "\"\r\n\"Acme Shift Light\",\"today\"\r\n" +
           "\"Comment\",\"" + comment + "\"\r\n";
}

std::string samples(int count, const std::string& line = "1,2,3,4,5,6,7,8,9,10,11") {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += line + "\r\n";
    }
    return text;
}

TEST(LogFileFields, QuotesOfEarlierFilesReadAsTheOneQuoteTheyWere) {
    const Read read = readText(header("0.1", "8000", "5\" pipe") + samples(2700) +
                               trailer("Shift Light \"V2\"", "said \"\"go\"\""));
    EXPECT_EQ(read.prefs.Input2Legend, "5\" pipe");
    EXPECT_EQ(read.log->FirmwareID, "Shift Light \"V2\"");
    EXPECT_EQ(read.log->Comment, "said \"go\"");
    EXPECT_EQ(read.log->ControllerType, "Shift Light");
}

TEST(LogFileFields, LongTextsAreCutToTheirLimitAndSaidSoOnce) {
    const Read read = readText(header("0.1", "8000", std::string(60000, 'L')) + samples(2700) +
                               trailer(std::string(300, 'F'), std::string(1000, 'c')));
    EXPECT_EQ(read.prefs.Input2Legend, std::string(Input2LegendLimit, 'L'));
    EXPECT_EQ(read.log->Comment, std::string(CommentLimit, 'c'));
    EXPECT_EQ(read.log->FirmwareID.size(), 255u);
    EXPECT_EQ(logFileNotes(read.outcome),
              std::vector<std::string>{
                  "Texts longer than Velkor keeps were cut to their limit: the Input 2 legend (20 "
                  "characters), the firmware ID (255 characters) and the comment (255 "
                  "characters)."});
}

TEST(LogFileFields, NumbersNoLogHoldsAreDamagedLinesNamedByTheFirst) {
    const std::string good = "1,2,3,4,5,6,7,8,9,10,11";
    const std::string intervalNote =
        "Line 1 of the file holds a logging interval that is not above 0 s and at most 4.08 s "
        "and was passed over.";
    const struct {
        std::string interval, tachMax, sample;
        int damaged;
        std::string note;
    } cases[] = {
        {"0.1", "8000", good, 0, ""},
        {"0", "8000", good, 1, intervalNote},
        {"-0.5", "8000", good, 1, intervalNote},
        {"nan", "8000", good, 1, intervalNote},
        {"4.1", "8000", good, 1, intervalNote},
        {"1e39", "8000", good, 1, intervalNote},
        {"0.1", "1e39", good, 1,
         "Line 2 of the file holds a number out of range and was passed over."},
        {"0.1", "8000", "1,2,3,4,5,6,7,1e39,9,10,11", 2700,
         "Line 14 of the file holds a number out of range and was passed over. In all 2700 "
         "lines were passed over for numbers out of range."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.interval + " " + c.tachMax + " " + c.sample);
        const Read read = readText(header(c.interval, c.tachMax, "L") + samples(2700, c.sample) +
                                   trailer("Shift Light", "c"));
        EXPECT_EQ(read.outcome.damagedLines, c.damaged);
        EXPECT_EQ(damagedLinesNote(read.outcome), c.note);
        // A damaged value leaves what was there before it: the defaults and an empty sample.
        EXPECT_FLOAT_EQ(read.log->DataLogInterval, c.note == intervalNote ? 0.0f : 0.1f);
        EXPECT_FLOAT_EQ(read.prefs.TachMax, c.tachMax == "8000" ? 8000 : Preferences{}.TachMax);
        EXPECT_EQ(read.log->InputData.at(1), c.sample == good ? 8.0f : 0.0f);
        EXPECT_EQ(read.outcome.sampleLines, c.sample == good ? 2700 : 0);
    }
}

}  // namespace
}  // namespace velkor::test
