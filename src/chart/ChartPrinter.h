#pragma once
// The chart page printed through Qt: a QPrinter (a printer or a PDF file, as chosen under Print
// Setup) and the chart window's Chart2D, which draws itself into the page as it draws on screen.

#include <QFont>
#include <QPainter>

#include "chart/Printing.h"

class QPrinter;

namespace velkor {

class Chart2D;

class QtChartPrinter : public ChartPrinter {
public:
    QtChartPrinter(QPrinter& printer, Chart2D& chart) : m_printer(printer), m_chart(chart) {}
    ~QtChartPrinter() override;

    std::vector<std::string> fontNames() override;
    void setFont(const std::string& name, int points) override;
    void setLandscape() override;
    PageMetrics pageMetrics() override;
    int printLine(const std::string& text, int top) override;
    void renderChart(const PixelRect& place) override;
    void endDocument() override;
    void abandonDocument() override;

private:
    // Starts the document on the first drawing; throws AppError when there is no printer or it
    // cannot be opened.
    void begin();

    QPrinter& m_printer;
    Chart2D& m_chart;
    QPainter m_painter;
    QFont m_font;
};

// Whether a printer is set up: a named printer, or a PDF file to print to.
bool hasPrinter(const QPrinter& printer);

}  // namespace velkor
