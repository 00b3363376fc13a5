#include <QFile>

#include "chart/Chart2DImpl.h"

namespace velkor {

namespace {

QColor colour(const std::string& text) {
    return QColor(QString::fromLatin1(text.c_str()));
}

QFont styleFont(const ChartTemplate& style, double points, bool bold = false) {
    QFont result(QString::fromLatin1(style.fontFamily.c_str()));
    result.setPointSizeF(points);
    result.setBold(bold);
    return result;
}

// Square ends and bevelled corners: at the traces' width of a pixel or two they look as round
// ones do, and the 2700 corners of a trace are stroked in half the time.
QPen linePen(const std::string& text, double width) {
    return QPen(QBrush(colour(text)), width, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

}  // namespace

void Chart2D::Impl::applyStyle() {
    const ChartTemplate& s = style;
    chart->setBackgroundBrush(colour(s.background));
    chart->setBackgroundPen(Qt::NoPen);
    chart->setBackgroundRoundness(0);
    chart->setPlotAreaBackgroundBrush(colour(s.plotBackground));
    chart->setPlotAreaBackgroundPen(linePen(s.axisLineColour, s.axisLineWidth));
    chart->setPlotAreaBackgroundVisible(true);
    chart->setTitleFont(styleFont(s, s.headerSize, true));
    chart->setTitleBrush(colour(s.textColour));
    view->setBackgroundBrush(colour(s.background));

    QLegend* legend = chart->legend();
    legend->setFont(styleFont(s, s.legendSize));
    legend->setLabelColor(colour(s.textColour));

    const std::array<std::string, 3> titleColours{s.textColour, s.trace1Colour, s.trace2Colour};
    for (std::size_t i = 0; i < axes.size(); ++i) {
        QValueAxis* a = axes[i];
        a->setLinePen(linePen(s.axisLineColour, s.axisLineWidth));
        a->setGridLinePen(linePen(s.gridColour, s.gridWidth));
        a->setMinorGridLinePen(linePen(s.minorGridColour, s.gridWidth));
        a->setLabelsColor(colour(s.textColour));
        a->setLabelsFont(styleFont(s, s.tickSize));
        a->setTitleFont(styleFont(s, s.axisTitleSize, true));
        a->setTitleBrush(colour(titleColours[i]));
    }
    groups[0].series->setPen(linePen(s.trace1Colour, s.trace1Width));
    groups[1].series->setPen(linePen(s.trace2Colour, s.trace2Width));
    marker->setPen(QPen(QBrush(colour(s.markerColour)), s.markerWidth));
    styleBMarker();
    styleOverlays();
    for (QGraphicsSimpleTextItem* item : labels) {
        item->setFont(styleFont(s, s.labelSize, true));
        item->setBrush(colour(s.labelColour));
    }
    updateRightRoom();
    if (!frozen) {
        refreshOverlays();
    }
}

bool Chart2D::loadTemplate(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return false;
    }
    const auto parsed = parseChartTemplate(std::string(bytes.constData(), size_t(bytes.size())));
    if (!parsed) {
        return false;
    }
    Impl& d = *m_impl;
    d.style = *parsed;
    // The template's design state: the time axis title and the labels' texts, all labels hidden.
    d.axis(Axis::X)->setTitleText(QString::fromLatin1(d.style.timeAxisTitle.c_str()));
    d.labels[0]->setText(QString::fromLatin1(d.style.labelOff.c_str()));
    d.labels[1]->setText(QString::fromLatin1(d.style.labelOn.c_str()));
    d.labels[2]->setText(QString::fromLatin1(d.style.labelY2Axis.c_str()));
    for (QGraphicsSimpleTextItem* item : d.labels) {
        item->hide();
    }
    d.applyStyle();
    return true;
}

}  // namespace velkor
