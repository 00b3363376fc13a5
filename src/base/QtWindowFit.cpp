#include "base/QtWindowFit.h"

#include <QScreen>
#include <QWidget>

#include "base/WindowFit.h"

namespace velkor {

void resizeWithinScreen(QWidget& window, int width, int height) {
    Extent size{width, height};
    if (const QScreen* screen = window.screen()) {
        const QRect room = screen->availableGeometry();
        size = fitOnScreen(size, {room.width(), room.height()});
    }
    window.resize(size.width, size.height);
}

}  // namespace velkor
