// velkor-cli logbook as scripts use it: the JSON's keys in their order, entries that change
// only what is given and nothing when refused, the dial-in the core predicts, and no text from
// a file name or an entry reaching the terminal raw.

#include "cli/CliFixture.h"
#include "logbook/DensityAltitude.h"
#include "logbook/DialIn.h"
#include "logbook/LogbookFixture.h"

namespace velkor::test {
namespace {

const std::vector<std::string> PassKeys = {"pass_id",
                                           "file",
                                           "run",
                                           "download_date",
                                           "track",
                                           "car",
                                           "note",
                                           "temp_f",
                                           "baro_inhg",
                                           "humidity_pct",
                                           "density_altitude_ft",
                                           "ft60_s",
                                           "ft330_s",
                                           "ft660_s",
                                           "ft1000_s",
                                           "ft1320_s",
                                           "trap_1320_mph",
                                           "zero_to_60_mph_s",
                                           "best_reaction_s",
                                           "peak_rpm"};

// The keys of the objects at one indent, in the order written, one list per object.
std::vector<std::vector<std::string>> keyOrders(const std::string& json, int indent) {
    std::vector<std::vector<std::string>> objects;
    const std::string keyStart = std::string(std::size_t(indent), ' ') + '"';
    // The key of a line `<indent>"key": ...`, or "" for any other line.
    const auto keyOf = [&](const std::string& line) -> std::string {
        if (line.compare(0, keyStart.size(), keyStart) != 0) {
            return {};
        }
        const std::size_t close = line.find("\":", keyStart.size());
        return close == std::string::npos ? std::string()
                                          : line.substr(keyStart.size(), close - keyStart.size());
    };
    const std::string opener(std::size_t(indent - 2), ' ');
    const auto opens = [&](const std::string& line) {
        return line.compare(0, opener.size(), opener) == 0 && line.size() > opener.size() &&
               line[opener.size()] != ' ' && line.back() == '{';
    };
    std::istringstream lines(json);
    for (std::string line; std::getline(lines, line);) {
        if (opens(line)) {
            objects.emplace_back();
        } else if (const std::string key = keyOf(line); !key.empty() && !objects.empty()) {
            objects.back().push_back(key);
        }
    }
    return objects;
}

bool hasControl(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte < 0x20 && c != '\n') || byte == 0x7f;
    });
}

class CliLogbookTest : public CliTest {
protected:
    CliLogbookTest() { QDir(home.path()).mkpath("logs"); }

    void writePass(const std::string& name, unsigned seed) {
        spit(home.filePath("logs/").toStdString() + name, dragLogText(seed));
    }
    QJsonArray passes(const QStringList& filter = {}) {
        const Result listed = run(QStringList{"logbook", "list", "--json"} + filter);
        EXPECT_EQ(listed.code, 0) << listed.err;
        return QJsonDocument::fromJson(QByteArray::fromStdString(listed.out))["passes"].toArray();
    }
    QJsonObject firstPass() { return passes().first().toObject(); }
    QString idOf(const QJsonValue& pass) { return QString::number(pass["pass_id"].toInt()); }
    std::unique_ptr<Logbook> openBook() const {
        const std::string folder = (dataHome + "/Velkor/").toStdString();
        return std::make_unique<Logbook>(folder + LogbookDatabaseName, folder + LogbookJournalName);
    }
};

TEST_F(CliLogbookTest, ScanIndexesEveryPassWithItsKeysAndPassesOverUnchangedFiles) {
    writePass("a.log", 1);
    writePass("b.log", 2);
    writePass("bad\x1b]0;pwned\x07.log", 3);
    spit(home.filePath("logs/").toStdString() + "junk\x1b[2J.log", "not a log\n");
    const Result scan = run({"logbook", "scan", home.filePath("logs")});
    ASSERT_EQ(scan.code, 0) << scan.err;
    EXPECT_NE(scan.out.find("Scanned 4 log files: 3 new or changed (3 passes)"), std::string::npos)
        << scan.out;
    EXPECT_NE(scan.err.find("junk?[2J.log: "), std::string::npos) << scan.err;
    EXPECT_FALSE(hasControl(scan.out + scan.err));

    const Result listed = run({"logbook", "list", "--json"});
    ASSERT_EQ(listed.code, 0) << listed.err;
    EXPECT_FALSE(hasControl(listed.out));
    const auto orders = keyOrders(listed.out, 6);
    ASSERT_EQ(orders.size(), 3u) << listed.out;
    for (const auto& order : orders) {
        EXPECT_EQ(order, PassKeys);
    }
    EXPECT_TRUE(firstPass()["track"].isNull());
    EXPECT_EQ(passes({"--find", "pwned"}).size(), 1);
    EXPECT_FALSE(hasControl(run({"logbook", "list"}).out));

    // The folder is remembered: a scan without it looks there again.
    const Result again = run({"logbook", "scan"});
    EXPECT_EQ(again.code, 0) << again.err;
    EXPECT_NE(again.out.find("0 new or changed (0 passes), 3 unchanged"), std::string::npos)
        << again.out;
    EXPECT_FALSE(hasControl(again.out + again.err));
}

TEST_F(CliLogbookTest, NoteChangesOnlyWhatIsGivenAndNothingWhenRefused) {
    writePass("a.log", 1);
    ASSERT_EQ(run({"logbook", "scan", home.filePath("logs")}).code, 0);
    const QString id = idOf(passes()[0]);

    const Result noted = run({"logbook", "note", id, "--track", "Ridgeway", "--temp-f", "75",
                              "--baro-inhg", "29.1", "--humidity", "40"});
    ASSERT_EQ(noted.code, 0) << noted.err;
    EXPECT_NE(noted.out.find("Ridgeway"), std::string::npos);
    ASSERT_EQ(run({"logbook", "note", id, "--text", "new tyres"}).code, 0);
    QJsonObject pass = firstPass();
    EXPECT_EQ(pass["track"].toString(), "Ridgeway");
    EXPECT_EQ(pass["note"].toString(), "new tyres");
    const double feet = *densityAltitude({75, 29.1, 40}).feet;
    EXPECT_NEAR(pass["density_altitude_ft"].toDouble(), feet, 0.5);

    const Result baro = run({"logbook", "note", id, "--track", "Other", "--baro-inhg", "40"});
    EXPECT_EQ(baro.code, 1);
    EXPECT_NE(baro.err.find("barometer"), std::string::npos) << baro.err;
    const Result escape = run({"logbook", "note", id, "--track", "\x1b]0;pwned\x07"});
    EXPECT_EQ(escape.code, 1);
    EXPECT_NE(escape.err.find("control characters"), std::string::npos) << escape.err;
    EXPECT_FALSE(hasControl(escape.out + escape.err));
    pass = firstPass();
    EXPECT_EQ(pass["track"].toString(), "Ridgeway");
    EXPECT_DOUBLE_EQ(pass["baro_inhg"].toDouble(), 29.1);

    EXPECT_EQ(run({"logbook", "note", id, "--track", ""}).code, 0);
    EXPECT_TRUE(firstPass()["track"].isNull());
    EXPECT_EQ(run({"logbook", "note", "999", "--track", "X"}).code, 1);
    EXPECT_EQ(run({"logbook", "note", id}).code, 1);
}

TEST_F(CliLogbookTest, PredictAgreesWithTheCoreAndSaysWhyWithTooFewPasses) {
    for (unsigned seed = 1; seed <= 3; ++seed) {
        writePass("p" + std::to_string(seed) + ".log", seed);
    }
    ASSERT_EQ(run({"logbook", "scan", home.filePath("logs")}).code, 0);
    const QJsonArray all = passes();
    ASSERT_EQ(all.size(), 3);
    const QStringList today = {"--temp-f", "70", "--baro-inhg", "29.5", "--humidity", "50"};
    const QStringList temps = {"60", "80", "95"};
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(run({"logbook", "note", idOf(all[i]), "--car", "Nova", "--temp-f", temps[i],
                       "--baro-inhg", "29.4", "--humidity", "45"})
                      .code,
                  0);
        const Result predicted = run(QStringList{"logbook", "predict", "--json"} + today);
        ASSERT_EQ(predicted.code, 0) << predicted.err;
        const QJsonObject dialIn =
            QJsonDocument::fromJson(QByteArray::fromStdString(predicted.out)).object();
        EXPECT_EQ(dialIn["passes"].toInt(), i + 1);
        if (i < 2) {
            EXPECT_TRUE(dialIn["predicted_ft1320_s"].isNull());
            EXPECT_FALSE(dialIn["note"].toString().isEmpty());
            continue;
        }
        const double feet = *densityAltitude({70, 29.5, 50}).feet;
        const DialIn expected = predictDialIn(weatherPoints(openBook()->passes()), feet);
        ASSERT_TRUE(expected.et);
        EXPECT_NEAR(dialIn["predicted_ft1320_s"].toDouble(), *expected.et, 0.0005);
        EXPECT_NEAR(dialIn["standard_error_s"].toDouble(), *expected.standardError, 0.0005);
        EXPECT_TRUE(dialIn["note"].isNull());
    }
    const Result text = run(QStringList{"logbook", "predict", "--car", "Other"} + today);
    EXPECT_EQ(text.code, 0);
    EXPECT_NE(text.out.find("No dial-in"), std::string::npos) << text.out;
    EXPECT_EQ(
        run({"logbook", "predict", "--temp-f", "70", "--baro-inhg", "50", "--humidity", "50"}).code,
        1);

    const Result stats = run({"logbook", "stats", "--json", "--car", "nova", "--last", "2"});
    ASSERT_EQ(stats.code, 0) << stats.err;
    const auto orders = keyOrders(stats.out, 4);
    ASSERT_EQ(orders.size(), 4u);
    for (const auto& order : orders) {
        EXPECT_EQ(order, (std::vector<std::string>{"count", "mean", "sd", "min", "max"}));
    }
    const QJsonObject figures =
        QJsonDocument::fromJson(QByteArray::fromStdString(stats.out)).object();
    EXPECT_EQ(figures["passes"].toInt(), 2);
    EXPECT_EQ(figures["ft1320_s"]["count"].toInt(), 2);
}

TEST_F(CliLogbookTest, RefusesOptionsOfAnotherSubcommandMalformedDaysAndMissingFolders) {
    const Result other = run({"logbook", "list", "--temp-f", "70"});
    EXPECT_EQ(other.code, 1);
    EXPECT_NE(other.err.find("--temp-f"), std::string::npos) << other.err;
    EXPECT_EQ(run({"logbook", "list", "--since", "2026-13-01"}).code, 1);
    EXPECT_EQ(run({"logbook", "stats", "--last", "0"}).code, 1);
    EXPECT_EQ(run({"logbook", "fly"}).code, 1);
    EXPECT_EQ(run({"logbook", "scan", home.filePath("nowhere")}).code, 3);
    EXPECT_EQ(run({"logbook", "list", "--since", "2026-02-28"}).code, 0);
}

}  // namespace
}  // namespace velkor::test
