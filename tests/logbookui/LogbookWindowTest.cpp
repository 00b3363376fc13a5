// The Logbook window on a real logbook of simulated passes, offscreen: the scan fills the table
// between events, typed weather becomes a density altitude, a typed mistake changes nothing,
// and the reference, the comparison, the trends and the dial-in all come from the buttons.

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "../logbook/LogbookFixture.h"
#include "logbook/Logbook.h"
#include "logbook/LogbookTable.h"
#include "logbookui/LogbookKeeper.h"
#include "logbookui/LogbookWindow.h"
#include "logbookui/PassComparisonWindow.h"
#include "logbookui/TrendWindow.h"
#include "support/QtApp.h"
#include "support/ScriptedPrompts.h"

namespace velkor::test {
namespace {

const auto* const environment = installQtApplication();

class LogbookWindowTest : public ::testing::Test {
protected:
    LogbookWindowTest() {
        const QString archive = folder.path() + "/downloads";
        QDir().mkpath(archive);
        const char* names[] = {"2026-06-01_10-00-00.log", "2026-06-02_10-00-00.log",
                               "2026-06-03_10-00-00.log"};
        for (unsigned seed = 1; seed <= 3; ++seed) {
            spit(fs::path(archive.toStdString()) / names[seed - 1], dragLogText(seed));
        }
        keeper =
            std::make_unique<LogbookKeeper>(folder.path().toStdString(), archive.toStdString());
        window = std::make_unique<LogbookWindow>(*keeper, prompts, LogbookWindow::Actions{});
        QSignalSpy finished(keeper.get(), &LogbookKeeper::scanFinished);
        keeper->scanAll();
        EXPECT_TRUE(finished.wait(30000));
    }

    QModelIndex cellAt(int row, LogbookColumn column) const {
        return window->passTable->model()->index(row, int(column));
    }
    QString textAt(int row, LogbookColumn column) const {
        return cellAt(row, column).data().toString();
    }
    void chooseRow(int row) { window->passTable->selectRow(row); }

    QTemporaryDir folder;
    ScriptedPrompts prompts;
    std::unique_ptr<LogbookKeeper> keeper;
    std::unique_ptr<LogbookWindow> window;
};

TEST_F(LogbookWindowTest, AScanFillsTheTableAndTheFindBoxNarrowsIt) {
    ASSERT_EQ(window->passTable->model()->rowCount(), 3);
    EXPECT_EQ(textAt(0, LogbookColumn::Date), "2026-06-01 10:00");
    EXPECT_EQ(textAt(0, LogbookColumn::File), "2026-06-01_10-00-00.log, run 1");
    EXPECT_FALSE(textAt(0, LogbookColumn::Et).isEmpty());
    EXPECT_TRUE(window->statusText->text().startsWith("Scanned 3 log files: 3 new or changed"))
        << window->statusText->text().toStdString();

    // Sorting by ET puts the quickest first; a pass without the figure would go last.
    window->passTable->sortByColumn(int(LogbookColumn::Et), Qt::AscendingOrder);
    EXPECT_LE(textAt(0, LogbookColumn::Et).toDouble(), textAt(2, LogbookColumn::Et).toDouble());

    window->findText->setText("06-02");
    ASSERT_EQ(window->passTable->model()->rowCount(), 1);
    EXPECT_EQ(textAt(0, LogbookColumn::Date), "2026-06-02 10:00");
    window->findText->clear();
    EXPECT_EQ(window->passTable->model()->rowCount(), 3);
}

TEST_F(LogbookWindowTest, TypedWeatherGivesADensityAltitudeAndAMistakeChangesNothing) {
    QAbstractItemModel* model = window->passTable->model();
    ASSERT_TRUE(model->setData(cellAt(0, LogbookColumn::TempF), "59", Qt::EditRole));
    ASSERT_TRUE(model->setData(cellAt(0, LogbookColumn::BaroInHg), "29.92", Qt::EditRole));
    ASSERT_TRUE(model->setData(cellAt(0, LogbookColumn::Humidity), "0", Qt::EditRole));
    ASSERT_TRUE(model->setData(cellAt(0, LogbookColumn::Track), "Ridgeway", Qt::EditRole));
    QCoreApplication::processEvents();
    // Dry standard air at sea level is at 0 ft of density altitude, to within the formula's
    // rounding of the standard atmosphere.
    EXPECT_NEAR(textAt(0, LogbookColumn::DensityAltitude).toDouble(), 0, 5);
    EXPECT_EQ(textAt(0, LogbookColumn::Track), "Ridgeway");

    prompts.answerMessages({Answer::Ok});
    EXPECT_FALSE(model->setData(cellAt(0, LogbookColumn::BaroInHg), "2992", Qt::EditRole));
    ASSERT_EQ(prompts.messageTexts().size(), 1u);
    EXPECT_NE(prompts.messageTexts()[0].find("barometer"), std::string::npos);
    QCoreApplication::processEvents();
    EXPECT_EQ(textAt(0, LogbookColumn::BaroInHg), "29.92");
    const std::vector<Pass> passes = keeper->book()->passes();
    EXPECT_EQ(passes[0].track, "Ridgeway");
    EXPECT_EQ(passes[0].baroInHg, 29.92);
}

TEST_F(LogbookWindowTest, TheReferenceOpensTheComparisonAndTheTrendsShowEveryPass) {
    EXPECT_FALSE(window->compareButton->isEnabled());
    chooseRow(0);
    window->referenceButton->click();
    EXPECT_TRUE(textAt(0, LogbookColumn::Date).startsWith(QString::fromUtf8("\u2605")));
    chooseRow(2);
    ASSERT_TRUE(window->compareButton->isEnabled());
    window->compareButton->click();
    ASSERT_NE(window->comparisonWindow(), nullptr);
    EXPECT_TRUE(window->comparisonWindow()->isVisible());
    EXPECT_GT(window->comparisonWindow()->behindSeries->count(), 100);
    EXPECT_TRUE(prompts.messageTexts().empty());

    window->trendsButton->click();
    ASSERT_NE(window->trendWindow(), nullptr);
    EXPECT_TRUE(window->trendWindow()->isVisible());
}

TEST_F(LogbookWindowTest, TheDialInNeedsThreePassesWithWeather) {
    window->predictButton->click();
    EXPECT_EQ(window->dialInResult->text().toStdString(),
              "No dial-in: needs at least 3 passes with weather (0 passes with weather).");
    Logbook& book = *keeper->book();
    const std::vector<Pass> passes = book.passes();
    const double temps[] = {50, 70, 90};
    for (std::size_t i = 0; i < passes.size(); ++i) {
        book.setEntry(passes[i].id, {"", "Nova", "", temps[i], 29.5, 40});
    }
    window->reload();
    window->predictButton->click();
    EXPECT_TRUE(window->dialInResult->text().startsWith("Dial-in "))
        << window->dialInResult->text().toStdString();
    EXPECT_TRUE(window->dialInResult->text().contains("from 3 passes with weather"));
}

}  // namespace
}  // namespace velkor::test
