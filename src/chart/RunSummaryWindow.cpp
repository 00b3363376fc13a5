#include "chart/RunSummaryWindow.h"

#include <QCheckBox>
#include <QEvent>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "base/QtPalette.h"
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

// A table as tall as its rows, up to `most` of them, and a sideways scroll bar.
void fitRows(QTableWidget* table, int most) {
    const int shown = std::clamp(table->rowCount(), 1, most);
    table->setFixedHeight(table->horizontalHeader()->sizeHint().height() +
                          shown * table->verticalHeader()->defaultSectionSize() +
                          2 * table->frameWidth() + 2 +
                          table->horizontalScrollBar()->sizeHint().height());
}

}  // namespace

RunSummaryWindow::RunSummaryWindow(RunSummary summary, Prompts& prompts, Chart chart,
                                   QWidget* parent)
    : QDialog(parent),
      m_summary(std::move(summary)),
      m_prompts(prompts),
      m_chart(std::move(chart)) {
    setObjectName("RunSummaryWindow");
    setWindowTitle(RunSummaryTitle);
    auto* layout = new QVBoxLayout(this);
    // The tables and the slips scroll as one when the window is shorter than they are (over the
    // chart's plot on a small screen); the check boxes and the buttons stay in sight below them.
    auto* content = new QWidget;
    auto* body = new QVBoxLayout(content);
    body->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(content);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(scroll, 1);

    messageLabel = new QLabel(fromCore(m_summary.message), this);
    messageLabel->setObjectName("messageLabel");
    messageLabel->setWordWrap(true);
    messageLabel->setVisible(!m_summary.message.empty());
    body->addWidget(messageLabel);

    const bool any = !m_summary.runs.rows.empty();
    runsTableWidget = createTable(m_summary.runs, "runsTableWidget");
    shiftsTableWidget = createTable(m_summary.shifts, "shiftsTableWidget");
    wheelspinTableWidget = createTable(m_summary.wheelspin, "wheelspinTableWidget");
    shiftPointsTableWidget = createTable(m_summary.shiftPoints, "shiftPointsTableWidget");
    // The runs, the spins and the gears are few: their tables take the height of their rows (up
    // to a few) and of the scroll bar their columns may need beside the chart; the shifts take
    // the rest.
    fitRows(runsTableWidget, 5);
    fitRows(wheelspinTableWidget, 4);
    fitRows(shiftPointsTableWidget, 4);
    auto* runs = tableGroup("Runs", runsTableWidget, "");
    auto* slips = createTimeSlips();
    auto* shifts = tableGroup("Shifts", shiftsTableWidget, NoShiftText);
    auto* spins = tableGroup("Wheelspin", wheelspinTableWidget, NoWheelspinText);
    auto* points = tableGroup("Where to shift", shiftPointsTableWidget, NoShiftPointText);
    auto* lower = new QHBoxLayout;
    // A table with rows takes the room a sentence saying there are none does not need, in
    // proportion to its columns' natural widths.
    const auto share = [](const QTableWidget* table) {
        if (table->rowCount() == 0) {
            return 1;
        }
        int width = 0;
        for (int c = 0; c < table->columnCount(); ++c) {
            width += table->horizontalHeader()->sectionSize(c);
        }
        return std::max(2, width / 50);
    };
    lower->addWidget(spins, share(wheelspinTableWidget));
    lower->addWidget(points, share(shiftPointsTableWidget));
    for (QWidget* part : {runs, slips, shifts, spins, points}) {
        part->setVisible(any);
    }
    body->addWidget(runs);
    body->addWidget(slips);
    body->addWidget(shifts, 1);
    body->addLayout(lower);
    if (!any) {
        body->addStretch();  // the sentence at the top, the buttons at the bottom
    }

    auto* hint =
        new QLabel(m_chart.mark ? "Double-click a row to put the chart's marker there." : "", this);
    showAsHint(hint);
    hint->setWordWrap(true);
    statusLabel = new QLabel(this);
    statusLabel->setObjectName("statusLabel");
    statusLabel->setWordWrap(true);
    shiftTicksBox = new QCheckBox("Show &shifts on the chart's time axis", this);
    shiftTicksBox->setObjectName("shiftTicksBox");
    shiftTicksBox->setEnabled(m_chart.ticks != nullptr);
    shiftTicksBox->setVisible(any);
    wheelspinBox = new QCheckBox("Show &wheelspin on the chart", this);
    wheelspinBox->setObjectName("wheelspinBox");
    wheelspinBox->setEnabled(m_chart.bands != nullptr && !m_summary.spinSpans.empty());
    wheelspinBox->setVisible(any);
    exportButton = new QPushButton("&Export...", this);
    exportButton->setObjectName("exportButton");
    exportButton->setEnabled(any);
    closeButton = new QPushButton("&Close", this);
    closeButton->setObjectName("closeButton");
    exportButton->setToolTip(
        "Write the runs to a CSV file and the shifts to a second file beside it");
    closeButton->setToolTip("Close the run summary; the chart stays open");
    for (QPushButton* button : {exportButton, closeButton}) {
        button->setAutoDefault(false);
    }
    // Two lines, so that the window stays narrow enough to stand beside the chart: the check
    // boxes and the buttons, then the hint and what an export wrote.
    auto* boxes = new QVBoxLayout;
    boxes->addWidget(shiftTicksBox);
    boxes->addWidget(wheelspinBox);
    auto* row = new QHBoxLayout;
    row->addLayout(boxes, 1);
    row->addWidget(exportButton, 0, Qt::AlignBottom);
    row->addWidget(closeButton, 0, Qt::AlignBottom);
    layout->addLayout(row);
    auto* notes = new QHBoxLayout;
    notes->addWidget(hint, 1);
    notes->addWidget(statusLabel, 1);
    layout->addLayout(notes);

    connect(shiftTicksBox, &QCheckBox::toggled, this, [this](bool on) {
        if (m_chart.ticks) {
            m_chart.ticks(on ? m_summary.shifts.times : std::vector<double>());
        }
    });
    connect(wheelspinBox, &QCheckBox::toggled, this, [this](bool on) {
        if (m_chart.bands) {
            m_chart.bands(on ? m_summary.spinSpans : std::vector<TimeSpan>());
        }
    });
    connect(exportButton, &QPushButton::clicked, this, &RunSummaryWindow::onExportClicked);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
    if (any) {
        fitWidth();
    } else {
        resize(660, 120);
    }
}

QWidget* RunSummaryWindow::tableGroup(const char* title, QTableWidget* table, const char* none) {
    auto* group = new QGroupBox(title, this);
    auto* inside = new QVBoxLayout(group);
    table->setAccessibleName(title);  // a group box's title does not name what is inside it
    if (table->rowCount() == 0 && *none != '\0') {
        table->hide();
        auto* sentence = new QLabel(none, group);
        sentence->setWordWrap(true);
        inside->addWidget(sentence);
        inside->addStretch();
    } else {
        inside->addWidget(table);
    }
    return group;
}

// One framed block a run in a fixed-width font, side by side as a track's slips are pinned up.
QWidget* RunSummaryWindow::createTimeSlips() {
    auto* group = new QGroupBox("Time slips (estimated from road speed)", this);
    auto* row = new QHBoxLayout(group);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (const std::vector<std::string>& lines : m_summary.timeSlips) {
        QStringList text;
        for (const std::string& line : lines) {
            text << QString::fromStdString(line);
        }
        auto* slip = new QLabel(text.join('\n'), group);
        slip->setObjectName(QString("timeSlip%1").arg(timeSlipLabels.size() + 1));
        slip->setTextInteractionFlags(Qt::TextSelectableByMouse);
        if (lines.size() > 1) {
            slip->setFont(fixed);
            slip->setFrameShape(QFrame::Box);
            slip->setMargin(6);
            slip->setStyleSheet("background: #fffdf4; color: #222");
        }
        slip->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);
        row->addWidget(slip, 0, Qt::AlignTop);
        timeSlipLabels.push_back(slip);
    }
    row->addStretch();
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(group);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setFixedHeight(group->sizeHint().height() +
                           scroll->horizontalScrollBar()->sizeHint().height());
    return scroll;
}

// Wide enough for every column of the widest table, within the screen. The tables have not
// been laid out yet, so their columns are still at their natural widths.
void RunSummaryWindow::fitWidth() {
    int width = 0;
    for (const QTableWidget* table : {runsTableWidget, shiftsTableWidget}) {
        int columns = 2 * table->frameWidth();
        for (int c = 0; c < table->columnCount(); ++c) {
            columns += table->horizontalHeader()->sectionSize(c);
        }
        width = std::max(width, columns);
    }
    const int room = screen() ? screen()->availableGeometry().width() - 40 : 1200;
    resize(std::min(width + 60, room), 720);
}

QTableWidget* RunSummaryWindow::createTable(const SummaryTable& table, const char* name) {
    auto* widget = new QTableWidget(int(table.rows.size()), int(table.headers.size()), this);
    widget->setObjectName(name);
    widget->setTabKeyNavigation(false);  // Tab leaves the table for the next control
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

void RunSummaryWindow::onExportClicked() {
    const std::vector<std::string> written = exportRunSummary(m_prompts, m_summary);
    if (!written.empty()) {
        statusLabel->setText(fromCore(exportedText(written)));
    }
}

}  // namespace velkor
