#pragma once
// velkor-cli run as a person or a script runs it: the real program in a profile of its own,
// against the simulated controller on a pseudo-terminal.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
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

}  // namespace velkor::test
