// Velkor: download, keep, chart and watch a shift-light controller's log.

#include <QApplication>
#include <QCommandLineParser>
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
    {
        QCommandLineParser parser;  // refuses unknown options and arguments
        describeCommandLine(parser);
        parser.process(app);
        if (!parser.positionalArguments().isEmpty()) {
            parser.showHelp(1);
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
    return app.exec();
}
