#include "base/QtPalette.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPalette>
#include <QPointer>

namespace velkor {

namespace {

// Watches the widget that holds a hint, for a new palette of its own or the application's, and
// colours the hint's text again; and the hint, should it move to another holder.
class HintColour : public QObject {
public:
    explicit HintColour(QLabel* label) : QObject(label), m_label(label) {
        label->installEventFilter(this);
        watchHolder();
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_label && event->type() == QEvent::ParentChange) {
            watchHolder();
        } else if (watched == m_holder && event->type() == QEvent::PaletteChange) {
            recolour();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void watchHolder() {
        if (m_holder) {
            m_holder->removeEventFilter(this);
        }
        m_holder = m_label->parentWidget();
        if (m_holder) {
            m_holder->installEventFilter(this);
        }
        recolour();
    }

    // From the holder's palette, not the label's own: that holds the hint's colour already.
    void recolour() {
        const QColor colour = hintColour(m_holder ? m_holder->palette() : QApplication::palette());
        QPalette own = m_label->palette();
        if (own.color(QPalette::WindowText) == colour) {
            return;
        }
        own.setColor(QPalette::WindowText, colour);
        m_label->setPalette(own);
    }

    QLabel* m_label;
    QPointer<QWidget> m_holder;
};

}  // namespace

bool isDarkPalette(const QPalette& palette) {
    return isDark(toRgb(palette.color(QPalette::Window)));
}

QColor hintColour(const QPalette& palette) {
    return toQColor(hintText(toRgb(palette.color(QPalette::WindowText)),
                             toRgb(palette.color(QPalette::Window))));
}

void showAsHint(QLabel* label) {
    new HintColour(label);
}

}  // namespace velkor
