// velkor-cli run as a person or a script runs it: the real program against the simulated
// controller on a pseudo-terminal, its files read back by the core and by Qt.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>
#include <sstream>

#include "about/BrandingFile.h"
#include "base/Preferences.h"
#include "log/LogFile.h"
#include "sim/DragRun.h"
#include "support/Drives.h"
#include "support/Files.h"

namespace velkor::test {
namespace {

struct Result {
    int code = -1;
    std::string out;
    std::string err;
};

class CliTest : public ::testing::Test {
protected:
    CliTest() {
        config.fram = sim::generateDrive(368, 3);
        config.eeprom = sim::makeEeprom(6, 26, 230);
    }

    void startSimulator() {
        simulator = std::make_unique<sim::Simulator>(config);
        simulator->start();
    }
    QString device() const { return QString::fromStdString(simulator->devicePath()); }
    std::string path(const char* name) const { return home.filePath(name).toStdString(); }

    // Starts velkor-cli in a profile of its own, standard input a pipe (not a terminal).
    std::unique_ptr<QProcess> start(const QStringList& args) const {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", home.filePath("config"));
        env.insert("XDG_DATA_HOME", dataHome);
        process->setProcessEnvironment(env);
        process->setWorkingDirectory(home.path());
        process->start(VELKOR_CLI_PATH, args);
        process->closeWriteChannel();
        EXPECT_TRUE(process->waitForStarted());
        return process;
    }
    Result run(const QStringList& args) const {
        const auto process = start(args);
        EXPECT_TRUE(process->waitForFinished(120000));
        return {process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1,
                process->readAllStandardOutput().toStdString(),
                process->readAllStandardError().toStdString()};
    }

    // A log file as a download of `fram` saves it.
    std::string writeLog(const sim::Fram& fram, float interval, const char* name) {
        auto log = std::make_unique<DataLog>();
        loadDrive(*log, fram, interval);
        log->FirmwareID = "Shift Light Controller V2.0";
        log->ControllerType = controllerTypeOf(log->FirmwareID);
        log->DownloadDate = "12/07/26 14:03:22";
        log->Comment = "Track day";
        spit(path(name), logFileText(*log, Preferences{}, "Velkor"));
        return path(name);
    }

    QTemporaryDir home;
    QString dataHome = home.filePath("share");
    sim::Config config;
    std::unique_ptr<sim::Simulator> simulator;
};

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

    // A file that cannot be written leaves the controller's log alone.
    const Result refused = run({"download", "--port", device(), "-o",
                                home.filePath("no-such-folder/drive.log"), "--clear-after"});
    EXPECT_EQ(refused.code, 3);
    EXPECT_NE(refused.err.find("was not erased"), std::string::npos);
    EXPECT_EQ(simulator->eraseCount(), 0);

    const Result cleared =
        run({"download", "--port", device(), "-o", home.filePath("again.log"), "--clear-after"});
    EXPECT_EQ(cleared.code, 0) << cleared.err;
    EXPECT_NE(cleared.err.find("Controller data buffer cleared."), std::string::npos);
    EXPECT_EQ(simulator->eraseCount(), 1);
    EXPECT_EQ(simulator->blocksServed(),
              4 * 512);  // three downloads, and the check before the erase
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
              std::string::npos);
    EXPECT_FALSE(QFileInfo::exists(home.filePath("none.log")));
    EXPECT_EQ(simulator->eraseCount(), 0);
}

TEST_F(CliTest, CtrlCMidDownloadLeavesNoFileAndThePortFree) {
    startSimulator();
    const auto process =
        start({"download", "--port", device(), "-o", QString::fromStdString(path("cut.log"))});
    process->setReadChannel(QProcess::StandardError);
    std::string err;
    while (err.find("10 %") == std::string::npos && process->waitForReadyRead(30000)) {
        err += process->readAllStandardError().toStdString();
    }
    ASSERT_NE(err.find("10 %"), std::string::npos) << err;
    ::kill(pid_t(process->processId()), SIGINT);
    ASSERT_TRUE(process->waitForFinished(30000));
    EXPECT_EQ(process->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process->exitCode(), 130);
    EXPECT_LT(simulator->blocksServed(), 512);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("cut.log"))));
    EXPECT_TRUE(QDir(home.filePath("share/Velkor/downloads")).isEmpty());
    EXPECT_TRUE(QDir(home.path()).entryList({"*.log*", ".*tmp*"}, QDir::Files).isEmpty());

    // The port was let go: the controller answers the next command at once.
    EXPECT_EQ(run({"clear", "--port", device(), "--yes"}).code, 0);
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
    ASSERT_EQ(elapsed.size(), 5u);
    for (std::size_t i = 1; i < elapsed.size(); ++i) {
        EXPECT_GE(elapsed[i] - elapsed[i - 1], 0.45) << "refresh " << i;
    }
}

TEST_F(CliTest, FileCommandsReadTheirOutputBack) {
    const std::string log = writeLog(sim::generateDrive(368, 5), 0.096f, "road.log");
    const QString file = QString::fromStdString(log);

    const Result info = run({"info", file, "--json"});
    ASSERT_EQ(info.code, 0) << info.err;
    const QJsonObject about = QJsonDocument::fromJson(QByteArray::fromStdString(info.out)).object();
    EXPECT_EQ(about["firmwareId"].toString(), "Shift Light Controller V2.0");
    EXPECT_EQ(about["comment"].toString(), "Track day");
    EXPECT_DOUBLE_EQ(about["intervalSeconds"].toDouble(), 0.096);
    EXPECT_TRUE(about["messages"].toArray().isEmpty());

    const Result csv = run({"export", file, "--csv", "-", "--set", "VSSUnits=KPH"});
    ASSERT_EQ(csv.code, 0) << csv.err;
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), 1 + SampleCount);
    EXPECT_NE(csv.out.find("VSS (KPH)"), std::string::npos);

    const Result png =
        run({"export", file, "--png", home.filePath("chart.png"), "--trace1", "tps", "--trace2",
             "Shift Light", "--from", "10", "--to", "70", "--size", "800x500"});
    ASSERT_EQ(png.code, 0) << png.err;
    const QImage picture(home.filePath("chart.png"));
    EXPECT_EQ(picture.size(), QSize(800, 500));
    for (const auto& [kind, start] : {std::pair{"--svg", "<svg"}, std::pair{"--pdf", "%PDF-"}}) {
        const Result drawn = run({"export", file, kind, "-"});
        EXPECT_EQ(drawn.code, 0) << drawn.err;
        EXPECT_NE(drawn.out.substr(0, 200).find(start), std::string::npos) << kind;
    }

    const auto drag = sim::generateDragRun(0.016);
    const Result analysis =
        run({"analyze", QString::fromStdString(writeLog(drag.fram, 0.016f, "drag.log")), "--json"});
    ASSERT_EQ(analysis.code, 0) << analysis.err;
    const QJsonObject summary =
        QJsonDocument::fromJson(QByteArray::fromStdString(analysis.out)).object();
    EXPECT_EQ(summary["runs"].toArray().size(), 1);
    EXPECT_EQ(summary["shifts"].toArray().size(), 3);
}

TEST_F(CliTest, ExitStatusesTellUsageFromFileFaults) {
    const QString log = QString::fromStdString(writeLog(sim::generateDrive(), 0.096f, "a.log"));
    const struct {
        QStringList args;
        int code;
    } cases[] = {
        {{"--version"}, 0},
        {{"export", "--help"}, 0},
        {{}, 1},
        {{"fly"}, 1},
        {{"info"}, 1},
        {{"info", log, "--bogus"}, 1},
        {{"export", log}, 1},
        {{"export", log, "--png", "-", "--trace2", "rpm x"}, 1},
        {{"export", log, "--png", "-", "--from", "9000"}, 1},
        {{"export", log, "--csv", "-", "--from", "9000"}, 1},
        {{"export", log, "--csv", "-", "--size", "10x10"}, 1},
        {{"info", log, "--set", "Colour=red"}, 1},
        {{"info", log, "--set", "Tach_Max=lots"}, 1},
        {{"info", log, "--set", "Input2Legend= Boost"}, 1},
        {{"download", "--port", "Com256", "-o", "x.log"}, 1},
        {{"info", home.filePath("missing.log")}, 3},
        {{"export", log, "--csv", home.path()}, 3},
        {{"download", "--port", home.filePath("no-device"), "-o", "x.log"}, 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(run(c.args).code, c.code) << c.args.join(' ').toStdString();
    }
}

TEST_F(CliTest, SetRefusesWhatTheOptionsDialogsWouldAndNamesTheValuesAllowed) {
    const QString log = QString::fromStdString(writeLog(sim::generateDrive(), 0.096f, "a.log"));
    const std::pair<const char*, const char*> refused[] = {
        {"VSSUnits=Furlongs", "VSSUnits takes MPH or KPH, not \"Furlongs\""},
        {"Tach_Max=3e38", "Tach_Max takes 5000 to 20000"},
        {"Speedo_Max=1e-30", "Speedo_Max takes 55 to 250"},
        {"Input1Type=MAP 4 bar", "Analog, AFR, MAP 1 bar, MAP 2 bar or MAP 3 bar"},
        {"CommPort=2.5", "CommPort takes 1 to 255"},
        {"TPS_Percent_Display=maybe", "True or False"},
        {"MaxInput2ScaledValue=10001", "0 to 10000"}};
    for (const auto& [set, allowed] : refused) {
        const Result result = run({"info", log, "--set", set});
        EXPECT_EQ(result.code, 1) << set;
        EXPECT_NE(result.err.find(allowed), std::string::npos) << result.err;
    }
    // A choice in another letter case is the choice.
    const Result kph = run({"export", log, "--csv", "-", "--set", "VSSUnits=kph"});
    EXPECT_NE(kph.out.find("VSS (KPH)"), std::string::npos) << kph.err;
}

TEST_F(CliTest, FromAndToHoldTheSamplesInsideTheSpanForEveryOutput) {
    const QString log = QString::fromStdString(writeLog(sim::generateDrive(), 0.096f, "a.log"));
    // Samples every 0.096 s: 1.056 s to 1.92 s lie inside [1, 2].
    const Result csv = run({"export", log, "--csv", "-", "--from", "1", "--to", "2"});
    ASSERT_EQ(csv.code, 0) << csv.err;
    std::istringstream lines(csv.out);
    std::string line;
    std::getline(lines, line);
    std::vector<double> times;
    while (std::getline(lines, line)) {
        times.push_back(std::stod(line));
    }
    ASSERT_EQ(times.size(), 10u) << csv.out;
    EXPECT_NEAR(times.front(), 1.056, 0.005);  // as the CSV rounds it
    EXPECT_NEAR(times.back(), 1.92, 0.005);

    // A reversed pair, or a span between two samples, is refused by every output alike.
    for (const char* kind : {"--csv", "--png", "--svg"}) {
        for (const auto& [from, to] : {std::pair{"5", "1"}, std::pair{"1", "1.05"}}) {
            const Result refused = run({"export", log, kind, "-", "--from", from, "--to", to});
            EXPECT_EQ(refused.code, 1) << kind << " " << from << ".." << to;
        }
    }
}

TEST_F(CliTest, TerminalMessagesSayWhatHappenedWithTheSystemsReason) {
    startSimulator();
    ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0600), 0);
    spit(path("plain"), "not a port");
    QFile::link(device(), home.filePath("controller"));
    const struct {
        QStringList args;
        int code;
        std::string says;
    } cases[] = {
        {{"info", home.path()}, 3, "cannot be read: it is a folder, not a log file"},
        {{"info", home.filePath("pipe")}, 3, "cannot be read: it is a pipe or socket"},
        {{"info", "/dev/null"}, 3, "cannot be read: it is a device, not a log file"},
        {{"info", home.filePath("missing.log")}, 3, "cannot be read: No such file or directory"},
        {{"download", "--port", "plain", "-o", "x.log"},
         2,
         "plain could not be opened: it is an ordinary file, not a serial device"},
        {{"download", "--port", "/dev/null", "-o", "x.log"},
         2,
         "/dev/null could not be opened: it is not a serial device (Inappropriate ioctl"},
        // A relative path is taken from the current folder, not from /dev.
        {{"download", "--port", "controller", "-o", "x.log"},
         0,
         "this download was not kept in " + home.filePath("plain").toStdString()},
    };
    dataHome = home.filePath("plain");  // no downloads folder can be made there
    for (const auto& c : cases) {
        const Result result = run(c.args);
        EXPECT_EQ(result.code, c.code) << result.err;
        EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
        for (const char* windowWords : {"File not found", "Save File", "Port Setup", "Abort"}) {
            EXPECT_EQ(result.err.find(windowWords), std::string::npos) << result.err;
        }
    }
}

}  // namespace
}  // namespace velkor::test

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
