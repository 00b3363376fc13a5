#pragma once
// What the dials and the bar gauges share: the face (scale, bands, captions, everything that
// changes only with the design, the size or the style) is drawn once into a cached picture, and
// each paint draws the reading over it.

#include <QPixmap>
#include <QWidget>

class QPainter;

namespace velkor {

class GaugeWidget : public QWidget {
public:
    using QWidget::QWidget;

protected:
    // The face must be drawn again before the next paint.
    void faceChanged() { m_face = QPixmap(); }
    // Draws the face, antialiased, over the widget's rectangle on an opaque window colour.
    virtual void paintFace(QPainter& painter) = 0;
    // Draws the reading, antialiased, over the face.
    virtual void paintReading(QPainter& painter) = 0;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QPixmap m_face;  // empty when it must be drawn again
};

}  // namespace velkor
