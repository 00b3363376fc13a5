#include "options/LeaveValidation.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

namespace velkor {

LeaveValidation::LeaveValidation(QObject* parent) : QObject(parent) {}

void LeaveValidation::watch(QLineEdit* box, Check check) {
    m_checks[box] = {box, std::move(check)};
    box->installEventFilter(this);
    connect(box, &QObject::destroyed, this, [this](QObject* gone) { m_checks.erase(gone); });
}

bool LeaveValidation::eventFilter(QObject* watched, QEvent* event) {
    if (m_swallowIn != nullptr &&
        (event->type() == QEvent::MouseButtonPress ||
         event->type() == QEvent::MouseButtonDblClick) &&
        watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == m_swallowIn) {
        // The press that tried to take the focus out of a box that kept it.
        stopSwallowing();
        return true;
    }
    const auto box = m_checks.find(watched);
    if (box != m_checks.end()) {
        return boxEvent(box->second.first, event);
    }
    return QObject::eventFilter(watched, event);
}

bool LeaveValidation::boxEvent(QLineEdit* box, QEvent* event) {
    if (m_checking || !box->window()->isVisible()) {
        return false;
    }
    if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // Another window or a pop-up menu taking over is not the person leaving the box.
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) {
            return false;
        }
        if (!leave(box)) {
            return false;
        }
        if (reason == Qt::MouseFocusReason) {
            swallowNextPress(box->window());
        }
        // The box has the focus again: it must not take itself for left.
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // Enter goes on to the dialog's default button only past a check that passes.
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            return leave(box);
        }
    }
    return false;
}

bool LeaveValidation::leave(QLineEdit* box) {
    m_checking = true;
    const bool cancel = m_checks.at(box).second();
    m_checking = false;
    if (cancel) {
        // A message box may have taken the activation, and not every window manager hands it
        // back to the dialog when the box closes.
        if (!box->window()->isActiveWindow()) {
            box->window()->activateWindow();
        }
        if (!box->hasFocus()) {
            m_checking = true;
            box->setFocus(Qt::OtherFocusReason);
            m_checking = false;
        }
        box->selectAll();
    }
    return cancel;
}

void LeaveValidation::swallowNextPress(QWidget* window) {
    if (m_swallowIn == nullptr) {
        qApp->installEventFilter(this);
    }
    m_swallowIn = window;
    // The press follows the focus change at once; should none come, nothing is left armed.
    QTimer::singleShot(0, this, &LeaveValidation::stopSwallowing);
}

void LeaveValidation::stopSwallowing() {
    if (m_swallowIn != nullptr) {
        qApp->removeEventFilter(this);
        m_swallowIn = nullptr;
    }
}

}  // namespace velkor
