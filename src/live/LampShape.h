#pragma once
// An indicator lamp: a filled circle whose fill colour alone is set (255 red, lit; 0 black,
// dark), drawn as a lens that glows when its colour is bright.

#include <QWidget>

#include "base/LiveDisplay.h"

namespace velkor {

class LampShape : public QWidget {
    Q_OBJECT
public:
    explicit LampShape(Colour colour, QWidget* parent = nullptr);

    void setFillColour(Colour colour);
    Colour fillColour() const { return m_colour; }

    QSize sizeHint() const override { return {22, 22}; }
    QSize minimumSizeHint() const override { return {16, 16}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Colour m_colour;
};

}  // namespace velkor
