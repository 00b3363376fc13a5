#include "chart/frmRunSummary.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "base/QtText.h"

namespace velkor {

namespace {

// Room around a column's widest text, so that neighbouring numbers do not run together.
constexpr int ColumnPadding = 16;

// Keeps a table's columns at their contents' widths and shares any room to spare among them in
// proportion, so that no one column (the last, as Qt would have it) takes all of it.
class ColumnFitter : public QObject {
public:
    explicit ColumnFitter(QTableWidget* table) : QObject(table), m_table(table) {
        table->resizeColumnsToContents();
        for (int c = 0; c < table->columnCount(); ++c) {
            m_natural.push_back(table->horizontalHeader()->sectionSize(c) + ColumnPadding);
        }
        table->viewport()->installEventFilter(this);
        fit();
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            fit();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void fit() {
        const std::vector<int> widths = spreadColumns(m_natural, m_table->viewport()->width());
        for (std::size_t c = 0; c < widths.size(); ++c) {
            m_table->horizontalHeader()->resizeSection(int(c), widths[c]);
        }
    }

    QTableWidget* m_table;
    std::vector<int> m_natural;
};

}  // namespace

frmRunSummary::frmRunSummary(RunSummary summary, Prompts& prompts, Chart chart, QWidget* parent)
    : QDialog(parent),
      m_summary(std::move(summary)),
      m_prompts(prompts),
      m_chart(std::move(chart)) {
    setObjectName("frmRunSummary");
    setWindowTitle(RunSummaryTitle);
    auto* layout = new QVBoxLayout(this);

    lblMessage = new QLabel(fromCore(m_summary.message), this);
    lblMessage->setObjectName("lblMessage");
    lblMessage->setWordWrap(true);
    lblMessage->setVisible(!m_summary.message.empty());
    layout->addWidget(lblMessage);

    auto* runs = new QGroupBox("Runs", this);
    auto* runsLayout = new QVBoxLayout(runs);
    tblRuns = createTable(m_summary.runs, "tblRuns");
    runsLayout->addWidget(tblRuns);
    auto* shifts = new QGroupBox("Shifts", this);
    auto* shiftsLayout = new QVBoxLayout(shifts);
    tblShifts = createTable(m_summary.shifts, "tblShifts");
    shiftsLayout->addWidget(tblShifts);
    const bool any = !m_summary.runs.rows.empty();
    runs->setVisible(any);
    shifts->setVisible(any);
    // The runs are few: their table takes the height of its rows (up to five), the shifts the rest.
    const int shown = std::clamp(tblRuns->rowCount(), 1, 5);
    tblRuns->setFixedHeight(tblRuns->horizontalHeader()->sizeHint().height() +
                            shown * tblRuns->verticalHeader()->defaultSectionSize() +
                            2 * tblRuns->frameWidth() + 2);
    layout->addWidget(runs);
    layout->addWidget(shifts, 1);
    if (!any) {
        layout->addStretch();  // the sentence at the top, the buttons at the bottom
    }

    auto* hint =
        new QLabel(m_chart.mark ? "Double-click a row to put the chart's marker there." : "", this);
    hint->setStyleSheet("color: #555");
    chkShiftTicks = new QCheckBox("Show shifts on the chart's time axis", this);
    chkShiftTicks->setObjectName("chkShiftTicks");
    chkShiftTicks->setEnabled(m_chart.ticks != nullptr);
    chkShiftTicks->setVisible(any);
    cmdExport = new QPushButton("Export...", this);
    cmdExport->setObjectName("cmdExport");
    cmdExport->setEnabled(any);
    cmdClose = new QPushButton("Close", this);
    cmdClose->setObjectName("cmdClose");
    for (QPushButton* button : {cmdExport, cmdClose}) {
        button->setAutoDefault(false);
    }
    auto* row = new QHBoxLayout;
    row->addWidget(chkShiftTicks);
    row->addSpacing(16);
    row->addWidget(hint, 1);
    row->addWidget(cmdExport);
    row->addWidget(cmdClose);
    layout->addLayout(row);

    connect(chkShiftTicks, &QCheckBox::toggled, this, [this](bool on) {
        if (m_chart.ticks) {
            m_chart.ticks(on ? m_summary.shifts.times : std::vector<double>());
        }
    });
    connect(cmdExport, &QPushButton::clicked, this, &frmRunSummary::cmdExport_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);
    // Wide enough for every column of the wider table, within the screen. The tables have not
    // been laid out yet, so their columns are still at their natural widths.
    int width = 0;
    for (const QTableWidget* table : {tblRuns, tblShifts}) {
        int columns = 2 * table->frameWidth();
        for (int c = 0; c < table->columnCount(); ++c) {
            columns += table->horizontalHeader()->sectionSize(c);
        }
        width = std::max(width, columns);
    }
    const int room = screen() ? screen()->availableGeometry().width() - 40 : 1200;
    if (width + 60 > room) {  // the runs' columns scroll sideways: room for the scroll bar
        tblRuns->setFixedHeight(tblRuns->height() +
                                tblRuns->horizontalScrollBar()->sizeHint().height());
    }
    resize(any ? std::min(width + 60, room) : 660, any ? 400 : 120);
}

QTableWidget* frmRunSummary::createTable(const SummaryTable& table, const char* name) {
    auto* widget = new QTableWidget(int(table.rows.size()), int(table.headers.size()), this);
    widget->setObjectName(name);
    QStringList headers;
    for (const std::string& header : table.headers) {
        // The unit on a line of its own keeps the columns narrow: "Peak speed" over "(MPH)".
        headers << fromCore(header).replace(" (", "\n(");
    }
    widget->setHorizontalHeaderLabels(headers);
    widget->verticalHeader()->hide();
    widget->setEditTriggers(QAbstractItemView::NoEditTriggers);
    widget->setSelectionBehavior(QAbstractItemView::SelectRows);
    widget->setSelectionMode(QAbstractItemView::SingleSelection);
    widget->setAlternatingRowColors(true);
    widget->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        for (std::size_t c = 0; c < table.rows[r].size(); ++c) {
            const QString text = fromCore(table.rows[r][c]);
            auto* item = new QTableWidgetItem(text);
            // Under the header's middle; a column's numbers all have the same decimals, so
            // their points still line up.
            item->setTextAlignment(Qt::AlignCenter);
            widget->setItem(int(r), int(c), item);
        }
    }
    new ColumnFitter(widget);
    const std::vector<double>& times = table.times;
    connect(widget, &QTableWidget::cellDoubleClicked, this, [this, &times](int row, int) {
        if (m_chart.mark && row >= 0 && std::size_t(row) < times.size()) {
            m_chart.mark(times[std::size_t(row)]);
        }
    });
    return widget;
}

void frmRunSummary::cmdExport_Click() {
    exportRunSummary(m_prompts, m_summary);
}

}  // namespace velkor
