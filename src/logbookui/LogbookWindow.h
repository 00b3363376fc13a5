#pragma once
// The Logbook window: every pass in the racer's logs in a table that sorts and filters, the
// racer's own entries typed into it, the reference pass, and the dial-in from today's weather.

#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "logbook/Logbook.h"
#include "logbook/Pass.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableView;

namespace velkor {

class LogbookKeeper;
class LogbookModel;
class LogbookSortModel;
class PassComparisonWindow;
class TrendWindow;
class Prompts;

class LogbookWindow : public QWidget {
    Q_OBJECT
public:
    // What the window asks of the main window: open a log as Open File does, lay a log over the
    // chart.
    struct Actions {
        std::function<void(const std::string& path)> open;
        std::function<void(const std::string& path)> overlay;
    };

    LogbookWindow(LogbookKeeper& keeper, Prompts& prompts, Actions actions,
                  QWidget* parent = nullptr);

    // Reads the passes again, keeping the filter, the sort and the chosen row.
    void reload();
    // The pass on the chosen row, if any.
    std::optional<Pass> chosenPass() const;
    void choosePass(std::int64_t passId);

    QTableView* passTable = nullptr;
    QComboBox* trackFilter = nullptr;
    QComboBox* carFilter = nullptr;
    QCheckBox* sinceCheck = nullptr;
    QDateEdit* sinceDate = nullptr;
    QLineEdit* findText = nullptr;
    QPushButton* openButton = nullptr;
    QPushButton* referenceButton = nullptr;
    QPushButton* overlayButton = nullptr;
    QPushButton* compareButton = nullptr;
    QPushButton* trendsButton = nullptr;
    QPushButton* addFolderButton = nullptr;
    QComboBox* dialInCar = nullptr;
    QDoubleSpinBox* dialInTemp = nullptr;
    QDoubleSpinBox* dialInBaro = nullptr;
    QDoubleSpinBox* dialInHumidity = nullptr;
    QPushButton* predictButton = nullptr;
    QLabel* dialInResult = nullptr;
    QProgressBar* scanProgress = nullptr;
    QLabel* statusText = nullptr;
    // The windows the buttons open; nullptr until first opened.
    PassComparisonWindow* comparisonWindow() const { return m_comparison; }
    TrendWindow* trendWindow() const { return m_trends; }

private:
    QWidget* makeFilterRow();
    QWidget* makeButtonRow();
    QWidget* makeDialInGroup();
    void refillChoices();
    void updateButtons();
    std::optional<LogbookEntry> editPass(const Pass& pass, int column, const std::string& text);
    void openChosen();
    void setReference();
    void overlayChosen();
    void compareChosen();
    void showTrends();
    void addFolder();
    void predict();
    void scanEnded(const QString& summary, const QStringList& problems);

    LogbookKeeper& m_keeper;
    Prompts& m_prompts;
    Actions m_actions;
    LogbookModel* m_model = nullptr;
    LogbookSortModel* m_sorted = nullptr;
    PassComparisonWindow* m_comparison = nullptr;
    TrendWindow* m_trends = nullptr;
};

}  // namespace velkor
