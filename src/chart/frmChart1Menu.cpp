// The chart window's measuring tools as a person reaches them: the chart's context menu and its
// shortcuts, the wheel and the middle-button drag, the B read-out, and the image and page
// exports (the bytes are made here; choosing and writing the file is the core's).

#include <QAction>
#include <QBuffer>
#include <QClipboard>
#include <QCursor>
#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QSvgGenerator>
#include <QTemporaryDir>

#include "base/AppContext.h"
#include "base/AppError.h"
#include "base/Prompts.h"
#include "base/QtText.h"
#include "chart/Chart2D.h"
#include "chart/ChartExport.h"
#include "chart/ChartPrinter.h"
#include "chart/MarkerStats.h"
#include "chart/frmChart1.h"

namespace velkor {

namespace {

[[noreturn]] void imageError(const std::string& what) {
    throw AppError(ErrorNumber::PathFileAccess, "Velkor", what);
}

// An overlay's name in a menu is cut in its middle beyond this many pixels.
constexpr int MenuNameWidth = 420;

// Wide enough for the usual values, so that the line does not shift as they change.
QLabel* cell(QWidget* parent, const char* name, int minimumWidth = 34) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setMinimumWidth(minimumWidth);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

// One line between the scroll bar and the controls, so that nothing already there moves:
// B's time and values, marker minus B, then the lowest, highest and mean of each trace between
// the markers (trace 1 / trace 2), or the time an on/off trace 2 was on.
QWidget* frmChart1::createBReadout() {
    fraBMarker = new QFrame(this);
    fraBMarker->setObjectName("fraBMarker");
    fraBMarker->setFrameShape(QFrame::StyledPanel);
    auto* row = new QHBoxLayout(fraBMarker);
    row->setContentsMargins(8, 2, 8, 2);
    row->setSpacing(4);
    const auto legend = [&](const QString& text) {
        auto* label = new QLabel(text, fraBMarker);
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        row->addWidget(label);
        return label;
    };
    const auto slash = [&] { row->addWidget(new QLabel("/", fraBMarker)); };
    const auto gap = [&] { row->addSpacing(14); };
    bLegendLabel = legend("B Marker");
    // Every pair of figures reads trace 1 / trace 2, as the marker's own read-outs do.
    auto* pairs = new QLabel("(Trace 1 / Trace 2)", fraBMarker);
    pairs->setObjectName("bPairsLabel");
    row->addWidget(pairs);
    gap();
    legend("B");
    bTimeLabel = cell(fraBMarker, "bTimeLabel", 72);
    bTrace1Label = cell(fraBMarker, "bTrace1Label");
    bTrace2Label = cell(fraBMarker, "bTrace2Label");
    row->addWidget(bTimeLabel);
    row->addSpacing(6);
    row->addWidget(bTrace1Label);
    slash();
    row->addWidget(bTrace2Label);
    gap();
    legend(QString::fromUtf8("Marker \u2212 B"));
    deltaTimeLabel = cell(fraBMarker, "deltaTimeLabel", 80);
    deltaTrace1Label = cell(fraBMarker, "deltaTrace1Label");
    deltaTrace2Label = cell(fraBMarker, "deltaTrace2Label");
    row->addWidget(deltaTimeLabel);
    row->addSpacing(6);
    row->addWidget(deltaTrace1Label);
    slash();
    row->addWidget(deltaTrace2Label);
    const std::array<std::pair<const char*, std::array<QLabel**, 2>>, 3> stats{{
        {"Min", {&minTrace1Label, &minTrace2Label}},
        {"Max", {&maxTrace1Label, &maxTrace2Label}},
        {"Mean", {&meanTrace1Label, &meanTrace2Label}},
    }};
    const std::array<std::array<const char*, 2>, 3> names{{{"minTrace1Label", "minTrace2Label"},
                                                           {"maxTrace1Label", "maxTrace2Label"},
                                                           {"meanTrace1Label", "meanTrace2Label"}}};
    for (std::size_t i = 0; i < stats.size(); ++i) {
        gap();
        legend(stats[i].first);
        *stats[i].second[0] = cell(fraBMarker, names[i][0]);
        *stats[i].second[1] = cell(fraBMarker, names[i][1]);
        row->addWidget(*stats[i].second[0]);
        slash();
        row->addWidget(*stats[i].second[1]);
    }
    gap();
    timeOnLegendLabel = new QLabel(fraBMarker);
    // The hint shown while B is not set takes only the room left over.
    timeOnLegendLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    timeOnLabel = cell(fraBMarker, "timeOnLabel", 0);
    row->addWidget(timeOnLegendLabel);
    row->addWidget(timeOnLabel);
    row->addStretch(1);
    // Trace 1 right of its slash-mate, trace 2 left of it: "4030 / 0".
    for (QLabel* second :
         {bTrace2Label, deltaTrace2Label, minTrace2Label, maxTrace2Label, meanTrace2Label}) {
        second->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    const std::pair<QLabel*, const char*> tips[] = {
        {bTimeLabel, "B's time, from the same zero as the marker's"},
        {bTrace1Label, "Trace 1 at B"},
        {bTrace2Label, "Trace 2 at B"},
        {deltaTimeLabel, "Marker time minus B's time"},
        {deltaTrace1Label, "Trace 1 at the marker minus trace 1 at B"},
        {deltaTrace2Label, "Trace 2 at the marker minus trace 2 at B"},
        {minTrace1Label, "Lowest trace 1 between the markers"},
        {minTrace2Label, "Lowest trace 2 between the markers"},
        {maxTrace1Label, "Highest trace 1 between the markers"},
        {maxTrace2Label, "Highest trace 2 between the markers"},
        {meanTrace1Label, "Mean of trace 1 between the markers"},
        {meanTrace2Label, "Mean of trace 2 between the markers"},
        {timeOnLabel, "Time the on/off trace 2 was on between the markers"}};
    // Each figure says what it is, to the pointer and to a screen reader.
    for (const auto& [label, tip] : tips) {
        label->setToolTip(tip);
        label->setAccessibleDescription(tip);
    }
    setBReadout(BReadout{});
    return fraBMarker;
}

void frmChart1::setBReadout(const BReadout& b) {
    const std::pair<QLabel*, const std::string*> cells[] = {
        {bTimeLabel, &b.time},         {bTrace1Label, &b.trace1},
        {bTrace2Label, &b.trace2},     {deltaTimeLabel, &b.deltaTime},
        {deltaTrace1Label, &b.delta1}, {deltaTrace2Label, &b.delta2},
        {minTrace1Label, &b.minimum1}, {minTrace2Label, &b.minimum2},
        {maxTrace1Label, &b.maximum1}, {maxTrace2Label, &b.maximum2},
        {meanTrace1Label, &b.mean1},   {meanTrace2Label, &b.mean2},
        {timeOnLabel, &b.timeOn2}};
    for (const auto& [label, text] : cells) {
        label->setText(fromCore(*text));
    }
    // Without B the line says how to set it; an on/off trace 2 shows its time on instead of
    // its lowest, highest and mean values.
    const bool set = !b.time.empty();
    for (QLabel* off : {minTrace2Label, maxTrace2Label, meanTrace2Label}) {
        off->setText(set && b.onOff2 ? QStringLiteral("\u2013") : off->text());
    }
    describeChart();
    timeOnLegendLabel->setText(!set       ? "right-click the chart: Set B Marker Here"
                               : b.onOff2 ? "Trace 2 ON"
                                          : "");
    updateActions();
}

void frmChart1::setBMarker(std::optional<double> time) {
    Chart2D1->setBMarker(time);
}

void frmChart1::setOverlay(int index, const OverlayNames& names, const TraceValues& x,
                           const TraceValues& y1, const TraceValues& y2) {
    Chart2D1->setOverlay(index, fromCore(names.file), fromCore(names.trace1),
                         fromCore(names.trace2), x, y1, y2);
    updateActions();
}

void frmChart1::removeOverlay(int index) {
    Chart2D1->removeOverlay(index);
    updateActions();
}

void frmChart1::clearOverlays() {
    Chart2D1->clearOverlays();
    updateActions();
}

void frmChart1::createMeasureActions() {
    const auto action = [this](const char* name, const char* text, QKeySequence keys,
                               auto handler) {
        auto* a = new QAction(QString::fromLatin1(text), this);
        a->setObjectName(name);
        a->setShortcut(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    setBMarkerAction =
        action("setBMarkerAction", "Set &B Marker Here", QKeySequence(Qt::Key_B), [this] {
            // From the menu B goes where it was opened; from the key, under the pointer.
            const QPointF pixel =
                m_menuOpen ? m_menuPixel : QPointF(Chart2D1->mapFromGlobal(QCursor::pos()));
            m_logic.setBMarkerAt(Chart2D1->timeAt(pixel));
        });
    clearBMarkerAction =
        action("clearBMarkerAction", "C&lear B Marker", QKeySequence(Qt::SHIFT | Qt::Key_B),
               [this] { m_logic.clearBMarker(); });
    showWholeLogAction = action("showWholeLogAction", "Show &Whole Log", QKeySequence(Qt::Key_Home),
                                [this] { m_logic.showWholeLog(); });
    copyImageAction =
        action("copyImageAction", "&Copy Image", QKeySequence::Copy, [this] { copyImage(); });
    saveImageAction = action("saveImageAction", "&Save Image...",
                             QKeySequence(Qt::CTRL | Qt::Key_S), [this] { saveImage(); });
    savePageAction = action("savePageAction", "Save &Page as PDF...",
                            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), [this] { savePage(); });
    exportDataAction = action("exportDataAction", "&Export Data...",
                              QKeySequence(Qt::CTRL | Qt::Key_E), [this] { m_logic.exportData(); });
    overlayAction =
        action("overlayAction", "&Overlay Log File...", QKeySequence(Qt::CTRL | Qt::Key_O),
               [this] { m_logic.overlayLogFile(); });
    shiftOverlayAction =
        action("shiftOverlayAction", "S&hift Overlay to Marker", QKeySequence(Qt::CTRL | Qt::Key_M),
               [this] { m_logic.shiftOverlayToMarker(); });
    removeOverlaysAction = action("removeOverlaysAction", "&Remove Overlays",
                                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O),
                                  [this] { m_logic.removeOverlays(); });
    updateActions();
}

void frmChart1::updateActions() {
    if (!setBMarkerAction) {
        return;
    }
    const bool loaded = m_logic.chartLoaded();
    for (QAction* a : {setBMarkerAction, showWholeLogAction, exportDataAction}) {
        a->setEnabled(loaded);
    }
    clearBMarkerAction->setEnabled(m_logic.BSample.has_value());
    savePageAction->setEnabled(m_printContext != nullptr);
    overlayAction->setEnabled(loaded && m_logic.overlayCount() < MaxOverlays);
    shiftOverlayAction->setEnabled(m_logic.BSample.has_value() && m_logic.overlayCount() > 0);
    removeOverlaysAction->setEnabled(m_logic.overlayCount() > 0);
}

QMenu* frmChart1::contextMenu(QPointF pixel) {
    delete m_menu;
    // A child of the window with a title, so that a screen reader finds it and names it.
    m_menu = new QMenu("Chart Tools", this);
    m_menu->setObjectName("chartToolsMenu");
    m_menuPixel = pixel;
    updateActions();
    m_menu->addActions({setBMarkerAction, clearBMarkerAction});
    m_menu->addSeparator();
    m_menu->addAction(showWholeLogAction);
    m_menu->addSeparator();
    m_menu->addActions({copyImageAction, saveImageAction, savePageAction, exportDataAction});
    m_menu->addSeparator();
    m_menu->addAction(overlayAction);
    addOverlayChoices();
    return m_menu;
}

// One overlay: the plain actions, which act on it. Several: Shift Overlay to Marker becomes a
// submenu naming each in its colour (the one laid over last first: the one Ctrl+M moves), and
// Remove Overlay one more at the menu's end.
void frmChart1::addOverlayChoices() {
    const std::vector<Overlay>& overlays = m_logic.overlays();
    if (overlays.size() < 2) {
        m_menu->addActions({shiftOverlayAction, removeOverlaysAction});
        shiftOverlayMenu = nullptr;
        removeOverlayMenu = nullptr;
        return;
    }
    shiftOverlayMenu = m_menu->addMenu(shiftOverlayAction->text());
    shiftOverlayMenu->setObjectName("shiftOverlayMenu");
    shiftOverlayMenu->setEnabled(shiftOverlayAction->isEnabled());
    m_menu->addAction(removeOverlaysAction);
    m_menu->addSeparator();
    removeOverlayMenu = m_menu->addMenu("Re&move Overlay");
    removeOverlayMenu->setObjectName("removeOverlayMenu");
    for (QMenu* menu : {shiftOverlayMenu, removeOverlayMenu}) {
        menu->setToolTipsVisible(true);  // the whole name of a name cut short
    }
    for (auto overlay = overlays.rbegin(); overlay != overlays.rend(); ++overlay) {
        const int slot = overlay->slot;
        QPixmap swatch(12, 12);
        swatch.fill(QColor(QString::fromLatin1(OverlayColours.at(std::size_t(slot)))));
        // The legend shows the whole name; the menu keeps to a width a menu has.
        const QString whole = fromCore(overlay->name);
        const QString name =
            m_menu->fontMetrics().elidedText(whole, Qt::ElideMiddle, MenuNameWidth);
        QAction* shift = shiftOverlayMenu->addAction(QIcon(swatch), name);
        QAction* remove = removeOverlayMenu->addAction(QIcon(swatch), name);
        for (QAction* choice : {shift, remove}) {
            choice->setToolTip(whole);
        }
        connect(shift, &QAction::triggered, this,
                [this, slot] { m_logic.shiftOverlayToMarker(slot); });
        connect(remove, &QAction::triggered, this, [this, slot] { m_logic.removeOverlay(slot); });
    }
}

void frmChart1::connectMeasureEvents() {
    connect(Chart2D1, &Chart2D::contextMenuWanted, this, [this](QPointF pixel, QPoint global) {
        // The menu's actions run inside exec, after the menu has closed.
        m_menuOpen = true;
        contextMenu(pixel)->exec(global);
        m_menuOpen = false;
    });
    connect(Chart2D1, &Chart2D::wheelTurned, this, [this](QPointF pixel, double steps) {
        const auto [low, high] = Chart2D1->axisRange(Chart2D::Axis::X);
        m_logic.zoomAt(Chart2D1->timeAt(pixel).value_or((low + high) / 2), steps);
    });
    connect(Chart2D1, &Chart2D::middleDragged, this, [this](double pixels) {
        const auto [low, high] = Chart2D1->axisRange(Chart2D::Axis::X);
        const double width = Chart2D1->plotArea().width();
        if (width > 0) {
            m_logic.panBy(-pixels * (high - low) / width);
        }
    });
}

QImage frmChart1::chartImage(double scale) const {
    QImage image((QSizeF(Chart2D1->size()) * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    Chart2D1->renderTo(painter, QRectF(image.rect()));
    return image;
}

QByteArray frmChart1::chartSvg() const {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(Chart2D1->size());
    // At the 96 pixels to the inch of CSS, drawing programs and browsers show it at its size on
    // screen.
    svg.setResolution(96);
    svg.setViewBox(QRect(QPoint(), Chart2D1->size()));
    svg.setTitle(windowTitle());
    QPainter painter(&svg);
    Chart2D1->renderTo(painter, QRectF(QPointF(), QSizeF(Chart2D1->size())));
    painter.end();
    return buffer.data();
}

void frmChart1::copyImage() {
    QGuiApplication::clipboard()->setImage(chartImage(1));
}

void frmChart1::saveImage() {
    Prompts& prompts = m_logic.prompts();
    exportToFile(
        prompts, SaveImageTitle, ImageFilter, "image file", m_log.FilePath,
        [&](const std::string& path) {
            if (imageFormatFor(path) == ImageFormat::Svg) {
                const QByteArray bytes = chartSvg();
                return bytes.toStdString();
            }
            const QSize size = Chart2D1->size();
            const bool twice =
                prompts.message("Save the picture at twice its size on screen (" +
                                    std::to_string(2 * size.width()) + " x " +
                                    std::to_string(2 * size.height()) +
                                    " pixels)?\r\nNo saves it at its size on screen.",
                                SaveImageTitle, Icon::Question, Buttons::YesNo) == Answer::Yes;
            QBuffer buffer;
            buffer.open(QIODevice::WriteOnly);
            if (!chartImage(twice ? 2 : 1).save(&buffer, "PNG")) {
                imageError("The picture could not be made.");
            }
            return buffer.data().toStdString();
        },
        m_logic.exportPlace(FileKind::Picture, ImageFilter));
}

void frmChart1::savePage() {
    if (m_printContext == nullptr) {
        return;
    }
    exportToFile(
        m_logic.prompts(), SavePageTitle, PdfFilter, "PDF file", m_log.FilePath,
        [&](const std::string&) {
            // The page is made in a folder of its own, then written to the chosen name
            // as one whole file.
            const QTemporaryDir folder;
            if (!folder.isValid()) {
                imageError("No temporary folder for the page: " +
                           folder.errorString().toStdString());
            }
            QPrinter pdf(QPrinter::HighResolution);
            pdf.setOutputFormat(QPrinter::PdfFormat);
            if (m_printer != nullptr) {
                pdf.setPageLayout(m_printer->pageLayout());
            }
            pdf.setOutputFileName(folder.filePath("page.pdf"));
            {
                QtChartPrinter printer(pdf, *Chart2D1);
                printChartPage(m_printContext->data, printer);
            }
            QFile file(folder.filePath("page.pdf"));
            if (!file.open(QIODevice::ReadOnly)) {
                imageError("The page could not be made.");
            }
            return file.readAll().toStdString();
        },
        m_logic.exportPlace(FileKind::Pdf, PdfFilter));
}

}  // namespace velkor
