// The printed page's rules (the header font and lines, where the chart goes), and the chart printed
// into PDF files from the chart window's Print button, read back with poppler-utils; the files
// and a picture of the page stay in the build tree's print/ folder.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <functional>
#include <memory>

#include "app/frmMain.h"
#include "base/AppContext.h"
#include "chart/Printing.h"
#include "chart/frmChart1.h"
#include "log/FramDecode.h"
#include "options/DialogDriver.h"
#include "sim/Simulator.h"
#include "support/AppFixture.h"
#include "support/Drives.h"
#include "support/QtApp.h"
#include "support/ScriptedPrompts.h"

namespace velkor::test {
namespace {

const auto* const environment = installQtApplication();

TEST(PrintFont, MonospacInAnyLetterCaseAnywhereInTheListElseCourierNew) {
    EXPECT_EQ(printFontName({"Arial", "Times New Roman", "monospac821 bt"}), "Monospac821 BT");
    EXPECT_EQ(printFontName({"MONOSPAC821 BT", "Courier New"}), "Monospac821 BT");
    EXPECT_EQ(printFontName({"Arial", "Courier New", "Monospac821 BT Bold", " Monospac821 BT"}),
              "Courier New");
    EXPECT_EQ(printFontName({}), "Courier New");
}

// The full header is read back from the printed page.
TEST(PrintHeader, MakerDateAndCommentIndentedTenPositionsCommentLineOnlyWithAComment) {
    // No branding lines, a file that lost its date line, no comment.
    EXPECT_EQ(printHeaderLines("", "", ""),
              std::vector<std::string>{"           Shift Light Controller Data Printed: "});
}

TEST(ChartPlacement, FillsThePageBelowTheBandInEachDirectionsPixelsHalvesToEven) {
    // Letter landscape at 600 dpi with quarter-inch margins: 10.5 x 8 inches printable.
    EXPECT_EQ(chartPlacement({15120, 11520, 2.4, 2.4}), (PixelRect{0, 417, 6300, 4383}));
    EXPECT_EQ(headerTopPixels({15120, 11520, 2.4, 2.4}), 208);
    // 600 x 300 dpi: 1000 twips are 416.67 pixels across but 208.33 down.
    EXPECT_EQ(chartPlacement({15120, 11520, 2.4, 4.8}), (PixelRect{0, 208, 6300, 2192}));
    // 90 dpi: 62.5 goes to 62, 937.5 to 938.
    EXPECT_EQ(chartPlacement({15000, 11000, 16, 16}), (PixelRect{0, 62, 938, 625}));
    // A page no taller than the band leaves no room, not a negative height.
    EXPECT_EQ(chartPlacement({15120, 900, 2.4, 2.4}).height, 0);
}

const char* const Header = "Acme Racing Shift Light Controller Data Printed: 06/12/26 20:15:00";

QString artefact(const QString& name) {
    QDir().mkpath("print");
    return QDir("print").absoluteFilePath(name);
}

// A poppler tool's standard output; the test fails when the tool is missing or fails.
QString run(const char* tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    if (QString(tool).isEmpty() || !process.waitForFinished(30000) || process.exitCode() != 0) {
        ADD_FAILURE() << "poppler-utils: " << tool << " " << arguments.join(' ').toStdString()
                      << " failed " << process.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The page's text lines, without blank lines and the layout's indents.
QStringList pdfLines(const QString& pdf) {
    QStringList lines = run(VELKOR_PDFTOTEXT, {"-layout", pdf, "-"}).split('\n');
    lines.replaceInStrings(QRegularExpression("^\\s+|\\s+$"), "");
    lines.removeAll("");
    return lines;
}

// Where a word stands on the page, in points from the top left corner: xMin, yMin, xMax, yMax.
QRectF wordBox(const QString& pdf, const QString& text) {
    const QRegularExpression word(QString(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" )re"
                                          R"re(xMax="([\d.]+)" yMax="([\d.]+)">%1</word>)re")
                                      .arg(QRegularExpression::escape(text)));
    const auto m = word.match(run(VELKOR_PDFTOTEXT, {"-bbox", pdf, "-"}));
    EXPECT_TRUE(m.hasMatch()) << text.toStdString();
    return QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                  QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()));
}

class ChartPrintTest : public ::testing::Test, protected AppFixture {
protected:
    ChartPrintTest() {
        DataLog& log = data->log;
        loadDrive(log, sim::generateDrive(368 + 12 * 500, 11), 0.1f);
        log.DownloadDate = "06/12/26 20:15:00";
        data->branding.InfoLines = {"Acme Racing"};
        printer.setOutputFormat(QPrinter::PdfFormat);
    }

    // Opens the chart window as the main window does and acts on it.
    void inChartWindow(const std::function<void(frmChart1&)>& act) {
        frmChart1 window(data->log, data->prefs, prompts, {VELKOR_DATA_DIR});
        window.setPrinting(ctx, printer);
        window.Form_Load();
        window.show();
        QApplication::processEvents();
        act(window);
    }
    // Prints with a marker set, starting with no printer.
    void print() {
        printer.setOutputFileName({});
        inChartWindow([](frmChart1& window) {
            window.logic().Chart2D1_MouseDown(1, 200.0);
            QTest::mouseClick(window.cmdPrint, Qt::LeftButton);
        });
    }

    QPrinter printer{QPrinter::HighResolution};
};

// No printer, then a file that cannot be written, each go to the error prompt; Retry prints.
TEST_F(ChartPrintTest, PrintsTheHeaderCommentAndChartOnOneLandscapePageAfterRetries) {
    const QString pdf = artefact("chart_print.pdf");
    printer.setPageOrientation(QPageLayout::Portrait);  // printing turns the page itself
    data->log.Comment = "Old";
    prompts.answerInputs({"Track day, run 3"});
    prompts.answerMessages({Answer::Retry, Answer::Retry});
    prompts.onShow = [&](const ShownPrompt&) {
        printer.setOutputFileName(prompts.messages().size() == 1 ? "/nonexistent-folder/chart.pdf"
                                                                 : pdf);
    };
    QFile::remove(pdf);
    print();
    EXPECT_EQ(prompts.messageTexts(),
              (std::vector<std::string>{"No printer is set up. Choose a printer, or printing to "
                                        "a PDF file, under File, Print Setup.",
                                        "The PDF file /nonexistent-folder/chart.pdf cannot be "
                                        "written."}));
    EXPECT_EQ(prompts.messages()[0].buttons, Buttons::AbortRetryIgnore);

    const QStringList lines = pdfLines(pdf);
    EXPECT_EQ(lines.mid(0, 2).join('|').toStdString(),
              std::string(Header) + "|Comment: Track day, run 3");
    EXPECT_TRUE(lines.join('\n').contains("Elapsed Time (sec)"));
    const auto size = QRegularExpression(R"re(Pages:\s+1\n(.|\n)*Page size:\s+(\d+) x (\d+))re")
                          .match(run(VELKOR_PDFINFO, {pdf}));
    ASSERT_TRUE(size.hasMatch());
    EXPECT_GT(size.captured(2).toInt(), size.captured(3).toInt()) << "landscape";
    // The header stands in the band's lower half, ten fixed-pitch 8-point characters in (48
    // points); the chart lies below the band of 1000 twips (50 points).
    const QRectF paint = printer.pageLayout().paintRect(QPageLayout::Point);
    const QRectF maker = wordBox(pdf, "Acme");
    const QRectF comment = wordBox(pdf, "Comment:");
    EXPECT_GE(maker.top(), paint.top() + 24);
    EXPECT_LT(maker.bottom(), comment.top());
    EXPECT_LE(comment.bottom(), paint.top() + 50);
    EXPECT_GT(wordBox(pdf, "Elapsed").top(), paint.top() + 50);
    EXPECT_NEAR(maker.left(), paint.left() + 48, 2.0);
    EXPECT_NEAR(comment.left(), paint.left() + 48, 2.0);
    run(VELKOR_PDFTOPPM, {"-png", "-r", "80", "-singlefile", pdf, artefact("chart_print")});

    // Abort prints nothing; the comment typed before stays.
    QFile::remove(pdf);
    prompts.answerInputs({"kept"});
    prompts.answerMessages({Answer::Abort});
    print();
    EXPECT_EQ(prompts.messages().size(), 3u);
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_EQ(data->log.Comment, "kept");
}

// The main window's Print Setup works on the run's one printer, and the chart's Print uses what
// was chosen there; Cancel at the comment erases it and its line.
TEST_F(ChartPrintTest, PrinterChosenInPrintSetupIsTheOneTheChartPrintsOnCancelErasesTheComment) {
    frmMain window(*data, prompts, {VELKOR_DATA_DIR});
    const QString pdf = artefact("chart_print_setup.pdf");
    QFile::remove(pdf);
    whenModal([](QWidget& modal) { return modal.inherits("QPrintDialog"); },
              [&](QWidget& modal) {
                  auto* dialog = static_cast<QPrintDialog*>(&modal);
                  EXPECT_EQ(dialog->windowTitle(), "Printer Setup");
                  EXPECT_EQ(dialog->printer(), &window.printer());
                  auto* printers = dialog->findChild<QComboBox*>("printers");
                  auto* fileName = dialog->findChild<QLineEdit*>("filename");
                  if (printers != nullptr && fileName != nullptr) {
                      printers->setCurrentIndex(printers->count() - 1);  // "Print to File (PDF)"
                      fileName->setText(pdf);
                  }
                  dialog->accept();
              },
              "Print Setup");
    window.mnuPrintSetup->trigger();
    EXPECT_EQ(window.printer().outputFileName(), pdf);

    data->log.Comment = "Old";
    prompts.answerInputs({std::nullopt});
    whenModalShown("frmChart1", [](QDialog& chart) {
        QTest::mouseClick(static_cast<frmChart1&>(chart).cmdPrint, Qt::LeftButton);
        chart.accept();
    });
    window.mnuViewChart->trigger();
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(
        prompts.shown()[0].text + "|" + prompts.shown()[0].title,
        "Enter or edit comment. Cancel will erase any comment.|Optional Information Entry/Edit");
    EXPECT_EQ(data->log.Comment, "");
    const QStringList lines = pdfLines(pdf);
    EXPECT_EQ(lines.value(0).toStdString(), Header);
    EXPECT_FALSE(lines.join('\n').contains("Comment:"));
}

TEST_F(ChartPrintTest, PageSavedAsPdfIsThePrintedPage) {
    const QString pdf = artefact("chart_page.pdf");
    QFile::remove(pdf);
    data->log.Comment = "second run";
    prompts.answerFiles({pdf.toStdString()});
    inChartWindow([](frmChart1& window) { window.savePage(); });
    EXPECT_TRUE(prompts.messages().empty());
    EXPECT_EQ(pdfLines(pdf).mid(0, 2).join('|').toStdString(),
              std::string(Header) + "|Comment: second run");
}

}  // namespace
}  // namespace velkor::test
