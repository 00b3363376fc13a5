#pragma once
// Driving the options dialogs as a person does, offscreen: typing into a box, moving on with
// Tab or a click, and acting on a dialog that another one opens modally.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>

namespace velkor::test {

// Shows a dialog modelessly and waits until it has the keyboard.
inline bool showActive(QWidget& dialog) {
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    dialog.activateWindow();
    return QTest::qWaitForWindowActive(&dialog);
}

// Clicks into the box (leaving the box that had the focus), selects what it holds and types.
inline void typeInto(QLineEdit* box, const QString& text) {
    QTest::mouseClick(box, Qt::LeftButton);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, text);
}

// A left click that travels the way a real one does: through the window system to the window,
// which finds the control under the mouse. An option button is hit on its circle.
inline void clickThroughWindow(QWidget* control) {
    QWindow* window = control->window()->windowHandle();
    const QPoint aim = control->inherits("QRadioButton") ? QPoint(8, control->height() / 2)
                                                         : control->rect().center();
    const QPoint at = control->mapTo(control->window(), aim);
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, at);
}

// Runs `act` on the first modal window that `matches` once it is up, from inside its own event
// loop; fails the test and closes what is up if none comes within five seconds.
inline void whenModal(std::function<bool(QWidget&)> matches, std::function<void(QWidget&)> act,
                      const char* what) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [=, ticks = 0]() mutable {
        QWidget* modal = QApplication::activeModalWidget();
        const bool found = modal != nullptr && modal->isVisible() && matches(*modal);
        if (!found && ++ticks < 1000) {
            return;
        }
        timer->deleteLater();
        timer->stop();
        if (found) {
            act(*modal);
            return;
        }
        ADD_FAILURE() << what << " was not shown";
        if (modal != nullptr) {
            modal->close();
        }
    });
    timer->start(5);
}

// The modal dialog named `name`.
inline void whenModalShown(const QString& name, std::function<void(QDialog&)> act) {
    whenModal([name](QWidget& modal) { return modal.objectName() == name; },
              [act](QWidget& modal) { act(static_cast<QDialog&>(modal)); }, "a modal dialog");
}

}  // namespace velkor::test
