#pragma once
// The start-up splash window: the maker's company label and logo from the branding file, the
// product name, version and copyright. It fills the program's branding lists while it loads and
// closes itself four seconds later.

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "about/BrandingFile.h"

class QLabel;
class QTimer;

namespace velkor {

class Prompts;

class frmSplash : public QDialog {
    Q_OBJECT

public:
    // Loads at once: `branding` receives the lists read from Velkor.cfg (or the defaults), and
    // every failing load step goes to the shared error prompt of `prompts`. `dataFolders` are
    // searched in order for the branding file and the logo.
    frmSplash(Branding& branding, Prompts& prompts, std::vector<std::string> dataFolders,
              QWidget* parent = nullptr);

    static constexpr int UnloadDelayMs = 4000;

private:
    void buildLayout();
    void Form_Load();
    void readBrandingFile();
    void showCompanyLabel();
    void applyCompanyFontStyle();
    void showLogo();
    void tmrSplashUnload_Timer();

    Branding& m_branding;
    Prompts& m_prompts;
    std::vector<std::string> m_dataFolders;
    std::optional<std::string> m_brandingFolder;  // where Velkor.cfg was found

    QLabel* imgLogo = nullptr;
    QLabel* lblCompanyName = nullptr;
    QLabel* lblProductName = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblCopyright = nullptr;
    QTimer* tmrSplashUnload = nullptr;
};

}  // namespace velkor
