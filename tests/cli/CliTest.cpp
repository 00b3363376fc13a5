// velkor-cli on log files made by the core: information, exports, analysis and their faults.

#include "cli/CliFixture.h"

namespace velkor::test {
namespace {

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
        // An export onto its own log file, by its name or another name of the same file.
        {{"export", log, "--csv", log}, 1},
        {{"export", log, "--pdf", home.filePath("hard.log")}, 1},
    };
    const std::string before = slurp(log.toStdString());
    ASSERT_TRUE(QFile::link(log, home.filePath("link.log")));
    ASSERT_EQ(::link(log.toLocal8Bit().constData(), path("hard.log").c_str()), 0);
    for (const auto& c : cases) {
        EXPECT_EQ(run(c.args).code, c.code) << c.args.join(' ').toStdString();
    }
    EXPECT_EQ(run({"export", home.filePath("link.log"), "--svg", log}).code, 1);
    EXPECT_EQ(slurp(log.toStdString()), before);
}

// A file that is no log, or a log with a number no log holds, is a file fault that writes nothing.
TEST_F(CliTest, NoSampleLineOrADamagedNumberEndsInStatusThreeAndWritesNothing) {
    std::string noise;
    std::uint32_t seed = 7;
    for (int i = 0; i < 4096; ++i) {
        seed = seed * 1664525u + 1013904223u;
        noise += static_cast<char>(seed >> 24);
    }
    spit(path("noise.log"), noise);
    std::string damaged = slurp(writeLog(sim::generateDrive(368, 5), 0.096f, "damaged.log"));
    std::size_t line14 = 0;
    for (int line = 1; line < 14; ++line) {
        line14 = damaged.find('\n', line14) + 1;
    }
    damaged.replace(line14, damaged.find('\r', line14) - line14, "1,2,3,1e39,5,6,7,8,9,10,11");
    spit(path("damaged.log"), damaged);
    for (const auto& [file, says] : {std::pair{"noise.log", "is not a Velkor log file"},
                                     std::pair{"damaged.log", "Line 14 of the file holds"}}) {
        const QString name = home.filePath(file);
        for (const QStringList& args : {QStringList{"info", name},
                                        {"info", name, "--json"},
                                        {"export", name, "--csv", home.filePath("out.csv")},
                                        {"analyze", name}}) {
            const Result result = run(args);
            EXPECT_EQ(result.code, 3) << args.join(' ').toStdString();
            EXPECT_NE(result.err.find(says), std::string::npos) << result.err;
            EXPECT_EQ(result.out, "") << args.join(' ').toStdString();
        }
        EXPECT_FALSE(QFile::exists(home.filePath("out.csv")));
    }
}

TEST_F(CliTest, ControlCharactersOfALogNeverReachTheTerminal) {
    auto log = std::make_unique<DataLog>();
    loadDrive(*log, sim::generateDrive(368, 3), 0.096f);
    log->FirmwareID = "Shift Light \x1B]0;owned\x07";
    log->DownloadDate = "\x1B[H\x9D";
    log->Comment =
        "\x1B[2J\x9B"
        "31m gone\r";
    Preferences prefs;
    prefs.Input2Type = "Scaled Analog";
    prefs.Input2Legend = "\x1B[31mBoost";
    spit(path("escapes.log"), logFileText(*log, prefs, "Acme"));
    const QString file = home.filePath("escapes.log");
    for (const QStringList& args : {QStringList{"info", file},
                                    {"info", file, "--json"},
                                    {"export", file, "--csv", "-"},
                                    {"analyze", file}}) {
        const Result result = run(args);
        ASSERT_EQ(result.code, 0) << result.err;
        for (const std::string& text : {result.out, result.err}) {
            for (std::size_t i = 0; i < text.size(); ++i) {
                const auto byte = static_cast<unsigned char>(text[i]);
                const bool c1 = byte == 0xC2 && i + 1 < text.size() &&
                                (static_cast<unsigned char>(text[i + 1]) & 0xE0) == 0x80;
                const bool lineEnd = byte == '\n' || (byte == '\r' && text[i + 1] == '\n');
                ASSERT_TRUE(lineEnd || (byte >= 0x20 && byte != 0x7F && !c1))
                    << args.join(' ').toStdString() << ": byte " << int(byte) << " at " << i;
            }
        }
        if (args == QStringList{"info", file}) {
            EXPECT_NE(result.out.find("Comment:        ?[2J?31m gone"), std::string::npos);
        }
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
