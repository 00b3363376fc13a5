#include "options/DialogPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace velkor {

void centreOnOpener(QWidget& dialog) {
    dialog.adjustSize();
    QRect area;
    const QWidget* opener =
        dialog.parentWidget() != nullptr ? dialog.parentWidget()->window() : nullptr;
    if (opener != nullptr && opener->isVisible()) {
        area = opener->frameGeometry();
    } else if (const QScreen* screen =
                   opener != nullptr ? opener->screen() : QGuiApplication::primaryScreen()) {
        area = screen->availableGeometry();
    } else {
        return;
    }
    dialog.move(area.center() - QPoint(dialog.width() / 2, dialog.height() / 2));
}

}  // namespace velkor
