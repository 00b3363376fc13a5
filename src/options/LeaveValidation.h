#pragma once
// Checking a text box when the focus leaves it, the way a person moves between controls: Tab,
// Shift+Tab, a click on another control, a label's shortcut, or Enter on the way to the default
// button. A check that cancels keeps the focus in the box with its text selected, and the
// control the person was moving to does not act: a click that took the focus away is swallowed,
// so an OK button under the mouse is not pressed and an option button is not chosen.
// Closing the window, a pop-up menu or another window taking the activation check nothing.

#include <QObject>
#include <functional>
#include <map>

class QLineEdit;

namespace velkor {

class LeaveValidation : public QObject {
    Q_OBJECT
public:
    // Runs the box's check; true means Cancel: the focus stays in the box.
    using Check = std::function<bool()>;

    explicit LeaveValidation(QObject* parent = nullptr);

    void watch(QLineEdit* box, Check check);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool boxEvent(QLineEdit* box, QEvent* event);
    // Runs the check; on Cancel the focus goes back into the box. Returns whether it cancelled.
    bool leave(QLineEdit* box);
    void swallowNextPress(QWidget* window);
    void stopSwallowing();

    std::map<QObject*, std::pair<QLineEdit*, Check>> m_checks;
    bool m_checking = false;
    QWidget* m_swallowIn = nullptr;  // the window whose next mouse press is swallowed
};

}  // namespace velkor
