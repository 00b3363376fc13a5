// The two options dialogs as a person uses them, offscreen, over the real main window and settings
// store in a throw-away profile: typing into boxes, moving on with Tab or a click, Enter and Esc.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <memory>

#include "app/frmMain.h"
#include "base/AppContext.h"
#include "base/QtPrompts.h"
#include "base/QtSettingsStore.h"
#include "live/CircularGauge.h"
#include "options/DialogDriver.h"
#include "options/frmAnalogInScale.h"
#include "options/frmDisplayOptions.h"
#include "support/QtApp.h"
#include "support/ScriptedPrompts.h"

namespace velkor::test {
namespace {

const auto* const environment = installQtApplication();

class OptionsDialogsTest : public ::testing::Test {
protected:
    OptionsDialogsTest() {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "Velkor", "Velkor").clear();
    }

    template <typename Dialog>
    std::unique_ptr<Dialog> open() {
        auto dialog = std::make_unique<Dialog>(main->context(), main.get());
        dialog->Form_Load();
        EXPECT_TRUE(showActive(*dialog));
        return dialog;
    }
    using Stored = std::vector<std::optional<std::string>>;
    std::optional<std::string> stored(const char* key) const { return QtSettingsStore().read(key); }

    std::unique_ptr<AppData> data = std::make_unique<AppData>();
    Preferences& prefs = data->prefs;
    ScriptedPrompts prompts;
    std::unique_ptr<frmMain> main =
        std::make_unique<frmMain>(*data, prompts, std::vector<std::string>{});
};

TEST_F(OptionsDialogsTest, TheChoicesShowThePreferencesAndOkAppliesAndStoresWhatIsChosen) {
    prefs.TPSPercentDisplay = false;
    prefs.Input1Type = "MAP 2 bar";
    prefs.Input2Type = "Thermocouple";  // any sensor but the two named is a scaled one
    prefs.VSSUnits = "mph";             // the stored words are compared exactly
    prefs.TachRedline = 7250;
    auto dialog = open<frmDisplayOptions>();
    QStringList chosen;
    for (QGroupBox* frame : dialog->findChildren<QGroupBox*>()) {
        for (auto* option : frame->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly)) {
            if (option->isChecked()) {
                chosen << frame->title() + ": " + option->text();
            }
        }
    }
    EXPECT_EQ(chosen.join("\n").toStdString(),
              "Throttle Position (TPS): Analog (0-5V)\nSpeed: KPH\nMAP Pressure: In-Hg\n"
              "Input 1: MAP 2 bar\nInput 2: Scaled Analog");
    EXPECT_EQ(dialog->txtTachMax->text() + " " + dialog->txtTachRedline->text(), "10000 7250");

    EXPECT_TRUE(dialog->cmdAnalogInput2Scaling->isEnabled());
    clickThroughWindow(dialog->optInput2AFRDisplay);
    EXPECT_FALSE(dialog->cmdAnalogInput2Scaling->isEnabled());
    clickThroughWindow(dialog->optInput2ScaledAnalogDisplay);
    EXPECT_TRUE(dialog->cmdAnalogInput2Scaling->isEnabled());
    clickThroughWindow(dialog->optInput2AnalogDisplay);
    EXPECT_FALSE(dialog->cmdAnalogInput2Scaling->isEnabled());
    clickThroughWindow(dialog->optInput1MAP3Bar);
    clickThroughWindow(dialog->optPSI);
    EXPECT_FALSE(stored("PressureUnits"));
    QTest::mouseClick(dialog->cmdOK, Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FLOAT_EQ(prefs.Input1Slope, 9.122f);
    EXPECT_EQ((Stored{stored("Input1Type"), stored("Input2Type"), stored("PressureUnits")}),
              (Stored{"MAP 3 bar", "Analog", "psi"}));
}

TEST_F(OptionsDialogsTest, AClickOnAnOptionOrEnterActsOnlyOnceTheBoxIsGood) {
    auto dialog = open<frmDisplayOptions>();
    prompts.answerMessages({Answer::Ok, Answer::Ok});
    typeInto(dialog->txtSpeedoMax, "abc");
    clickThroughWindow(dialog->optKPH);
    EXPECT_EQ(QApplication::focusWidget(), dialog->txtSpeedoMax);
    EXPECT_FALSE(dialog->optKPH->isChecked());
    EXPECT_EQ(dialog->txtSpeedoMax->text() + " " + dialog->txtSpeedoRedline->text(), "55 55");
    clickThroughWindow(dialog->optKPH);
    EXPECT_TRUE(dialog->optKPH->isChecked());

    typeInto(dialog->txtTachMax, "4500");
    QTest::keyClick(dialog->txtTachMax, Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible());
    typeInto(dialog->txtTachMax, "8000");
    QTest::keyClick(dialog->txtTachMax, Qt::Key_Return);
    EXPECT_EQ(prompts.messageTexts(),
              (std::vector<std::string>{"Value must be greater than 55",
                                        "Value must be greater than 5000"}));
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(stored("Tach_Max"), "8000");
}

// With a real message box, shown in the middle of the click on OK.
TEST_F(OptionsDialogsTest, OkDoesNotActWhileTheSpeedometerRedlineKeepsTheFocus) {
    QtPrompts realPrompts;
    frmMain window(*data, realPrompts, {});
    frmDisplayOptions dialog(window.context(), &window);
    dialog.Form_Load();
    ASSERT_TRUE(showActive(dialog));
    typeInto(dialog.txtSpeedoRedline, "245");
    QString message;
    whenModal([](QWidget& modal) { return modal.inherits("QMessageBox"); },
              [&](QWidget& modal) {
                  auto& box = static_cast<QMessageBox&>(modal);
                  message = box.windowTitle() + ": " + box.text();
                  QTest::mouseClick(box.button(QMessageBox::Ok), Qt::LeftButton);
              },
              "the message box");
    clickThroughWindow(dialog.cmdOK);
    QTest::qWait(20);
    EXPECT_EQ(message, "Speedometer Redline: Value must be less than or equal to 240");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.cmdOK->isDown());
    EXPECT_EQ(QApplication::focusWidget(), dialog.txtSpeedoRedline);
    EXPECT_FALSE(stored("Input1Type"));
    EXPECT_EQ(dialog.txtSpeedoMax->text(), "240");
    EXPECT_EQ(stored("Speedo_Max"), "240");
    EXPECT_DOUBLE_EQ(window.gauSpeedometer->fullScale(), 240);

    QTest::mouseClick(dialog.cmdOK, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(stored("Input1Type"), "Analog");
}

TEST_F(OptionsDialogsTest, StartUpShowsDisplayOptionsBeforeTheMainWindowAndTheMenuAgain) {
    bool mainVisible = true;
    whenModalShown("frmDisplayOptions", [&](QDialog& dialog) {
        mainVisible = main->isVisible();
        // In the middle of the screen, not over the hidden main window's corner.
        const QPoint off =
            dialog.geometry().center() - dialog.screen()->availableGeometry().center();
        EXPECT_LE(off.manhattanLength(), 4);
        QTest::mouseClick(static_cast<frmDisplayOptions&>(dialog).cmdOK, Qt::LeftButton);
    });
    main->Form_Load();
    main->show();
    EXPECT_FALSE(mainVisible);
    EXPECT_EQ(stored("Input1Type"), "Analog");

    prefs.VSSUnits = "KPH";
    whenModalShown("frmDisplayOptions", [](QDialog& dialog) {
        QTest::mouseClick(static_cast<frmDisplayOptions&>(dialog).cmdOK, Qt::LeftButton);
    });
    main->mnuDisplayOptions->trigger();
    EXPECT_EQ(stored("VSSUnits"), "KPH");
}

TEST_F(OptionsDialogsTest, ScalingOkOnlyLeavesABadBoxAndRestoreDefaultsLeavesTheBoxesAlone) {
    prefs.MaxInput2Volts = 4;
    prefs.Input2Legend = "Boost";
    auto dialog = open<frmAnalogInScale>();
    prompts.answerMessages({Answer::Ok, Answer::Ok});
    typeInto(dialog->txtMinInput2Value, "-1");
    QTest::mouseClick(dialog->cmdOK, Qt::LeftButton);
    EXPECT_EQ(prompts.messageTexts(), std::vector<std::string>{"Value must be greater than zero"});
    EXPECT_EQ(dialog->txtMinInput2Value->text(), "0.0");
    EXPECT_EQ(QApplication::focusWidget(), dialog->txtMinInput2Value);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(stored("MinInput2ScaledValue"));

    // The defaults are stored, while the boxes go on showing what they showed.
    QTest::mouseClick(dialog->cmdRestoreDefaults, Qt::LeftButton);
    EXPECT_EQ((Stored{stored("MaxInput2Volts"), stored("Input2Legend")}),
              (Stored{"5", "Analog Input"}));
    EXPECT_EQ(dialog->txtMaxInput2Volts->text() + " " + dialog->txtInput2Legend->text(),
              "4.0 Boost");
    // Leaving a box checks its old text again, into memory only.
    QTest::mouseClick(dialog->txtMaxInput2Volts, Qt::LeftButton);
    QTest::keyClick(dialog->txtMaxInput2Volts, Qt::Key_Tab);
    EXPECT_EQ(prefs.MaxInput2Volts, 4.0f);
    EXPECT_EQ(stored("MaxInput2Volts"), "5");
}

TEST_F(OptionsDialogsTest, SetScaleFactorsOpensScalingCentredAndOkStoresTheScaling) {
    prefs.Input2Type = "Scaled Analog";
    prefs.MaxInput2ScaledValue = 150.125f;
    main->show();
    auto options = open<frmDisplayOptions>();
    QPoint centre;
    whenModalShown("frmAnalogInScale", [&](QDialog& modal) {
        auto& dialog = static_cast<frmAnalogInScale&>(modal);
        centre = dialog.geometry().center();
        EXPECT_EQ(dialog.txtMaxInput2Value->text(), "150.125");
        EXPECT_TRUE(showActive(dialog));
        typeInto(dialog.txtMinInput2Volts, "0.5");
        typeInto(dialog.txtInput2Legend, "  Fuel pressure ");
        QTest::mouseClick(dialog.cmdOK, Qt::LeftButton);
    });
    QTest::mouseClick(options->cmdAnalogInput2Scaling, Qt::LeftButton);

    EXPECT_LE((centre - options->frameGeometry().center()).manhattanLength(), 4);
    EXPECT_EQ(
        (Stored{stored("MinInput2Volts"), stored("MaxInput2ScaledValue"), stored("Input2Legend")}),
        (Stored{"0.5", "150.125", "Fuel pressure"}));
    EXPECT_TRUE(options->isVisible());
}

TEST_F(OptionsDialogsTest, EscLeavesBothDialogsOpenWithWhatWasTypedAndChosen) {
    auto options = open<frmDisplayOptions>();
    clickThroughWindow(options->optKPH);
    typeInto(options->txtTachMax, "123");
    QTest::keyClick(options->txtTachMax, Qt::Key_Escape);
    EXPECT_TRUE(options->isVisible());
    EXPECT_EQ(options->txtTachMax->text(), "123");
    EXPECT_TRUE(options->optKPH->isChecked());

    auto scaling = open<frmAnalogInScale>();
    typeInto(scaling->txtInput2Legend, "Boost");
    QTest::keyClick(scaling->txtInput2Legend, Qt::Key_Escape);
    QTest::keyClick(scaling.get(), Qt::Key_Escape);
    EXPECT_TRUE(scaling->isVisible());
    EXPECT_EQ(scaling->txtInput2Legend->text(), "Boost");

    // The close box still closes the dialog.
    scaling->close();
    EXPECT_FALSE(scaling->isVisible());
}

}  // namespace
}  // namespace velkor::test
