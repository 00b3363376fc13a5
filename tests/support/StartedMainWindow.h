#pragma once
// The main window as a person finds it on a first start: no stored settings, the display options
// shown at first start accepted, the start-up run. Needs VELKOR_DATA_DIR, the folder of the
// program's data files.

#include <QDialog>
#include <QPushButton>
#include <QSettings>
#include <memory>

#include "app/frmMain.h"
#include "options/DialogDriver.h"
#include "support/ScriptedPrompts.h"

namespace velkor::test {

struct StartedMainWindow {
    StartedMainWindow() {
        whenModalShown("frmDisplayOptions",
                       [](QDialog& dialog) { dialog.findChild<QPushButton*>("cmdOK")->click(); });
        window.Form_Load();
    }

    // Before the window reads them: what an earlier test of the program stored is gone.
    bool settingsCleared =
        (QSettings(QSettings::NativeFormat, QSettings::UserScope, "Velkor", "Velkor").clear(),
         true);
    std::unique_ptr<AppData> data = std::make_unique<AppData>();
    ScriptedPrompts prompts;
    frmMain window{*data, prompts, {VELKOR_DATA_DIR}};
};

}  // namespace velkor::test
