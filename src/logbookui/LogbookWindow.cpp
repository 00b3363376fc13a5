#include "logbookui/LogbookWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <exception>

#include "base/Latin1.h"
#include "base/Prompts.h"
#include "base/QtWindowFit.h"
#include "logbook/DensityAltitude.h"
#include "logbook/DialIn.h"
#include "logbook/Logbook.h"
#include "logbook/LogbookTable.h"
#include "logbook/PassComparison.h"
#include "logbookui/LogbookKeeper.h"
#include "logbookui/LogbookModel.h"
#include "logbookui/PassComparisonWindow.h"
#include "logbookui/TrendWindow.h"

namespace velkor {

namespace {

constexpr const char* Title = "Logbook";

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

QPushButton* button(const char* caption, const char* name, const char* hint, QWidget* parent) {
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(name);
    b->setToolTip(QString::fromUtf8(hint));
    return b;
}

QDoubleSpinBox* weatherBox(double low, double high, double value, int decimals, const char* suffix,
                           const char* name, QWidget* parent) {
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(name);
    box->setRange(low, high);
    box->setDecimals(decimals);
    box->setValue(value);
    box->setSuffix(QString::fromUtf8(suffix));
    box->setAccessibleName(QString::fromUtf8(name));
    return box;
}

}  // namespace

LogbookWindow::LogbookWindow(LogbookKeeper& keeper, Prompts& prompts, Actions actions,
                             QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_keeper(keeper),
      m_prompts(prompts),
      m_actions(std::move(actions)),
      m_model(new LogbookModel(this)),
      m_sorted(new LogbookSortModel(this)) {
    setObjectName("logbookWindow");
    setWindowTitle(Title);
    m_sorted->setSourceModel(m_model);
    m_model->setEdit([this](const Pass& pass, int column, const std::string& typed) {
        return editPass(pass, column, typed);
    });

    passTable = new QTableView(this);
    passTable->setObjectName("passTable");
    passTable->setAccessibleName("Passes");
    passTable->setModel(m_sorted);
    passTable->setSortingEnabled(true);
    passTable->sortByColumn(int(LogbookColumn::Date), Qt::AscendingOrder);
    passTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    passTable->setSelectionMode(QAbstractItemView::SingleSelection);
    passTable->setEditTriggers(QAbstractItemView::DoubleClicked |
                               QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::AnyKeyPressed);
    passTable->setAlternatingRowColors(true);
    // Tab leaves the table for the next control; the arrow keys move between cells.
    passTable->setTabKeyNavigation(false);
    passTable->verticalHeader()->hide();
    passTable->horizontalHeader()->setStretchLastSection(false);
    passTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    // Columns fit the rows in view and a few more, not a whole season's, so that listing
    // thousands of passes stays quick.
    passTable->horizontalHeader()->setResizeContentsPrecision(60);
    connect(passTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &LogbookWindow::updateButtons);
    connect(passTable, &QTableView::activated, this, [this](const QModelIndex& index) {
        if (!isEditable(LogbookColumn(index.column()))) {
            openChosen();
        }
    });

    scanProgress = new QProgressBar(this);
    scanProgress->setObjectName("scanProgress");
    scanProgress->setAccessibleName("Scan progress");
    scanProgress->setMaximumWidth(200);
    scanProgress->hide();
    statusText = new QLabel(this);
    statusText->setObjectName("statusText");
    statusText->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* status = new QHBoxLayout;
    status->addWidget(scanProgress);
    status->addWidget(statusText, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeFilterRow());
    layout->addWidget(passTable, 1);
    layout->addWidget(makeButtonRow());
    layout->addWidget(makeDialInGroup());
    layout->addLayout(status);

    connect(&m_keeper, &LogbookKeeper::passesChanged, this, &LogbookWindow::reload);
    connect(&m_keeper, &LogbookKeeper::scanProgress, this, [this](int done, int total) {
        scanProgress->show();
        scanProgress->setRange(0, std::max(total, 1));
        scanProgress->setValue(done);
        statusText->setText(tr("Indexing log files: %1 of %2").arg(done).arg(total));
    });
    connect(&m_keeper, &LogbookKeeper::scanFinished, this, &LogbookWindow::scanEnded);

    resizeWithinScreen(*this, 1100, 600);
    reload();
    updateButtons();
    if (m_keeper.book() == nullptr) {
        statusText->setText(m_keeper.openError());
    }
}

QWidget* LogbookWindow::makeFilterRow() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    trackFilter = new QComboBox(row);
    trackFilter->setObjectName("trackFilter");
    trackFilter->setAccessibleName("Track filter");
    carFilter = new QComboBox(row);
    carFilter->setObjectName("carFilter");
    carFilter->setAccessibleName("Car filter");
    sinceCheck = new QCheckBox("&Since", row);
    sinceCheck->setObjectName("sinceCheck");
    sinceCheck->setToolTip("List only the passes on or after the date beside it");
    sinceDate = new QDateEdit(QDate::currentDate().addMonths(-12), row);
    sinceDate->setObjectName("sinceDate");
    sinceDate->setAccessibleName("Since date");
    sinceDate->setDisplayFormat("yyyy-MM-dd");
    sinceDate->setCalendarPopup(true);
    sinceDate->setEnabled(false);
    findText = new QLineEdit(row);
    findText->setObjectName("findText");
    findText->setAccessibleName("Find");
    findText->setPlaceholderText("Note, track, car or file");
    findText->setClearButtonEnabled(true);

    auto* trackLabel = new QLabel("&Track:", row);
    trackLabel->setBuddy(trackFilter);
    auto* carLabel = new QLabel("&Car:", row);
    carLabel->setBuddy(carFilter);
    auto* findLabel = new QLabel("&Find:", row);
    findLabel->setBuddy(findText);
    layout->addWidget(trackLabel);
    layout->addWidget(trackFilter, 1);
    layout->addWidget(carLabel);
    layout->addWidget(carFilter, 1);
    layout->addWidget(sinceCheck);
    layout->addWidget(sinceDate);
    layout->addWidget(findLabel);
    layout->addWidget(findText, 2);

    connect(trackFilter, &QComboBox::activated, this, &LogbookWindow::reload);
    connect(carFilter, &QComboBox::activated, this, &LogbookWindow::reload);
    connect(sinceCheck, &QCheckBox::toggled, this, [this](bool on) {
        sinceDate->setEnabled(on);
        reload();
    });
    connect(sinceDate, &QDateEdit::dateChanged, this, &LogbookWindow::reload);
    connect(findText, &QLineEdit::textChanged, this, &LogbookWindow::reload);
    return row;
}

QWidget* LogbookWindow::makeButtonRow() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    openButton =
        button("&Open", "openButton",
               "Open the pass's log in place of the log in memory, as Open File does", row);
    referenceButton =
        button("Set as &Reference", "referenceButton", "Compare other passes with this one", row);
    overlayButton = button("Overlay on C&hart", "overlayButton",
                           "Lay the pass's log over the chart of the log in memory", row);
    compareButton = button("Com&pare with Reference", "compareButton",
                           "Where the time was gained or lost against the reference pass", row);
    trendsButton = button("Tr&ends", "trendsButton",
                          "ET, 60 ft, trap speed and reaction over the passes listed", row);
    addFolderButton = button("&Add Folder...", "addFolderButton",
                             "Index the log files in a folder of older logs", row);
    for (QPushButton* b :
         {openButton, referenceButton, overlayButton, compareButton, trendsButton}) {
        layout->addWidget(b);
    }
    layout->addStretch(1);
    layout->addWidget(addFolderButton);
    connect(openButton, &QPushButton::clicked, this, &LogbookWindow::openChosen);
    connect(referenceButton, &QPushButton::clicked, this, &LogbookWindow::setReference);
    connect(overlayButton, &QPushButton::clicked, this, &LogbookWindow::overlayChosen);
    connect(compareButton, &QPushButton::clicked, this, &LogbookWindow::compareChosen);
    connect(trendsButton, &QPushButton::clicked, this, &LogbookWindow::showTrends);
    connect(addFolderButton, &QPushButton::clicked, this, &LogbookWindow::addFolder);
    return row;
}

QWidget* LogbookWindow::makeDialInGroup() {
    auto* group = new QGroupBox("Dial-in from today's weather", this);
    group->setObjectName("dialInGroup");
    auto* layout = new QHBoxLayout(group);
    dialInCar = new QComboBox(group);
    dialInCar->setObjectName("dialInCar");
    dialInCar->setAccessibleName("Dial-in car");
    dialInTemp = weatherBox(MinTempF, MaxTempF, 70, 1,
                            " \xC2\xB0"
                            "F",
                            "Temperature", group);
    dialInBaro = weatherBox(MinBaroInHg, MaxBaroInHg, 29.50, 2, " inHg", "Barometer", group);
    dialInHumidity = weatherBox(MinHumidityPct, MaxHumidityPct, 40, 0, " %", "Humidity", group);
    dialInTemp->setToolTip("Air temperature at the track");
    dialInBaro->setToolTip(
        "The uncorrected barometer (station pressure), not the weather "
        "report's sea-level figure");
    dialInHumidity->setToolTip("Relative humidity");
    predictButton = button("Pre&dict", "predictButton",
                           "The ET the car should run in this weather, from its passes with "
                           "weather entered",
                           group);
    dialInResult = new QLabel(group);
    dialInResult->setObjectName("dialInResult");
    dialInResult->setWordWrap(true);
    dialInResult->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* carLabel = new QLabel("Dial-&in car:", group);
    carLabel->setBuddy(dialInCar);
    layout->addWidget(carLabel);
    layout->addWidget(dialInCar);
    layout->addWidget(dialInTemp);
    layout->addWidget(dialInBaro);
    layout->addWidget(dialInHumidity);
    layout->addWidget(predictButton);
    layout->addWidget(dialInResult, 1);
    connect(predictButton, &QPushButton::clicked, this, &LogbookWindow::predict);
    return group;
}

void LogbookWindow::refillChoices() {
    Logbook* book = m_keeper.book();
    const auto refill = [](QComboBox* box, const QString& any,
                           const std::vector<std::string>& choices) {
        const QString chosen = box->currentIndex() > 0 ? box->currentText() : QString();
        box->clear();
        box->addItem(any);
        for (const std::string& choice : choices) {
            box->addItem(text(choice));
        }
        const int at = chosen.isEmpty() ? 0 : box->findText(chosen);
        box->setCurrentIndex(std::max(at, 0));
    };
    const std::vector<std::string> tracks = book ? book->tracks() : std::vector<std::string>{};
    const std::vector<std::string> cars = book ? book->cars() : std::vector<std::string>{};
    refill(trackFilter, tr("All tracks"), tracks);
    refill(carFilter, tr("All cars"), cars);
    refill(dialInCar, tr("All cars"), cars);
}

void LogbookWindow::reload() {
    Logbook* book = m_keeper.book();
    const std::optional<Pass> chosen = chosenPass();
    if (sender() != trackFilter && sender() != carFilter) {
        refillChoices();
    }
    PassFilter filter;
    if (trackFilter->currentIndex() > 0) {
        filter.track = trackFilter->currentText().toStdString();
    }
    if (carFilter->currentIndex() > 0) {
        filter.car = carFilter->currentText().toStdString();
    }
    if (sinceCheck->isChecked()) {
        filter.since = sinceDate->date().toString(Qt::ISODate).toStdString();
    }
    filter.text = findText->text().toStdString();
    std::vector<Pass> passes = book ? book->passes(filter) : std::vector<Pass>{};
    m_model->setPasses(std::move(passes), book ? book->reference() : std::nullopt);
    passTable->resizeColumnsToContents();
    for (int column : {int(LogbookColumn::Note), int(LogbookColumn::File)}) {
        passTable->setColumnWidth(column, std::min(passTable->columnWidth(column), 260));
    }
    if (chosen) {
        choosePass(chosen->id);
    }
    updateButtons();
}

std::optional<Pass> LogbookWindow::chosenPass() const {
    if (passTable == nullptr || passTable->selectionModel() == nullptr) {
        return std::nullopt;
    }
    const QModelIndexList rows = passTable->selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        return std::nullopt;
    }
    const Pass* pass = m_model->passAt(m_sorted->mapToSource(rows.first()).row());
    return pass ? std::optional<Pass>(*pass) : std::nullopt;
}

void LogbookWindow::choosePass(std::int64_t passId) {
    const int row = m_model->rowOf(passId);
    if (row < 0) {
        return;
    }
    const QModelIndex index = m_sorted->mapFromSource(m_model->index(row, 0));
    passTable->selectionModel()->select(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    passTable->setCurrentIndex(index);
    passTable->scrollTo(index);
}

void LogbookWindow::updateButtons() {
    const bool chosen = chosenPass().has_value();
    Logbook* book = m_keeper.book();
    const bool hasReference = book != nullptr && book->reference().has_value();
    openButton->setEnabled(chosen);
    referenceButton->setEnabled(chosen);
    overlayButton->setEnabled(chosen);
    compareButton->setEnabled(chosen && hasReference);
    compareButton->setToolTip(hasReference ? tr("Where the time was gained or lost against the "
                                                "reference pass")
                                           : tr("Set a reference pass first"));
    trendsButton->setEnabled(m_model->rowCount() > 0);
    addFolderButton->setEnabled(book != nullptr);
    predictButton->setEnabled(book != nullptr);
}

std::optional<LogbookEntry> LogbookWindow::editPass(const Pass& pass, int column,
                                                    const std::string& typed) {
    const CellEdit edit = editCell(pass, LogbookColumn(column), typed);
    std::string error = edit.error;
    Logbook* book = m_keeper.book();
    if (error.empty() && book != nullptr) {
        try {
            book->setEntry(pass.id, edit.entry);
        } catch (const std::exception& failure) {
            error = failure.what();
        }
    }
    if (!error.empty()) {
        m_prompts.message(latin1FromUtf8(error), Title, Icon::Exclamation, Buttons::Ok);
        return std::nullopt;
    }
    // The filters' choices follow a new track or car.
    if (column == int(LogbookColumn::Track) || column == int(LogbookColumn::Car)) {
        QMetaObject::invokeMethod(this, &LogbookWindow::refillChoices, Qt::QueuedConnection);
    }
    return edit.entry;
}

void LogbookWindow::openChosen() {
    if (const std::optional<Pass> pass = chosenPass(); pass && m_actions.open) {
        m_actions.open(pass->filePath);
    }
}

void LogbookWindow::setReference() {
    const std::optional<Pass> pass = chosenPass();
    Logbook* book = m_keeper.book();
    if (!pass || book == nullptr) {
        return;
    }
    try {
        book->setReference(pass->id);
    } catch (const std::exception& failure) {
        m_prompts.message(latin1FromUtf8(failure.what()), Title, Icon::Exclamation, Buttons::Ok);
        return;
    }
    statusText->setText(tr("Reference: %1").arg(text(passCaption(*pass))));
    reload();
}

void LogbookWindow::overlayChosen() {
    if (const std::optional<Pass> pass = chosenPass(); pass && m_actions.overlay) {
        m_actions.overlay(pass->filePath);
    }
}

void LogbookWindow::compareChosen() {
    const std::optional<Pass> pass = chosenPass();
    Logbook* book = m_keeper.book();
    if (!pass || book == nullptr) {
        return;
    }
    const std::optional<std::int64_t> referenceId = book->reference();
    const std::optional<Pass> reference = referenceId ? book->pass(*referenceId) : std::nullopt;
    if (!reference) {
        m_prompts.message(CompareNeedsReference, Title, Icon::Exclamation, Buttons::Ok);
        return;
    }
    const PassTrace trace = passTraceOfFile(pass->filePath, pass->runNumber);
    const PassTrace referenceTrace = passTraceOfFile(reference->filePath, reference->runNumber);
    for (const PassTrace* t : {&trace, &referenceTrace}) {
        if (!t->reason.empty()) {
            m_prompts.message(latin1FromUtf8(t->reason), Title, Icon::Exclamation, Buttons::Ok);
            return;
        }
    }
    if (m_comparison == nullptr) {
        m_comparison = new PassComparisonWindow(this);
    }
    m_comparison->setComparison(comparePasses(trace, referenceTrace), text(passCaption(*pass)),
                                text(passCaption(*reference)) + tr(" (reference)"));
    m_comparison->show();
    m_comparison->raise();
    m_comparison->activateWindow();
}

void LogbookWindow::showTrends() {
    if (m_trends == nullptr) {
        m_trends = new TrendWindow(this);
    }
    m_trends->setPasses(m_model->passes());
    m_trends->show();
    m_trends->raise();
    m_trends->activateWindow();
}

void LogbookWindow::addFolder() {
    const QString folder =
        QFileDialog::getExistingDirectory(this, tr("Add Folder"), QDir::homePath());
    if (!folder.isEmpty()) {
        m_keeper.addFolder(QFile::encodeName(folder).toStdString());
    }
}

void LogbookWindow::predict() {
    Logbook* book = m_keeper.book();
    if (book == nullptr) {
        return;
    }
    PassFilter filter;
    if (dialInCar->currentIndex() > 0) {
        filter.car = dialInCar->currentText().toStdString();
    }
    const DensityAltitude today =
        densityAltitude({dialInTemp->value(), dialInBaro->value(), dialInHumidity->value()});
    if (!today.feet) {
        dialInResult->setText(text(today.error));
        return;
    }
    const DialIn dialIn = predictDialIn(weatherPoints(book->passes(filter)), *today.feet);
    dialInResult->setText(text(dialInText(dialIn, *today.feet)));
}

void LogbookWindow::scanEnded(const QString& summary, const QStringList& problems) {
    scanProgress->hide();
    statusText->setText(summary);
    statusText->setToolTip(problems.join('\n'));
}

}  // namespace velkor
