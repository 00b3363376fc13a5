// Velkor: download, keep, chart and watch a shift-light controller's log.

#include <QApplication>
#include <memory>

#include "about/frmSplash.h"
#include "app/frmMain.h"
#include "base/AppContext.h"
#include "base/DataFiles.h"
#include "base/QtPrompts.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // The application and organisation name under which the preferences are stored.
    QCoreApplication::setOrganizationName("Velkor");
    QCoreApplication::setApplicationName("Velkor");

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

    velkor::frmMain mainWindow(*data, prompts, folders);
    mainWindow.Form_Load();
    mainWindow.show();
    return app.exec();
}
