#pragma once
// The analog input 2 scaling dialog: the two points of the straight line from input 2's voltage
// to the value shown, and the legend. Edits change the preferences as each box is left; OK and
// Restore Defaults store them.

#include "options/AnalogInScale.h"
#include "options/OptionsDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace velkor {

class frmAnalogInScale : public OptionsDialog {
    Q_OBJECT
public:
    explicit frmAnalogInScale(AppContext& ctx, QWidget* parent = nullptr);

    // Centres the dialog on the window that opened it and fills the boxes.
    void Form_Load();

    // Controls, named as the system names them.
    QLabel* lblInputVoltage = nullptr;
    QLabel* lblScaledValue = nullptr;
    QLabel* lblMinimum = nullptr;
    QLabel* lblMaximum = nullptr;
    QLineEdit* txtMinInput2Volts = nullptr;
    QLineEdit* txtMaxInput2Volts = nullptr;
    QLineEdit* txtMinInput2Value = nullptr;
    QLineEdit* txtMaxInput2Value = nullptr;
    QLabel* lblLegend = nullptr;
    QLineEdit* txtInput2Legend = nullptr;
    QPushButton* cmdRestoreDefaults = nullptr;
    QPushButton* cmdOK = nullptr;

private:
    void createControls();
    QLineEdit* fieldBox(ScaleField field) const;

    // Run as the focus leaves the box; Cancel keeps it there.
    void txtMinInput2Volts_Validate(bool& Cancel);
    void txtMaxInput2Volts_Validate(bool& Cancel);
    void txtMinInput2Value_Validate(bool& Cancel);
    void txtMaxInput2Value_Validate(bool& Cancel);
    void txtInput2Legend_Validate(bool& Cancel);
    void validateField(ScaleField field, bool& Cancel);

    void cmdRestoreDefaults_Click();
    void cmdOK_Click();
};

}  // namespace velkor
