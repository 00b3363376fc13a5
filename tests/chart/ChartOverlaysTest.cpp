// Overlaid runs on the chart window as a person compares them: each in its own colour and moved on
// its own, a file that is no log refused, and the overlays, markers and time window given back
// when the window opens again on the same log, but not on another.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <memory>

#include "base/Preferences.h"
#include "chart/Chart2D.h"
#include "chart/ChartKeep.h"
#include "chart/frmChart1.h"
#include "log/LogFile.h"
#include "sim/DragRun.h"
#include "support/Drives.h"
#include "support/Files.h"
#include "support/QtApp.h"
#include "support/ScriptedPrompts.h"

namespace velkor::test {
namespace {

const auto* const environment = installQtApplication();

using Range = std::pair<double, double>;

class ChartOverlaysTest : public ::testing::Test {
protected:
    ChartOverlaysTest() { loadDrive(*log, sim::generateDragRun(0.1, 368, 3).fram, 0.1f); }

    std::unique_ptr<frmChart1> open(ChartKeep* keep = nullptr) {
        auto window = std::make_unique<frmChart1>(
            *log, prefs, prompts, std::vector<std::string>{VELKOR_DATA_DIR}, nullptr, keep);
        window->Form_Load();
        window->show();
        QApplication::processEvents();
        return window;
    }

    // Another drag run, written as a log file named `name`.
    std::string runFile(const std::string& name, unsigned seed) {
        DataLog other;
        loadDrive(other, sim::generateDragRun(0.1, 368, seed).fram, 0.1f);
        other.FirmwareID = "Shift Light 2.0";
        const std::string path = folder.filePath(QString::fromStdString(name)).toStdString();
        spit(path, logFileText(other, prefs, "Maker"));
        return path;
    }

    void overlay(frmChart1& window, const std::string& path) {
        prompts.answerFiles({path});
        window.logic().overlayLogFile();
    }

    static std::vector<double> shifts(frmChart1& window) {
        std::vector<double> by(MaxOverlays, 0);
        for (const Overlay& o : window.logic().overlays()) {
            by[std::size_t(o.slot)] = o.shift;
        }
        return by;
    }
    // The marker's time and trace 1, and marker minus B.
    static std::string readout(const frmChart1& window) {
        return (window.lblMarkerTime->text() + "|" + window.lblMarkerTrace1->text() + "|" +
                window.deltaTimeLabel->text())
            .toStdString();
    }
    static Range x(const frmChart1& window) { return window.Chart2D1->axisRange(Chart2D::Axis::X); }

    std::unique_ptr<DataLog> log = std::make_unique<DataLog>();
    Preferences prefs;
    ScriptedPrompts prompts;
    QTemporaryDir folder;
};

TEST_F(ChartOverlaysTest, ShiftingOneOverlayLeavesTheOthersWhereTheyWere) {
    auto window = open();
    overlay(*window, runFile("first.log", 5));
    overlay(*window, runFile("second.log", 6));
    overlay(*window, runFile("third.log", 7));
    ASSERT_EQ(window->Chart2D1->overlayCount(), 3);
    const std::vector<double> lined = shifts(*window);
    window->logic().markAt(60);
    window->logic().setBMarkerAt(50);

    window->logic().shiftOverlayToMarker();  // Ctrl+M: the one laid over last
    std::vector<double> now = shifts(*window);
    EXPECT_EQ(now[0], lined[0]);
    EXPECT_EQ(now[1], lined[1]);
    EXPECT_NEAR(now[2], lined[2] + 10, 0.11);

    // With several, the context menu names each overlay, the last laid over first.
    window->contextMenu(QPointF(200, 200));
    ASSERT_NE(window->shiftOverlayMenu, nullptr);
    const QList<QAction*> choices = window->shiftOverlayMenu->actions();
    ASSERT_EQ(choices.size(), 3);
    EXPECT_EQ(choices[0]->text() + "|" + choices[1]->text() + "|" + choices[2]->text(),
              "third.log|second.log|first.log");
    choices[2]->trigger();
    now = shifts(*window);
    EXPECT_NEAR(now[0], lined[0] + 10, 0.11);
    EXPECT_EQ(now[1], lined[1]);
    EXPECT_NEAR(now[2], lined[2] + 10, 0.11);
    EXPECT_TRUE(prompts.messages().empty());
}

TEST_F(ChartOverlaysTest, RemovingOneFreesItsColourForTheNextAndKeepsTheOthers) {
    auto window = open();
    overlay(*window, runFile("first.log", 5));
    overlay(*window, runFile("second.log", 6));
    overlay(*window, runFile("third.log", 7));
    EXPECT_FALSE(window->overlayAction->isEnabled());
    const QColor third = window->Chart2D1->overlayPen(2, 1).color();

    window->contextMenu(QPointF(200, 200));
    ASSERT_NE(window->removeOverlayMenu, nullptr);
    window->removeOverlayMenu->actions().at(1)->trigger();  // second.log
    EXPECT_EQ(window->Chart2D1->overlayCount(), 2);
    EXPECT_EQ(window->Chart2D1->overlayPen(1, 1).style(), Qt::NoPen);
    EXPECT_EQ(window->Chart2D1->overlayPen(2, 1).color(), third);
    EXPECT_TRUE(window->overlayAction->isEnabled());

    overlay(*window, runFile("fourth.log", 8));
    EXPECT_EQ(window->Chart2D1->overlayLegendText(1), "fourth.log");
    EXPECT_EQ(window->logic().overlays().back().slot, 1);  // the one Ctrl+M now moves
}

TEST_F(ChartOverlaysTest, AFileThatIsNoLogIsRefusedSayingWhyAndTakesNoSlot) {
    auto window = open();
    std::string lines;
    for (int i = 0; i < 40; ++i) {
        lines += "Shopping list, line " + std::to_string(i) + ": bread, milk\r\n";
    }
    const std::string notes = folder.filePath("notes.txt").toStdString();
    spit(notes, lines);
    const std::string empty = folder.filePath("empty.log").toStdString();
    spit(empty, "");
    prompts.answerMessages({Answer::Ok, Answer::Ok});
    overlay(*window, notes);
    overlay(*window, empty);
    ASSERT_EQ(prompts.messages().size(), 2u);
    EXPECT_EQ(prompts.messages()[0].text,
              "notes.txt is not a log file.\r\nNot one of its lines is a sample of a log.\r\n"
              "Nothing was laid over the chart.");
    EXPECT_EQ(prompts.messages()[1].text.rfind("empty.log is not a log file.\r\nError - reached "
                                               "premature end-of-file. No data found",
                                               0),
              0u);
    EXPECT_EQ(window->Chart2D1->overlayCount(), 0);
    EXPECT_TRUE(window->logic().overlays().empty());

    overlay(*window, runFile("real.log", 5));
    EXPECT_EQ(window->Chart2D1->overlayLegendText(0), "real.log");  // the first slot is still free
}

TEST_F(ChartOverlaysTest, ClosingAndOpeningAgainGivesBackOverlaysMarkersAndZoom) {
    ChartKeep keep;
    keep.follow(*log);
    auto window = open(&keep);
    overlay(*window, runFile("first.log", 5));
    overlay(*window, runFile("second.log", 6));
    window->logic().markAt(60);
    window->logic().setBMarkerAt(50);
    window->logic().cmdReset_Click();
    window->logic().markAt(60.5);
    window->logic().shiftOverlayToMarker();
    ASSERT_TRUE(window->logic().showSpan(40, 70));
    const std::vector<double> shifted = shifts(*window);
    const std::string marked = readout(*window);
    window->reject();  // Esc
    window.reset();

    keep.follow(*log);  // the same log: kept
    window = open(&keep);
    EXPECT_EQ(window->Chart2D1->overlayCount(), 2);
    EXPECT_EQ(shifts(*window), shifted);
    EXPECT_EQ(window->Chart2D1->overlayLegendText(1), "second.log");
    EXPECT_EQ(window->Chart2D1->bMarker(), 50.0);
    EXPECT_EQ(x(*window), (Range{40, 70}));
    EXPECT_EQ(readout(*window), marked);
    // A time scale chosen is given back too, on the second it showed.
    window->optTimeScale2->click();
    window->scrChart2D1->setValue(100);
    const Range scaled = x(*window);
    window->accept();  // Exit
    window = open(&keep);
    EXPECT_TRUE(window->optTimeScale2->isChecked());
    EXPECT_EQ(x(*window), scaled);
    window->accept();
    window.reset();

    // Another log starts afresh.
    loadDrive(*log, sim::generateDragRun(0.1, 368, 9).fram, 0.1f);
    keep.follow(*log);
    window = open(&keep);
    EXPECT_EQ(window->Chart2D1->overlayCount(), 0);
    EXPECT_FALSE(window->Chart2D1->bMarker());
    EXPECT_EQ(x(*window), (Range{120, 270}));
    EXPECT_TRUE(window->optTimeScale3->isChecked());
    EXPECT_TRUE(prompts.messages().empty());
}

}  // namespace
}  // namespace velkor::test
