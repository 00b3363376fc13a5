#pragma once
// The display options dialog: throttle, input 1 and input 2 display, units, and the limits of
// the main window's tachometer and speedometer. A limit takes effect and is stored as the focus
// leaves its box; the option buttons take effect and are stored by OK.

#include "options/DisplayOptions.h"
#include "options/OptionsDialog.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace velkor {

class frmDisplayOptions : public OptionsDialog {
    Q_OBJECT
public:
    explicit frmDisplayOptions(AppContext& ctx, QWidget* parent = nullptr);

    // Fills the controls from the preferences; centres the dialog on the main window, or on
    // the screen while the main window is not shown yet.
    void Form_Load();

    // Controls, named as the system names them.
    QGroupBox* fraTPSDisplayOptions = nullptr;
    QRadioButton* optTPSPercentDisplay = nullptr;
    QRadioButton* optTPSAnalogDisplay = nullptr;

    QGroupBox* fraInput1DisplayOptions = nullptr;
    QRadioButton* optInput1AnalogDisplay = nullptr;
    QRadioButton* optInput1AFRDisplay = nullptr;
    QRadioButton* optInput1MAP1Bar = nullptr;
    QRadioButton* optInput1MAP2Bar = nullptr;
    QRadioButton* optInput1MAP3Bar = nullptr;

    QGroupBox* fraInput2DisplayOptions = nullptr;
    QRadioButton* optInput2AnalogDisplay = nullptr;
    QRadioButton* optInput2AFRDisplay = nullptr;
    QRadioButton* optInput2ScaledAnalogDisplay = nullptr;
    QPushButton* cmdAnalogInput2Scaling = nullptr;

    QGroupBox* fraUnitsSelect = nullptr;
    QGroupBox* fraSpeed = nullptr;
    QRadioButton* optMPH = nullptr;
    QRadioButton* optKPH = nullptr;
    QGroupBox* fraPressure = nullptr;
    QRadioButton* optInHg = nullptr;
    QRadioButton* optPSI = nullptr;

    QGroupBox* fraGaugeLimits = nullptr;
    QLabel* lblTachMax = nullptr;
    QLineEdit* txtTachMax = nullptr;
    QLabel* lblSpeedoMax = nullptr;
    QLineEdit* txtSpeedoMax = nullptr;

    QGroupBox* fraGaugeRedlines = nullptr;
    QLabel* lblTachRedline = nullptr;
    QLineEdit* txtTachRedline = nullptr;
    QLabel* lblSpeedoRedline = nullptr;
    QLineEdit* txtSpeedoRedline = nullptr;

    QPushButton* cmdOK = nullptr;

private:
    void createControls();
    QLineEdit* limitBox(GaugeLimit limit) const;
    void setChoices(const DisplayChoices& choices);
    DisplayChoices choices() const;

    // Run as the focus leaves the box; Cancel keeps it there.
    void txtTachMax_Validate(bool& Cancel);
    void txtTachRedline_Validate(bool& Cancel);
    void txtSpeedoMax_Validate(bool& Cancel);
    void txtSpeedoRedline_Validate(bool& Cancel);
    void validateLimit(GaugeLimit limit, bool& Cancel);

    void optInput2AnalogDisplay_Click();
    void optInput2AFRDisplay_Click();
    void optInput2ScaledAnalogDisplay_Click();
    void cmdAnalogInput2Scaling_Click();
    void cmdOK_Click();
};

}  // namespace velkor
