#pragma once
// A vertical bar gauge: a caption on top, one or two scale sections with their labels, colour
// bands beside the scale, a bar rising from the scale's foot to the value, and a read-out.

#include <map>
#include <vector>

#include "live/GaugeDesign.h"
#include "live/GaugeWidget.h"

namespace velkor {

class LinearGauge : public GaugeWidget {
    Q_OBJECT
public:
    explicit LinearGauge(const LinearGaugeDesign& design, QWidget* parent = nullptr);

    // Writes one member. Scale and label members address the section the scale index names;
    // band start and end move the first colour band; a scale index outside the sections is
    // pinned to the nearest one. Members 38, 55, 3 and 64 are kept and draw nothing.
    void setMember(GaugeMember member, double value);

    double value() const { return m_value; }
    int scaleIndex() const { return m_scaleIndex; }
    const std::vector<SectionDesign>& sections() const { return m_sections; }
    const std::vector<ColourBand>& bands() const { return m_bands; }
    QString caption() const { return m_caption; }
    // The read-out as drawn under the bar.
    QString readoutText() const;
    // The last value written to a member the gauge does not draw from; 0 if none was.
    double keptMember(GaugeMember member) const;

    QSize sizeHint() const override { return {84, 260}; }
    QSize minimumSizeHint() const override { return {74, 180}; }

protected:
    // The face sets m_layout, which the reading is drawn by.
    void paintFace(QPainter& p) override;
    void paintReading(QPainter& p) override;

private:
    // Where the parts sit, in the widget's coordinates; fractions along the gauge's length are
    // measured from `top`.
    struct Layout {
        QRectF readout;
        QRectF tube;
        double top = 0;
        double length = 0;
        double footAt = 0;  // the scale's foot, the lowest point of any section
        double bandX = 0;
        double bandWidth = 0;
        double y(double fraction) const { return top + fraction * length; }
    };

    SectionDesign& currentSection();

    QString m_caption;
    std::vector<SectionDesign> m_sections;
    std::vector<ColourBand> m_bands;
    double m_value = 0.0;
    int m_scaleIndex = 0;
    std::map<GaugeMember, double> m_kept;
    Layout m_layout;
};

// The window system's colour for a stored colour value (red in the low byte).
QColor colourOf(Colour colour);

}  // namespace velkor
