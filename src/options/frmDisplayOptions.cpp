#include "options/frmDisplayOptions.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <iterator>
#include <utility>

#include "base/AppContext.h"
#include "base/Prompts.h"
#include "base/QtText.h"
#include "options/DialogPlacement.h"
#include "options/frmAnalogInScale.h"

namespace velkor {

namespace {

QGroupBox* frame(const char* name, const QString& caption, QWidget* parent) {
    auto* box = new QGroupBox(caption, parent);
    box->setObjectName(name);
    return box;
}

QRadioButton* option(const char* name, const QString& caption, QGroupBox* frame) {
    auto* button = new QRadioButton(caption, frame);
    button->setObjectName(name);
    frame->layout()->addWidget(button);
    return button;
}

}  // namespace

frmDisplayOptions::frmDisplayOptions(AppContext& ctx, QWidget* parent)
    : OptionsDialog(ctx, "frmDisplayOptions", "Display Options", parent) {
    createControls();

    watch(txtTachMax, &frmDisplayOptions::txtTachMax_Validate);
    watch(txtTachRedline, &frmDisplayOptions::txtTachRedline_Validate);
    watch(txtSpeedoMax, &frmDisplayOptions::txtSpeedoMax_Validate);
    watch(txtSpeedoRedline, &frmDisplayOptions::txtSpeedoRedline_Validate);

    // Choosing an option from code runs its handler, as a person's choice does.
    connect(optInput2AnalogDisplay, &QRadioButton::toggled, this,
            &frmDisplayOptions::optInput2AnalogDisplay_Click);
    connect(optInput2AFRDisplay, &QRadioButton::toggled, this,
            &frmDisplayOptions::optInput2AFRDisplay_Click);
    connect(optInput2ScaledAnalogDisplay, &QRadioButton::toggled, this,
            &frmDisplayOptions::optInput2ScaledAnalogDisplay_Click);
    connect(cmdAnalogInput2Scaling, &QPushButton::clicked, this,
            &frmDisplayOptions::cmdAnalogInput2Scaling_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmDisplayOptions::cmdOK_Click);
}

void frmDisplayOptions::createControls() {
    fraTPSDisplayOptions = frame("fraTPSDisplayOptions", "Throttle Position (TPS)", this);
    new QVBoxLayout(fraTPSDisplayOptions);
    optTPSPercentDisplay = option("optTPSPercentDisplay", "Percent (0-100)", fraTPSDisplayOptions);
    optTPSAnalogDisplay = option("optTPSAnalogDisplay", "Analog (0-5V)", fraTPSDisplayOptions);

    fraUnitsSelect = frame("fraUnitsSelect", "Units Selection", this);
    auto* units = new QHBoxLayout(fraUnitsSelect);
    fraSpeed = frame("fraSpeed", "Speed", fraUnitsSelect);
    new QVBoxLayout(fraSpeed);
    optMPH = option("optMPH", "MPH", fraSpeed);
    optKPH = option("optKPH", "KPH", fraSpeed);
    fraPressure = frame("fraPressure", "MAP Pressure", fraUnitsSelect);
    new QVBoxLayout(fraPressure);
    optInHg = option("optInHg", "In-Hg", fraPressure);
    optPSI = option("optPSI", "psi", fraPressure);
    units->addWidget(fraSpeed);
    units->addWidget(fraPressure);

    fraInput1DisplayOptions = frame("fraInput1DisplayOptions", "Input 1", this);
    new QVBoxLayout(fraInput1DisplayOptions);
    optInput1AnalogDisplay =
        option("optInput1AnalogDisplay", "Analog (0-5V)", fraInput1DisplayOptions);
    optInput1AFRDisplay = option("optInput1AFRDisplay", "Wide-band AFR", fraInput1DisplayOptions);
    optInput1MAP1Bar = option("optInput1MAP1Bar", "MAP 1 bar", fraInput1DisplayOptions);
    optInput1MAP2Bar = option("optInput1MAP2Bar", "MAP 2 bar", fraInput1DisplayOptions);
    optInput1MAP3Bar = option("optInput1MAP3Bar", "MAP 3 bar", fraInput1DisplayOptions);

    fraInput2DisplayOptions = frame("fraInput2DisplayOptions", "Input 2", this);
    auto* input2 = new QVBoxLayout(fraInput2DisplayOptions);
    optInput2AnalogDisplay =
        option("optInput2AnalogDisplay", "Analog (0-5V)", fraInput2DisplayOptions);
    optInput2AFRDisplay = option("optInput2AFRDisplay", "Wide-band AFR", fraInput2DisplayOptions);
    optInput2ScaledAnalogDisplay =
        option("optInput2ScaledAnalogDisplay", "Scaled Analog", fraInput2DisplayOptions);
    cmdAnalogInput2Scaling = new QPushButton("Set &Scale Factors", fraInput2DisplayOptions);
    cmdAnalogInput2Scaling->setObjectName("cmdAnalogInput2Scaling");
    cmdAnalogInput2Scaling->setAutoDefault(false);
    cmdAnalogInput2Scaling->setAccessibleDescription(
        "Sets the voltages, scaled values and legend of the scaled analog input 2");
    input2->addSpacing(4);
    input2->addWidget(cmdAnalogInput2Scaling, 0, Qt::AlignLeft);

    // Room for five digits and a little more, numbers to the right as on the dials' scales.
    const int boxWidth = fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 16;
    auto limitFrame = [&](const char* name, const QString& caption, const char* tachLabel,
                          QLabel*& tachLbl, const char* tachName, QLineEdit*& tach,
                          const char* speedoLabel, QLabel*& speedoLbl, const char* speedoName,
                          QLineEdit*& speedo) {
        QGroupBox* box = frame(name, caption, this);
        auto* grid = new QGridLayout(box);
        grid->setColumnStretch(0, 1);
        auto row = [&](int at, const char* labelName, QLabel*& label, const char* boxName,
                       QLineEdit*& edit, const QString& text) {
            label = new QLabel(text, box);
            label->setObjectName(labelName);
            edit = new QLineEdit(box);
            edit->setObjectName(boxName);
            edit->setAlignment(Qt::AlignRight);
            edit->setFixedWidth(boxWidth);
            label->setBuddy(edit);
            grid->addWidget(label, at, 0);
            grid->addWidget(edit, at, 1);
        };
        row(0, tachLabel, tachLbl, tachName, tach, "Tachometer");
        row(1, speedoLabel, speedoLbl, speedoName, speedo, "Speedometer");
        return box;
    };
    fraGaugeLimits =
        limitFrame("fraGaugeLimits", "Gauge Maximum Values", "lblTachMax", lblTachMax, "txtTachMax",
                   txtTachMax, "lblSpeedoMax", lblSpeedoMax, "txtSpeedoMax", txtSpeedoMax);
    fraGaugeRedlines = limitFrame(
        "fraGaugeRedlines", "Gauge Redlines", "lblTachRedline", lblTachRedline, "txtTachRedline",
        txtTachRedline, "lblSpeedoRedline", lblSpeedoRedline, "txtSpeedoRedline", txtSpeedoRedline);

    // Each box is named with its frame: the two frames' labels read alike.
    const std::pair<QLineEdit*, const char*> limitNames[] = {
        {txtTachMax, "Tachometer maximum value"},
        {txtSpeedoMax, "Speedometer maximum value"},
        {txtTachRedline, "Tachometer redline"},
        {txtSpeedoRedline, "Speedometer redline"}};
    for (const auto& [edit, name] : limitNames) {
        edit->setAccessibleName(name);
    }

    cmdOK = new QPushButton("&OK", this);
    cmdOK->setObjectName("cmdOK");
    cmdOK->setDefault(true);
    cmdOK->setMinimumWidth(cmdOK->sizeHint().width() + 16);

    // As designed: percent, analog inputs, MPH and In-Hg.
    optTPSPercentDisplay->setChecked(true);
    optInput1AnalogDisplay->setChecked(true);
    optInput2AnalogDisplay->setChecked(true);
    optMPH->setChecked(true);
    optInHg->setChecked(true);

    auto* left = new QVBoxLayout;
    left->addWidget(fraTPSDisplayOptions);
    left->addWidget(fraInput1DisplayOptions);
    left->addStretch(1);
    auto* middle = new QVBoxLayout;
    middle->addWidget(fraInput2DisplayOptions);
    middle->addWidget(fraUnitsSelect);
    middle->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(fraGaugeLimits);
    right->addWidget(fraGaugeRedlines);
    right->addStretch(1);
    right->addWidget(cmdOK, 0, Qt::AlignRight);

    auto* columns = new QHBoxLayout(this);
    columns->setContentsMargins(14, 14, 14, 14);
    columns->setSpacing(12);
    columns->addLayout(left);
    columns->addLayout(middle);
    columns->addLayout(right);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // The order a person tabs through: frame by frame as they stand, then OK.
    QWidget* const order[] = {optTPSPercentDisplay,
                              optTPSAnalogDisplay,
                              optInput1AnalogDisplay,
                              optInput1AFRDisplay,
                              optInput1MAP1Bar,
                              optInput1MAP2Bar,
                              optInput1MAP3Bar,
                              optInput2AnalogDisplay,
                              optInput2AFRDisplay,
                              optInput2ScaledAnalogDisplay,
                              cmdAnalogInput2Scaling,
                              optMPH,
                              optKPH,
                              optInHg,
                              optPSI,
                              txtTachMax,
                              txtSpeedoMax,
                              txtTachRedline,
                              txtSpeedoRedline,
                              cmdOK};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
}

void frmDisplayOptions::Form_Load() {
    runStep(m_ctx.prompts, [&] {
        centreOnOpener(*this);
        const Preferences& prefs = m_ctx.data.prefs;
        setChoices(loadDisplayChoices(prefs));
        txtSpeedoRedline->setText(fromCore(gaugeLimitText(prefs, GaugeLimit::SpeedoRedline)));
        txtSpeedoMax->setText(fromCore(gaugeLimitText(prefs, GaugeLimit::SpeedoMax)));
        txtTachRedline->setText(fromCore(gaugeLimitText(prefs, GaugeLimit::TachRedline)));
        txtTachMax->setText(fromCore(gaugeLimitText(prefs, GaugeLimit::TachMax)));
    });
}

void frmDisplayOptions::setChoices(const DisplayChoices& choices) {
    (choices.tpsPercent ? optTPSPercentDisplay : optTPSAnalogDisplay)->setChecked(true);
    QRadioButton* const input1[] = {optInput1AnalogDisplay, optInput1AFRDisplay, optInput1MAP1Bar,
                                    optInput1MAP2Bar, optInput1MAP3Bar};
    input1[static_cast<int>(choices.input1)]->setChecked(true);
    QRadioButton* const input2[] = {optInput2AnalogDisplay, optInput2AFRDisplay,
                                    optInput2ScaledAnalogDisplay};
    input2[static_cast<int>(choices.input2)]->setChecked(true);
    // Set as well as followed: a button chosen as designed does not run its handler.
    cmdAnalogInput2Scaling->setEnabled(scaleFactorsAvailable(choices.input2));
    (choices.mph ? optMPH : optKPH)->setChecked(true);
    (choices.inHg ? optInHg : optPSI)->setChecked(true);
}

DisplayChoices frmDisplayOptions::choices() const {
    DisplayChoices choices;
    choices.tpsPercent = optTPSPercentDisplay->isChecked();
    if (optInput1AnalogDisplay->isChecked()) {
        choices.input1 = Input1Choice::Analog;
    } else if (optInput1AFRDisplay->isChecked()) {
        choices.input1 = Input1Choice::AFR;
    } else if (optInput1MAP1Bar->isChecked()) {
        choices.input1 = Input1Choice::MAP1Bar;
    } else if (optInput1MAP2Bar->isChecked()) {
        choices.input1 = Input1Choice::MAP2Bar;
    } else {
        choices.input1 = Input1Choice::MAP3Bar;
    }
    if (optInput2AnalogDisplay->isChecked()) {
        choices.input2 = Input2Choice::Analog;
    } else if (optInput2AFRDisplay->isChecked()) {
        choices.input2 = Input2Choice::AFR;
    } else {
        choices.input2 = Input2Choice::ScaledAnalog;
    }
    choices.mph = optMPH->isChecked();
    choices.inHg = optInHg->isChecked();
    return choices;
}

QLineEdit* frmDisplayOptions::limitBox(GaugeLimit limit) const {
    switch (limit) {
        case GaugeLimit::TachMax:
            return txtTachMax;
        case GaugeLimit::TachRedline:
            return txtTachRedline;
        case GaugeLimit::SpeedoMax:
            return txtSpeedoMax;
        case GaugeLimit::SpeedoRedline:
            break;
    }
    return txtSpeedoRedline;
}

void frmDisplayOptions::txtTachMax_Validate(bool& Cancel) {
    validateLimit(GaugeLimit::TachMax, Cancel);
}

void frmDisplayOptions::txtTachRedline_Validate(bool& Cancel) {
    validateLimit(GaugeLimit::TachRedline, Cancel);
}

void frmDisplayOptions::txtSpeedoMax_Validate(bool& Cancel) {
    validateLimit(GaugeLimit::SpeedoMax, Cancel);
}

void frmDisplayOptions::txtSpeedoRedline_Validate(bool& Cancel) {
    validateLimit(GaugeLimit::SpeedoRedline, Cancel);
}

void frmDisplayOptions::validateLimit(GaugeLimit limit, bool& Cancel) {
    runStep(m_ctx.prompts, [&] {
        QLineEdit* box = limitBox(limit);
        const GaugeLimitCheck check = validateGaugeLimit(m_ctx, limit, toCore(box->text()));
        box->setText(fromCore(check.text));
        if (check.partnerText) {
            limitBox(partnerOf(limit))->setText(fromCore(*check.partnerText));
        }
        Cancel = check.cancel;
    });
}

void frmDisplayOptions::optInput2AnalogDisplay_Click() {
    if (optInput2AnalogDisplay->isChecked()) {
        cmdAnalogInput2Scaling->setEnabled(false);
    }
}

void frmDisplayOptions::optInput2AFRDisplay_Click() {
    if (optInput2AFRDisplay->isChecked()) {
        cmdAnalogInput2Scaling->setEnabled(false);
    }
}

void frmDisplayOptions::optInput2ScaledAnalogDisplay_Click() {
    cmdAnalogInput2Scaling->setEnabled(optInput2ScaledAnalogDisplay->isChecked());
}

void frmDisplayOptions::cmdAnalogInput2Scaling_Click() {
    frmAnalogInScale scaling(m_ctx, this);
    scaling.Form_Load();
    scaling.exec();
}

void frmDisplayOptions::cmdOK_Click() {
    bool applied = false;
    const StepResult result =
        runStep(m_ctx.prompts, [&] { applied = applyDisplayChoices(m_ctx, choices()); });
    if (result != StepResult::Aborted && applied) {
        accept();
    }
}

}  // namespace velkor
