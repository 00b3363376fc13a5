// velkor-cli against the simulated controller: downloads, erases, the live record and stopping.

#include "cli/CliFixture.h"

namespace velkor::test {
namespace {

TEST_F(CliTest, DownloadSavesTheSimulatorsImageDecodedAndEraseFollowsOnlyAVerifiedFile) {
    startSimulator();
    const Result saved = run({"download", "--port", device(), "-o",
                              QString::fromStdString(path("drive.log")), "--comment", "Run 1"});
    ASSERT_EQ(saved.code, 0) << saved.err;
    EXPECT_NE(saved.err.find("Firmware ID: Shift Light Controller V2.0"), std::string::npos);
    EXPECT_NE(saved.err.find("512/512 blocks"), std::string::npos);

    // The file is the simulator's image decoded and saved, with the download's own date.
    const std::string file = slurp(path("drive.log"));
    auto back = std::make_unique<DataLog>();
    Preferences backPrefs;
    std::istringstream in(file);
    ASSERT_EQ(readLogFile(in, *back, backPrefs).end, LogFileRead::End::Complete);
    auto expected = std::make_unique<DataLog>();
    loadDrive(*expected, config.fram, back->DataLogInterval);
    expected->FirmwareID = "Shift Light Controller V2.0";
    expected->ControllerType = "Shift Light";
    expected->DownloadDate = back->DownloadDate;
    expected->Comment = "Run 1";
    Preferences prefs;
    applyPressureScaling(prefs);
    const std::string maker = makerName(loadBranding({VELKOR_DATA_DIR}).read.branding);
    EXPECT_EQ(file, logFileText(*expected, prefs, maker));
    EXPECT_EQ(simulator->eraseCount(), 0);

    const Result cleared =
        run({"download", "--port", device(), "-o", home.filePath("again.log"), "--clear-after"});
    EXPECT_EQ(cleared.code, 0) << cleared.err;
    EXPECT_NE(cleared.err.find("Controller data buffer cleared."), std::string::npos);
    EXPECT_EQ(simulator->eraseCount(), 1);
    EXPECT_EQ(simulator->blocksServed(), 3 * 512);  // two downloads, and the check before the erase
    EXPECT_EQ(slurp(path("again.log")).size(), file.size() - std::string("Run 1").size() + 1);
}

// The line carries no checksum: a download whose second read differs, or whose logging interval
// cannot be read, is no ground for an erase.
TEST_F(CliTest, AnEraseFollowsOnlyTwoEqualReadsOfAWholeDownload) {
    config.faults.noiseOneIn = 5000;
    startSimulator();
    const Result noisy =
        run({"download", "--port", device(), "-o", home.filePath("noisy.log"), "--clear-after"});
    EXPECT_EQ(noisy.code, 2) << noisy.err;
    EXPECT_NE(noisy.err.find("the two reads of the controller's memory differ; " +
                             path("noisy.log") + " is kept"),
              std::string::npos)
        << noisy.err;
    EXPECT_TRUE(QFileInfo::exists(home.filePath("noisy.log")));

    sim::Faults refusing;
    refusing.refusedAddress = 19;  // where the logging interval is kept
    simulator->setFaults(refusing);
    const Result noInterval =
        run({"download", "--port", device(), "-o", home.filePath("none.log"), "--clear-after"});
    EXPECT_EQ(noInterval.code, 2) << noInterval.err;
    EXPECT_NE(noInterval.err.find("Logging interval read failed - cannot download."),
              std::string::npos)
        << noInterval.err;
    EXPECT_FALSE(QFileInfo::exists(home.filePath("none.log")));
    EXPECT_EQ(simulator->eraseCount(), 0);
}

// Ctrl-C, a closed terminal (SIGHUP) and the end of the session (SIGTERM) stop a download alike.
TEST_F(CliTest, ASignalMidDownloadLeavesNoFileAndThePortFreeAndEndsWithItsStatus) {
    startSimulator();
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        const int servedBefore = simulator->blocksServed();
        const auto process =
            start({"download", "--port", device(), "-o", QString::fromStdString(path("cut.log"))});
        process->setReadChannel(QProcess::StandardError);
        std::string err;
        while (err.find("10 %") == std::string::npos && process->waitForReadyRead(30000)) {
            err += process->readAllStandardError().toStdString();
        }
        ASSERT_NE(err.find("10 %"), std::string::npos) << err;
        ::kill(pid_t(process->processId()), signal);
        ASSERT_TRUE(process->waitForFinished(30000));
        EXPECT_EQ(process->exitStatus(), QProcess::NormalExit) << signal;
        EXPECT_EQ(process->exitCode(), 128 + signal);
        EXPECT_LT(simulator->blocksServed() - servedBefore, 512);
        EXPECT_FALSE(QFile::exists(QString::fromStdString(path("cut.log"))));
        EXPECT_TRUE(QDir(home.filePath("share/Velkor/downloads")).isEmpty());
        EXPECT_TRUE(QDir(home.path()).entryList({"*.log*", ".*tmp*"}, QDir::Files).isEmpty());

        // The port was let go: the controller answers the next command at once.
        EXPECT_EQ(run({"clear", "--port", device(), "--yes"}).code, 0) << signal;
    }
}

// The output is checked before the port is opened: a download is not spent on a file that cannot
// be saved, and a live start that fails keeps the earlier record. The port names no device, so
// reaching it would end in a link fault (status 2).
TEST_F(CliTest, AnOutputThatCannotBeWrittenIsRefusedBeforeThePortAndAFailedStartKeepsTheOldFile) {
    spit(path("read-only.log"), "earlier");
    ::chmod(path("read-only.log").c_str(), 0444);
    spit(path("drive.csv"), "earlier record");
    const QString noDevice = home.filePath("no-device");
    const struct {
        QStringList args;
        int code;
        const char* said;
    } cases[] = {
        {{"download", "-o", home.filePath("no-such-folder/drive.log"), "--clear-after"},
         3,
         "no-such-folder does not exist. Nothing was written. The controller was not read."},
        {{"download", "-o", home.path()}, 3, "it is a folder, not a file"},
        {{"download", "-o", home.filePath("read-only.log")}, 3, "it is write-protected"},
        {{"live", "--csv", home.filePath("no-such-folder/drive.csv")}, 3, "does not exist"},
        {{"live", "--csv", home.filePath("read-only.log")}, 3, "it is write-protected"},
        {{"live", "--csv", home.filePath("drive.csv")}, 2, "no-device"},
    };
    for (const auto& c : cases) {
        const Result result = run(c.args + QStringList{"--port", noDevice});
        EXPECT_EQ(result.code, c.code) << c.args.join(' ').toStdString() << "\n" << result.err;
        EXPECT_NE(result.err.find(c.said), std::string::npos) << result.err;
    }
    EXPECT_EQ(slurp(path("read-only.log")) + slurp(path("drive.csv")), "earlierearlier record");

    // A controller that never answers costs the earlier record nothing either.
    config.faults.silent = true;
    startSimulator();
    EXPECT_EQ(run({"live", "--port", device(), "--csv", home.filePath("drive.csv")}).code, 2);
    EXPECT_EQ(slurp(path("drive.csv")), "earlier record");
    EXPECT_EQ(QDir(home.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

TEST_F(CliTest, ClearRefusesWithoutATerminalAndControllerFaultsEndInStatusTwo) {
    startSimulator();
    const Result refused = run({"clear", "--port", device()});
    EXPECT_EQ(refused.code, 1);
    EXPECT_NE(refused.err.find("--yes"), std::string::npos);
    EXPECT_EQ(simulator->eraseCount(), 0);

    const Result cleared = run({"clear", "--port", device(), "--yes"});
    EXPECT_EQ(cleared.code, 0) << cleared.err;
    EXPECT_EQ(simulator->eraseCount(), 1);

    config.state = 2;  // armed: the controller's own refusal
    simulator.reset();
    startSimulator();
    const Result armed = run({"clear", "--port", device(), "--yes"});
    EXPECT_EQ(armed.code, 2);
    EXPECT_NE(armed.err.find("Cannot clear data buffer while controller is armed."),
              std::string::npos);
    EXPECT_EQ(run({"download", "--port", device(), "-o", "x.log"}).code, 2);

    simulator->setState(1);
    sim::Faults faults;
    faults.stopAfterBlocks = 3;  // a block that never comes
    simulator->setFaults(faults);
    const Result failed =
        run({"download", "--port", device(), "-o", QString::fromStdString(path("x.log"))});
    EXPECT_EQ(failed.code, 2);
    EXPECT_NE(failed.err.find("the controller did not answer in time (RS-232 time-out)"),
              std::string::npos);
    EXPECT_EQ(failed.err.find("click Abort"), std::string::npos);
    EXPECT_NE(failed.err.find("FRAM download failed."), std::string::npos);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("x.log"))));
}

TEST_F(CliTest, LiveRecordsFiveRefreshesHalfASecondApart) {
    startSimulator();
    spit(path("live.csv"), "earlier record");
    const Result live = run({"live", "--port", device(), "--count", "5", "--csv",
                             QString::fromStdString(path("live.csv")), "--set", "VSSUnits=KPH"});
    ASSERT_EQ(live.code, 0) << live.err;
    EXPECT_EQ(std::count(live.out.begin(), live.out.end(), '\n'), 5);

    std::istringstream csv(slurp(path("live.csv")));
    std::string line;
    std::getline(csv, line);
    EXPECT_EQ(line.rfind("Time,Elapsed (s),RPM,VSS (KPH),", 0), 0u) << line;
    std::vector<double> elapsed;
    while (std::getline(csv, line)) {
        elapsed.push_back(std::stod(line.substr(line.find(',') + 1)));
    }
    // Refresh i starts on the timer's schedule, i half-seconds after the first, or later on a
    // busy machine; a late one may be followed closely by an on-time one.
    ASSERT_EQ(elapsed.size(), 5u);
    for (std::size_t i = 1; i < elapsed.size(); ++i) {
        EXPECT_GE(elapsed[i], 0.5 * double(i)) << "refresh " << i;
        EXPECT_GT(elapsed[i], elapsed[i - 1]) << "refresh " << i;
    }
}

}  // namespace
}  // namespace velkor::test
