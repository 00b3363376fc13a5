#include "options/frmAnalogInScale.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "base/AppContext.h"
#include "base/Prompts.h"
#include "base/QtText.h"
#include "options/DialogPlacement.h"

namespace velkor {

frmAnalogInScale::frmAnalogInScale(AppContext& ctx, QWidget* parent)
    : OptionsDialog(ctx, "frmAnalogInScale", "Analog Input 2 Scaling", parent) {
    createControls();

    watch(txtMinInput2Volts, &frmAnalogInScale::txtMinInput2Volts_Validate);
    watch(txtMaxInput2Volts, &frmAnalogInScale::txtMaxInput2Volts_Validate);
    watch(txtMinInput2Value, &frmAnalogInScale::txtMinInput2Value_Validate);
    watch(txtMaxInput2Value, &frmAnalogInScale::txtMaxInput2Value_Validate);
    watch(txtInput2Legend, &frmAnalogInScale::txtInput2Legend_Validate);

    connect(cmdRestoreDefaults, &QPushButton::clicked, this,
            &frmAnalogInScale::cmdRestoreDefaults_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmAnalogInScale::cmdOK_Click);
}

void frmAnalogInScale::createControls() {
    auto label = [this](const char* name, const QString& text) {
        auto* result = new QLabel(text, this);
        result->setObjectName(name);
        return result;
    };
    auto box = [this](const char* name, int width) {
        auto* result = new QLineEdit(this);
        result->setObjectName(name);
        result->setAlignment(Qt::AlignRight);
        result->setFixedWidth(width);
        return result;
    };
    // Room for "10000.000" in the value boxes, and the voltage boxes as wide, in one grid.
    const int numberWidth = fontMetrics().horizontalAdvance(QStringLiteral("000000.0000")) + 16;

    lblInputVoltage = label("lblInputVoltage", "Input Voltage");
    lblScaledValue = label("lblScaledValue", "Scaled Value");
    lblMinimum = label("lblMinimum", "Minimum");
    lblMaximum = label("lblMaximum", "Maximum");
    txtMinInput2Volts = box("txtMinInput2Volts", numberWidth);
    txtMaxInput2Volts = box("txtMaxInput2Volts", numberWidth);
    txtMinInput2Value = box("txtMinInput2Value", numberWidth);
    txtMaxInput2Value = box("txtMaxInput2Value", numberWidth);
    lblLegend = label("lblLegend", "Legend");
    txtInput2Legend = new QLineEdit(this);
    txtInput2Legend->setObjectName("txtInput2Legend");
    lblLegend->setBuddy(txtInput2Legend);
    // The number boxes sit in a grid of row and column headings, no label beside each.
    const std::pair<QLineEdit*, const char*> boxNames[] = {
        {txtMinInput2Volts, "Minimum input voltage"},
        {txtMaxInput2Volts, "Maximum input voltage"},
        {txtMinInput2Value, "Scaled value at the minimum voltage"},
        {txtMaxInput2Value, "Scaled value at the maximum voltage"}};
    for (const auto& [edit, name] : boxNames) {
        edit->setAccessibleName(name);
    }

    cmdRestoreDefaults = new QPushButton("&Restore Defaults", this);
    cmdRestoreDefaults->setObjectName("cmdRestoreDefaults");
    cmdRestoreDefaults->setAutoDefault(false);
    cmdOK = new QPushButton("&OK", this);
    cmdOK->setObjectName("cmdOK");
    cmdOK->setDefault(true);
    cmdOK->setMinimumWidth(cmdOK->sizeHint().width() + 16);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(8);
    grid->addWidget(lblInputVoltage, 0, 1, Qt::AlignHCenter | Qt::AlignBottom);
    grid->addWidget(lblScaledValue, 0, 2, Qt::AlignHCenter | Qt::AlignBottom);
    grid->addWidget(lblMinimum, 1, 0);
    grid->addWidget(txtMinInput2Volts, 1, 1);
    grid->addWidget(txtMinInput2Value, 1, 2);
    grid->addWidget(lblMaximum, 2, 0);
    grid->addWidget(txtMaxInput2Volts, 2, 1);
    grid->addWidget(txtMaxInput2Value, 2, 2);
    grid->setRowMinimumHeight(3, 6);
    grid->addWidget(lblLegend, 4, 0);
    grid->addWidget(txtInput2Legend, 4, 1, 1, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdRestoreDefaults);
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(16);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(txtMinInput2Volts, txtMaxInput2Volts);
    setTabOrder(txtMaxInput2Volts, txtMinInput2Value);
    setTabOrder(txtMinInput2Value, txtMaxInput2Value);
    setTabOrder(txtMaxInput2Value, txtInput2Legend);
    setTabOrder(txtInput2Legend, cmdRestoreDefaults);
    setTabOrder(cmdRestoreDefaults, cmdOK);
}

void frmAnalogInScale::Form_Load() {
    runStep(m_ctx.prompts, [&] {
        centreOnOpener(*this);
        const Preferences& prefs = m_ctx.data.prefs;
        for (ScaleField field : {ScaleField::MinVolts, ScaleField::MaxVolts, ScaleField::MinValue,
                                 ScaleField::MaxValue}) {
            fieldBox(field)->setText(fromCore(scaleFieldText(prefs, field)));
        }
        txtInput2Legend->setText(fromCore(prefs.Input2Legend));
    });
}

QLineEdit* frmAnalogInScale::fieldBox(ScaleField field) const {
    switch (field) {
        case ScaleField::MinVolts:
            return txtMinInput2Volts;
        case ScaleField::MaxVolts:
            return txtMaxInput2Volts;
        case ScaleField::MinValue:
            return txtMinInput2Value;
        case ScaleField::MaxValue:
            break;
    }
    return txtMaxInput2Value;
}

void frmAnalogInScale::txtMinInput2Volts_Validate(bool& Cancel) {
    validateField(ScaleField::MinVolts, Cancel);
}

void frmAnalogInScale::txtMaxInput2Volts_Validate(bool& Cancel) {
    validateField(ScaleField::MaxVolts, Cancel);
}

void frmAnalogInScale::txtMinInput2Value_Validate(bool& Cancel) {
    validateField(ScaleField::MinValue, Cancel);
}

void frmAnalogInScale::txtMaxInput2Value_Validate(bool& Cancel) {
    validateField(ScaleField::MaxValue, Cancel);
}

void frmAnalogInScale::validateField(ScaleField field, bool& Cancel) {
    runStep(m_ctx.prompts, [&] {
        QLineEdit* box = fieldBox(field);
        const FieldCheck check =
            validateScaleField(m_ctx.data.prefs, m_ctx.prompts, field, toCore(box->text()));
        box->setText(fromCore(check.text));
        Cancel = check.cancel;
    });
}

void frmAnalogInScale::txtInput2Legend_Validate(bool& Cancel) {
    runStep(m_ctx.prompts, [&] {
        const FieldCheck check = validateLegend(m_ctx.data.prefs, toCore(txtInput2Legend->text()));
        txtInput2Legend->setText(fromCore(check.text));
        Cancel = check.cancel;
    });
}

void frmAnalogInScale::cmdRestoreDefaults_Click() {
    // The boxes keep what they show; the restored values appear when the dialog next opens.
    runStep(m_ctx.prompts, [&] { restoreDefaultScaling(m_ctx); });
}

void frmAnalogInScale::cmdOK_Click() {
    if (storeScaling(m_ctx)) {
        accept();
    }
}

}  // namespace velkor
