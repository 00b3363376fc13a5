#pragma once
// A round dial: a needle over a scale from 0 to the full-scale value, a red band from the
// red-line mark up, and three text items (units, title and the read-out).

#include <QString>
#include <array>

#include "live/GaugeWidget.h"

namespace velkor {

class CircularGauge : public GaugeWidget {
    Q_OBJECT
public:
    CircularGauge(QString units, QString title, QWidget* parent = nullptr);

    void setValue(double value);
    void setRedline(double value);
    void setFullScale(double value);
    // Which text item the caption writes: 1 units, 2 title, 3 read-out.
    void setTextSelector(int item);
    void setCaption(const QString& text);

    double value() const { return m_value; }
    double redline() const { return m_redline; }
    double fullScale() const { return m_fullScale; }
    QString textItem(int item) const;

    QSize sizeHint() const override { return {240, 240}; }
    QSize minimumSizeHint() const override { return {150, 150}; }

protected:
    void paintFace(QPainter& p) override;
    void paintReading(QPainter& p) override;

private:
    double m_value = 0.0;
    double m_redline = 0.0;
    double m_fullScale = 1.0;
    int m_textSelector = 3;
    std::array<QString, 3> m_texts;
};

}  // namespace velkor
