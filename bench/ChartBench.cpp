// How long the chart takes to redraw on the two paths a user waits on: a new trace (2700 values
// replaced in batch mode, then drawn) and a moved time window (the time axis's range changed,
// then drawn). Each is drawn into an image of the chart's size; a frame at 60 Hz is 16.7 ms.

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "chart/Chart2D.h"

namespace {

struct Figures {
    double median;
    double worst;
};

template <typename Step>
Figures timed(int runs, Step step) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        step(i);
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

}  // namespace

int main(int argc, char* argv[]) {
    using velkor::Chart2D;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    constexpr int Runs = 200;

    Chart2D chart;
    chart.resize(1000, 600);
    chart.show();
    if (!chart.loadTemplate(QStringLiteral(VELKOR_CHART_TEMPLATE))) {
        std::fprintf(stderr, "chart template not found\n");
        return 1;
    }
    Chart2D::Values time{};
    Chart2D::Values values{};
    for (int i = 0; i < Chart2D::Points; ++i) {
        time[i] = float(i * 0.5);  // 2700 samples over 1350 s
        values[i] = float(1800 + 4600 * std::fmod(i * 0.5, 24.0) / 24.0);
    }
    chart.setXValues(1, time);
    chart.setXValues(2, time);
    chart.setYValues(2, values);
    chart.setAxisRange(Chart2D::Axis::Y, 0, 7000);
    chart.setAxisRange(Chart2D::Axis::Y2, 0, 7000);
    chart.setAxisRange(Chart2D::Axis::X, 0, 300);
    chart.setMarker(150);
    QApplication::processEvents();

    QImage image(chart.size(), QImage::Format_ARGB32_Premultiplied);
    const auto draw = [&] {
        QPainter painter(&image);
        chart.renderTo(painter, QRectF(image.rect()));
    };

    const Figures trace = timed(Runs, [&](int run) {
        for (float& v : values) {
            v = v * 0.999f + float(run);
        }
        chart.setBatch(1, true);
        chart.setYValues(1, values);
        chart.setBatch(1, false);
        draw();
    });
    const Figures window = timed(Runs, [&](int run) {
        const double start = (run * 5) % 1050;
        chart.setAxisRange(Chart2D::Axis::X, start, start + 300);
        draw();
    });
    std::printf("chart 1000x600, 2 traces of %d points, %d runs each\n", Chart2D::Points, Runs);
    std::printf("new trace (batch replace + draw): median %.2f ms, worst %.2f ms\n", trace.median,
                trace.worst);
    std::printf("time window moved (range + draw): median %.2f ms, worst %.2f ms\n", window.median,
                window.worst);
    return 0;
}
