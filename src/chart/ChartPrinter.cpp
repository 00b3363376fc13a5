#include "chart/ChartPrinter.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPrinter>
#include <cmath>

#include "base/AppError.h"
#include "chart/Chart2D.h"

namespace velkor {

namespace {

[[noreturn]] void printerError(const QString& description) {
    throw AppError(PrinterErrorNumber, "Printer", description.toStdString());
}

}  // namespace

bool hasPrinter(const QPrinter& printer) {
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        return !printer.outputFileName().isEmpty();
    }
    return !printer.printerName().isEmpty();
}

QtChartPrinter::~QtChartPrinter() {
    if (m_painter.isActive()) {
        abandonDocument();
    }
}

std::vector<std::string> QtChartPrinter::fontNames() {
    // On this platform a printer prints with the fonts the system has.
    std::vector<std::string> names;
    for (const QString& family : QFontDatabase::families()) {
        names.push_back(family.toStdString());
    }
    return names;
}

void QtChartPrinter::setFont(const std::string& name, int points) {
    m_font = QFont(QString::fromStdString(name));
    m_font.setPointSize(points);
    // Without the font itself, another fixed-pitch one keeps the indent in character positions.
    m_font.setStyleHint(QFont::TypeWriter);
}

void QtChartPrinter::setLandscape() {
    m_printer.setPageOrientation(QPageLayout::Landscape);
}

PageMetrics QtChartPrinter::pageMetrics() {
    // The printable area, in which the painter's origin is the top left corner.
    const QRectF paint = m_printer.pageRect(QPrinter::DevicePixel);
    const double twipsPerPixel = double(TwipsPerInch) / m_printer.resolution();
    return {paint.width() * twipsPerPixel, paint.height() * twipsPerPixel, twipsPerPixel,
            twipsPerPixel};
}

void QtChartPrinter::begin() {
    if (m_painter.isActive()) {
        return;
    }
    if (!hasPrinter(m_printer)) {
        printerError(
            "No printer is set up. Choose a printer, or printing to a PDF file, under File, "
            "Print Setup.");
    }
    if (!m_painter.begin(&m_printer)) {
        printerError(m_printer.outputFormat() == QPrinter::PdfFormat
                         ? "The PDF file " + m_printer.outputFileName() + " cannot be written."
                         : "The printer " + m_printer.printerName() + " cannot be opened.");
    }
}

int QtChartPrinter::printLine(const std::string& text, int top) {
    begin();
    m_painter.setFont(m_font);
    m_painter.setPen(Qt::black);
    const QFontMetricsF metrics(m_painter.font(), &m_printer);
    m_painter.drawText(QPointF(0, top + metrics.ascent()),
                       QString::fromLatin1(text.data(), qsizetype(text.size())));
    return top + int(std::lround(metrics.lineSpacing()));
}

void QtChartPrinter::renderChart(const PixelRect& place) {
    begin();
    m_chart.renderTo(m_painter, QRectF(place.left, place.top, place.width, place.height));
}

void QtChartPrinter::endDocument() {
    begin();
    if (!m_painter.end() || m_printer.printerState() == QPrinter::Error) {
        printerError("The printer reported an error; the chart was not printed.");
    }
}

void QtChartPrinter::abandonDocument() {
    if (m_painter.isActive()) {
        m_printer.abort();
        m_painter.end();
    }
}

}  // namespace velkor
