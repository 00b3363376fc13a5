// Saving, opening and the comment, through the menu operations with scripted prompts and real
// files in a temporary folder.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "base/AppContext.h"
#include "log/FramDecode.h"
#include "log/LogFile.h"
#include "log/LogFileOperations.h"
#include "sim/Simulator.h"
#include "support/AppFixture.h"
#include "support/Drives.h"
#include "support/Fakes.h"
#include "support/Files.h"
#include "support/ScriptedPrompts.h"

namespace velkor::test {
namespace {

namespace fs = std::filesystem;

const std::string PrematureEnd =
    "Error - reached premature end-of-file. Some data may be missing or corrupted";
const std::string BadFirmware =
    "Error - invalid firmware ID. Unable to identify controller version.\r\n"
    "Some data may be incorrectly scaled.";

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        result.push_back(line);
    }
    return result;
}

class LogFileTest : public ::testing::Test, protected AppFixture {
protected:
    LogFileTest() {
        folder = fs::temp_directory_path() /
                 ("velkor-logfile-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        data->branding.InfoLines = {"Acme"};
        data->state.BaseCaption = "Base";
    }
    ~LogFileTest() override { fs::remove_all(folder); }

    // A log as a download leaves it: a decoded drive with its header values.
    void download(float interval = 0.096f) {
        DataLog& log = data->log;
        loadDrive(log, sim::generateDrive(368 + 12 * 77, 3), interval);
        log.FirmwareID = "Shift Light Controller V2.0";
        log.ControllerType = "Shift Light";
        log.DownloadDate = "06/12/2026 20:15:00";
    }

    void save(const fs::path& path) {
        prompts.answerFiles({path.string()});
        mnuSaveFile_Click(ctx);
    }

    void open(const fs::path& path) {
        prompts.answerFiles({path.string()});
        mnuOpenFile_Click(ctx);
    }

    // Leaves the log as a fresh start does.
    void restart() {
        *data = std::move(*std::make_unique<AppData>());
        data->branding.InfoLines = {"Acme"};
        data->state.BaseCaption = "Base";
    }

    fs::path folder;
};

TEST_F(LogFileTest, SavedFileHasTheExactLayout) {
    download(0.1f);
    data->log.Comment = "Track day, run 2";
    data->prefs.Input2Legend = "Oil";
    save(folder / "run.log");
    EXPECT_TRUE(prompts.shown().size() == 1u);  // only the dialog: there was a comment
    const std::string text = slurp(folder / "run.log");
    const auto all = lines(text);
    ASSERT_EQ(all.size(), 2716u);
    for (const auto& line : all) {
        ASSERT_FALSE(line.empty());
        ASSERT_EQ(line.back(), '\r');  // CR LF everywhere
    }
    EXPECT_EQ(all[0], "\"Data Logging Interval\",0.1\r");
    EXPECT_EQ(all[1], "\"Maximum RPM Display\",10000\r");
    EXPECT_EQ(all[3], "\"VSS Units\",\"MPH\"\r");
    EXPECT_EQ(all[8], "\"Maximum Input 2 Volts\",5\r");
    EXPECT_EQ(all[11], "\"Input 2 Legend\",\"Oil\"\r");
    EXPECT_EQ(all[12],
              "\"Elapsed Time\",\"RPM\",\"VSS\",\"TPS%\",\"Input1 Volts\",\"Input2 Volts\","
              "\"Bat Volts\",\"Input Data\",\"Output Data\",\"Status\",\"Reserved\"\r");
    EXPECT_EQ(all[13].substr(0, 4), "0.1,");
    EXPECT_EQ(all[2712].substr(0, 4), "270,");
    EXPECT_EQ(all[2713], "\"Firmware ID\",\"Shift Light Controller V2.0\"\r");
    EXPECT_EQ(all[2714],
              "\"Acme Shift Light Controller Data Downloaded\",\"06/12/2026 20:15:00\"\r");
    EXPECT_EQ(all[2715], "\"Comment\",\"Track day, run 2\"\r");
    EXPECT_EQ(view.caption, "Base - run.log");
    EXPECT_EQ(fs::directory_iterator(folder)->path().filename(), "run.log");  // no leftovers
}

TEST_F(LogFileTest, WriteReadWriteIsByteIdentical) {
    download();
    data->log.Comment = "first, with a comma";
    data->prefs.Input2Type = "Scaled Analog";
    data->prefs.MaxInput2ScaledValue = 150.5f;
    save(folder / "a.log");
    const std::string first = slurp(folder / "a.log");
    const DataLog downloaded = data->log;

    restart();
    open(folder / "a.log");
    EXPECT_EQ(data->log.RPMData, downloaded.RPMData);
    EXPECT_EQ(data->log.ElapsedTime, downloaded.ElapsedTime);  // needs no repair
    EXPECT_EQ(data->log.TPSData, downloaded.TPSData);
    EXPECT_EQ(data->log.BatVoltsData, downloaded.BatVoltsData);
    EXPECT_EQ(data->log.FirmwareID, downloaded.FirmwareID);
    EXPECT_EQ(data->log.ControllerType, "Shift Light");
    EXPECT_EQ(data->prefs.Input2Type, "Scaled Analog");
    EXPECT_FALSE(data->log.DataBufferEmpty);
    EXPECT_EQ(view.chartsShown, 1);
    // A comment with a comma has three pieces when read back: the comment stays as it was (empty).
    EXPECT_EQ(data->log.Comment, "");
    EXPECT_TRUE(prompts.messageTexts().empty());

    // An opened file's own settings are what the next save writes, not the store's.
    data->log.Comment = "first, with a comma";
    save(folder / "b.log");
    EXPECT_EQ(slurp(folder / "b.log"), first);
    EXPECT_TRUE(store.writes.empty());
}

TEST_F(LogFileTest, IntervalZeroAndACancelledCommentPrompt) {
    download(0.0f);
    prompts.answerInputs({std::nullopt});
    save(folder / "zero.log");
    const auto all = lines(slurp(folder / "zero.log"));
    ASSERT_EQ(all.size(), 2716u);
    for (int i = 13; i < 2713; ++i) {
        ASSERT_EQ(all[std::size_t(i)].substr(0, 2), "0,") << i;
    }
    EXPECT_EQ(all[2715], "\"Comment\",\" \"\r");
    EXPECT_EQ(prompts.shown().back().text, "Comment?");
    EXPECT_EQ(prompts.shown().back().title, "Optional Information Entry");
}

TEST_F(LogFileTest, LongNamesAndLatin1Text) {
    download();
    data->log.Comment = "Caf\xE9";
    data->prefs.Input2Legend =
        "\xB0"
        "C";
    const std::string name = std::string(57, 'n') + ".log";  // 61 characters
    save(folder / name);
    EXPECT_EQ(view.caption, "Base - ..." + name.substr(1));
    const std::string text = slurp(folder / name);
    EXPECT_NE(text.find("\"Input 2 Legend\",\"\xB0"
                        "C\""),
              std::string::npos);
    EXPECT_NE(text.find("\"Comment\",\"Caf\xE9\""), std::string::npos);
}

TEST_F(LogFileTest, SavingRefusedOrStoppedLeavesTheOldFile) {
    download();
    data->log.Comment = "c";
    const fs::path path = folder / "keep.log";
    spit(path, "old contents");

    // Cancel at the overwrite question reaches the error prompt; Ignore writes nothing.
    prompts.answerFiles({path.string()});
    prompts.answerMessages({Answer::Cancel, Answer::Ignore});
    mnuSaveFile_Click(ctx);
    EXPECT_EQ(prompts.messageTexts()[0], path.string() +
                                             "\r\nThis file already exists.\r\n\r\n"
                                             "Replace existing file?");
    EXPECT_EQ(prompts.messages()[1].text, "Canceled File Save");
    EXPECT_EQ(prompts.messages()[1].title, "Error");
    EXPECT_EQ(slurp(path), "old contents");

    // Esc while the samples are written.
    data->state.AbortRequested = true;
    prompts.answerFiles({path.string()});
    prompts.answerMessages({Answer::Yes});
    mnuSaveFile_Click(ctx);
    EXPECT_FALSE(data->state.AbortRequested);
    EXPECT_EQ(slurp(path), "old contents");

    // A folder that cannot be written: the error prompt, nothing replaced, nothing left over.
    prompts.answerFiles({(folder / "missing" / "x.log").string()});
    prompts.answerMessages({Answer::Abort});
    mnuSaveFile_Click(ctx);
    EXPECT_NE(prompts.messageTexts().back().find("could not be saved"), std::string::npos);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);

    // No as an answer shows the dialog again; a dismissed dialog writes nothing.
    prompts.answerFiles({path.string(), std::nullopt});
    prompts.answerMessages({Answer::No});
    mnuSaveFile_Click(ctx);
    EXPECT_EQ(slurp(path), "old contents");

    restart();
    prompts.answerMessages({Answer::Ok});
    mnuSaveFile_Click(ctx);
    EXPECT_EQ(prompts.messageTexts().back(), "Data buffer empty.");
    EXPECT_EQ(prompts.shown().back().title, "Save Log File");
}

// A log file's text: the header with the given interval, `samples` sample lines, and optionally
// the trailer.
std::string logText(const std::string& interval, const std::vector<std::string>& samples,
                    bool trailer, const std::string& end = "\r\n") {
    std::string text = "\"Data Logging Interval\"," + interval + end;
    for (int i = 2; i <= 12; ++i) {
        text += "\"Label\",\"v\"" + end;
    }
    text +=
        "\"Elapsed Time\",\"RPM\",\"VSS\",\"TPS%\",\"Input1 Volts\",\"Input2 Volts\","
        "\"Bat Volts\",\"Input Data\",\"Output Data\",\"Status\",\"Reserved\"" +
        end;
    for (const auto& line : samples) {
        text += line + end;
    }
    if (trailer) {
        text += "\"Firmware ID\",\"my shift light\"" + end;
        text += "\"Acme Shift Light Controller Data Downloaded\",\"today\"" + end;
        text += "\"Comment\",\"  spaced  \"" + end;
    }
    return text;
}

std::vector<std::string> fullSamples() {
    return std::vector<std::string>(2700, "1,2,3,4,5,6,7,8,9,10,11");
}

TEST_F(LogFileTest, ReadingPiecesNumbersAndLineEnds) {
    auto samples = fullSamples();
    samples[0] = "0.1,2,3,150,5,6,7,8,9,10,11";
    samples[1] = ".2,2,3,-5,5,6,7,8,9,10,11";
    samples[2] = "0.3,2,3,4,5,6,7,8,9,10";        // 10 pieces: skipped
    samples[3] = "0.4,2,3,4,5,6,7,8,9,10,11,12";  // 12 pieces: skipped
    for (const std::string end : {"\r\n", "\n"}) {
        restart();
        spit(folder / "x.log", logText(".5", samples, true, end));
        open(folder / "x.log");
        const DataLog& log = data->log;
        EXPECT_FLOAT_EQ(log.DataLogInterval, 0.5f);
        EXPECT_FLOAT_EQ(log.ElapsedTime.at(1), 0.1f);
        EXPECT_FLOAT_EQ(log.ElapsedTime.at(2), 0.2f);
        EXPECT_FLOAT_EQ(log.TPSData.at(1), 100.0f);
        EXPECT_FLOAT_EQ(log.TPSData.at(2), 0.0f);
        EXPECT_FLOAT_EQ(log.RPMData.at(3), 0.0f);
        EXPECT_FLOAT_EQ(log.RPMData.at(4), 0.0f);
        EXPECT_FLOAT_EQ(log.ElapsedTime.at(3), 0.7f);  // 0 raised to the previous plus 0.5
        EXPECT_FLOAT_EQ(log.ElapsedTime.at(4), 1.2f);
        EXPECT_FLOAT_EQ(log.ElapsedTime.at(5), 1.7f);  // 1 is not above 1.2 either
        EXPECT_FLOAT_EQ(log.RPMData.at(5), 2.0f);
        EXPECT_EQ(log.FirmwareID, "my shift light");
        EXPECT_EQ(log.ControllerType, "Shift Light");
        EXPECT_EQ(log.DownloadDate, "today");
        EXPECT_EQ(log.Comment, "spaced");
        EXPECT_EQ(data->prefs.VSSUnits, "v");
        EXPECT_TRUE(prompts.messageTexts().empty()) << (end == "\n" ? "LF" : "CR LF");
    }
}

TEST_F(LogFileTest, FilesThatEndEarly) {
    // Inside the header: only the header values read so far are kept, the log stays empty.
    spit(folder / "h.log", "\"Data Logging Interval\",2\r\n\"Maximum RPM Display\",8000\r\n");
    prompts.answerMessages({Answer::Ok});
    open(folder / "h.log");
    EXPECT_EQ(prompts.messageTexts(),
              std::vector<std::string>{"Error - reached premature end-of-file. No data found"});
    EXPECT_EQ(prompts.messages()[0].title, "Open Log File");
    EXPECT_EQ(prompts.messages()[0].icon, Icon::Exclamation);
    EXPECT_TRUE(data->log.DataBufferEmpty);
    EXPECT_FLOAT_EQ(data->prefs.TachMax, 8000);
    EXPECT_EQ(view.chartsShown, 0);

    // Only the header, right after start: zero samples at 0, D, 2D, ...
    restart();
    prompts = ScriptedPrompts();
    prompts.answerMessages({Answer::Ok, Answer::Ok});
    spit(folder / "only.log", logText("0.25", {}, false));
    open(folder / "only.log");
    EXPECT_EQ(prompts.messageTexts(), (std::vector<std::string>{PrematureEnd, BadFirmware}));
    EXPECT_FALSE(data->log.DataBufferEmpty);
    EXPECT_FLOAT_EQ(data->log.ElapsedTime.at(1), 0.0f);
    EXPECT_FLOAT_EQ(data->log.ElapsedTime.at(2), 0.25f);
    EXPECT_FLOAT_EQ(data->log.ElapsedTime.at(2700), 674.75f);
    EXPECT_EQ(data->log.ControllerType, "Unknown");
    EXPECT_EQ(view.chartsShown, 1);

    // Inside the trailer: the trailer values are emptied.
    restart();
    prompts = ScriptedPrompts();
    prompts.answerMessages({Answer::Ok, Answer::Ok});
    std::string text = logText("1", fullSamples(), false) + "\"Firmware ID\",\"Shift Light\"\r\n";
    spit(folder / "t.log", text);
    open(folder / "t.log");
    EXPECT_EQ(prompts.messageTexts(), (std::vector<std::string>{PrematureEnd, BadFirmware}));
    EXPECT_EQ(data->log.FirmwareID, "");
    EXPECT_FLOAT_EQ(data->log.RPMData.at(2700), 2.0f);
}

TEST_F(LogFileTest, OpeningOverALogAndDeclinedFiles) {
    download();
    const DataLog before = data->log;
    prompts.answerMessages({Answer::Cancel});
    mnuOpenFile_Click(ctx);
    EXPECT_EQ(prompts.messageTexts(),
              std::vector<std::string>{"Data buffer not empty. OK to overwrite?"});
    EXPECT_EQ(prompts.shown()[0].icon, Icon::None);
    EXPECT_EQ(data->log.RPMData, before.RPMData);

    // A missing file: Retry shows the dialog again; Cancel goes to the error prompt.
    prompts.answerMessages({Answer::Ok, Answer::Retry, Answer::Cancel, Answer::Ignore});
    prompts.answerFiles({(folder / "nope.log").string(), (folder / "nope.log").string()});
    mnuOpenFile_Click(ctx);
    const auto texts = prompts.messageTexts();
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[2], (folder / "nope.log").string() + "\r\nFile not found.");
    EXPECT_EQ(prompts.messages()[2].buttons, Buttons::RetryCancel);
    EXPECT_EQ(prompts.messages()[2].title, "File Open");
    EXPECT_EQ(texts[4], "Canceled File Open");
    EXPECT_TRUE(data->log.DataBufferEmpty);
    EXPECT_EQ(view.chartsShown, 0);
}

TEST_F(LogFileTest, CommentEntry) {
    data->log.Comment = "old";
    prompts.answerInputs({std::nullopt, std::string("new, with comma")});
    mnuEditComment_Click(ctx);
    EXPECT_EQ(data->log.Comment, "");
    EXPECT_EQ(prompts.shown()[0].text, "Enter or edit comment. Cancel will erase any comment.");
    EXPECT_EQ(prompts.shown()[0].title, "Optional Information Entry/Edit");
    mnuEditComment_Click(ctx);
    EXPECT_EQ(data->log.Comment, "new, with comma");
}

}  // namespace
}  // namespace velkor::test
