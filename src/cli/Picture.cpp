#include "cli/Picture.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QSvgGenerator>
#include <QTemporaryDir>

#include "chart/Chart2D.h"
#include "chart/ChartPrinter.h"
#include "chart/frmChart1.h"
#include "cli/ExitCode.h"
#include "cli/Session.h"

namespace velkor::cli {

namespace {

QByteArray png(Chart2D& chart, const QSize& size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        chart.renderTo(painter, QRectF(image.rect()));
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        throw Failure(ExitFile, "the picture could not be made");
    }
    return buffer.data();
}

QByteArray svg(Chart2D& chart, const QSize& size) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size);
    generator.setResolution(96);  // CSS pixels: shown at its size in pixels
    generator.setViewBox(QRect(QPoint(), size));
    {
        QPainter painter(&generator);
        chart.renderTo(painter, QRectF(QPointF(), QSizeF(size)));
    }
    return buffer.data();
}

// The page Print makes, with the comment as it stands, as a PDF file.
QByteArray pdf(Chart2D& chart, const AppData& data) {
    const QTemporaryDir folder;
    if (!folder.isValid()) {
        throw Failure(ExitFile,
                      "no temporary folder for the page: " + folder.errorString().toStdString());
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder.filePath("page.pdf"));
    try {
        QtChartPrinter page(printer, chart);
        printChartPage(data, page);
    } catch (const AppError& error) {
        throw Failure(ExitFile, terminalText(error.description()));
    }
    QFile file(folder.filePath("page.pdf"));
    if (!file.open(QIODevice::ReadOnly)) {
        throw Failure(ExitFile, "the page could not be made");
    }
    return file.readAll();
}

}  // namespace

std::string chartPicture(Session& session, const PictureRequest& request) {
    AppData& data = session.data();
    frmChart1 window(data.log, data.prefs, session.prompts(), session.folders());
    window.Form_Load();
    ChartWindow& logic = window.logic();
    if (!logic.chartLoaded()) {
        throw Failure(ExitFile, "the chart cannot be drawn without its template");
    }
    for (const TraceOption option : {request.trace1, request.trace2}) {
        window.selectTraceOption(option);
        logic.optTrace_Click(option);
    }
    if (!logic.showSpan(request.from, request.to)) {
        throw usageError("--from and --to leave no time of the log (it runs from 0 to " +
                         std::to_string(int(logic.TotalTime)) + " s)");
    }
    // The chart laid out at the asked size, as the window would show it at that size; the
    // window is never put on a screen.
    const QSize size(request.width, request.height);
    window.Chart2D1->setFixedSize(size);
    window.setAttribute(Qt::WA_DontShowOnScreen);
    window.show();
    QCoreApplication::processEvents();

    Chart2D& chart = *window.Chart2D1;
    const QByteArray bytes = request.kind == PictureKind::Png   ? png(chart, size)
                             : request.kind == PictureKind::Svg ? svg(chart, size)
                                                                : pdf(chart, data);
    return bytes.toStdString();
}

}  // namespace velkor::cli
