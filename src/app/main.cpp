// Velkor: download, keep, chart and watch a shift-light controller's log.

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <memory>

#include "VelkorVersion.h"
#include "about/frmSplash.h"
#include "app/StopSignalWatcher.h"
#include "app/frmMain.h"
#include "base/AppContext.h"
#include "base/DataFiles.h"
#include "base/QtPrompts.h"
#include "base/StopSignals.h"

namespace {

void describeCommandLine(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        "Downloads, saves, charts and prints a shift-light controller's log, and shows the "
        "controller live.\nThe serial port is chosen under Communications > Port Setup.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("FILE", "A log file to open, as File > Open File opens it.",
                                 "[FILE]");
}

// --help and --version are answered before the window system is reached, so that they work
// without a display. Qt's own options (-platform, -style...) are left to QApplication.
void answerHelpOrVersion(int argc, char* argv[]) {
    QCoreApplication core(argc, argv);
    QCommandLineParser parser;
    describeCommandLine(parser);
    parser.parse(QCoreApplication::arguments());
    if (parser.isSet("help")) {
        parser.showHelp(0);
    }
    if (parser.isSet("version")) {
        parser.showVersion();
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    // The application and organisation name under which the preferences are stored.
    QCoreApplication::setOrganizationName("Velkor");
    QCoreApplication::setApplicationName("Velkor");
    QCoreApplication::setApplicationVersion(velkor::VersionText);
    answerHelpOrVersion(argc, argv);

    QApplication app(argc, argv);
    QString logFile;  // opened once the window is up; empty: none
    {
        QCommandLineParser parser;  // refuses unknown options and more than one file
        describeCommandLine(parser);
        parser.process(app);
        const QStringList files = parser.positionalArguments();
        if (files.size() > 1) {
            parser.showHelp(1);
        }
        if (!files.isEmpty()) {
            logFile = QFileInfo(files.constFirst()).absoluteFilePath();
        }
    }

    // SIGTERM at log-out, SIGHUP or Ctrl-C from the terminal that started it: until the main
    // window is up the run simply ends, afterwards the window closes as File, Exit closes it.
    velkor::StopSignalWatcher stopSignals;
    auto connection =
        QObject::connect(&stopSignals, &velkor::StopSignalWatcher::stopped, &app,
                         [](int signal) { QCoreApplication::exit(velkor::stopStatus(signal)); });

    auto data = std::make_unique<velkor::AppData>();
    velkor::QtPrompts prompts;
    const auto folders = velkor::dataFolders(QCoreApplication::applicationDirPath().toStdString());
    const auto logo = velkor::findDataFile(folders, "Velkor_Logo.png");
    QApplication::setWindowIcon(logo ? QIcon(QString::fromStdString(*logo))
                                     : QIcon::fromTheme("velkor"));

    {
        velkor::frmSplash splash(data->branding, prompts, folders);
        splash.exec();
    }

    if (const int signal = velkor::stopSignal()) {
        return velkor::stopStatus(signal);
    }

    velkor::frmMain mainWindow(*data, prompts, folders);
    QObject::disconnect(connection);
    QObject::connect(&stopSignals, &velkor::StopSignalWatcher::stopped, &mainWindow,
                     &velkor::frmMain::endForSignal);
    mainWindow.Form_Load();
    if (const int signal = velkor::stopSignal()) {
        return velkor::stopStatus(signal);
    }
    mainWindow.show();
    if (!logFile.isEmpty()) {
        // Opened from the event loop, so that its questions stand over the shown window.
        QTimer::singleShot(0, &mainWindow, [&mainWindow, &logFile] {
            mainWindow.openLogByPath(QFile::encodeName(logFile).toStdString());
        });
    }
    return app.exec();
}
