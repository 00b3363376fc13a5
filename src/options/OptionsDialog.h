#pragma once
// What the two options dialogs share: boxes checked through their handlers as the focus leaves
// them, and an Esc that leaves the dialog open with every edit in place.

#include <QDialog>
#include <QString>

#include "options/LeaveValidation.h"

class QKeyEvent;
class QLineEdit;

namespace velkor {

struct AppContext;

class OptionsDialog : public QDialog {
public:
    OptionsDialog(AppContext& ctx, const char* name, const QString& title, QWidget* parent);

protected:
    // Runs the handler `validate(bool& Cancel)` as the focus leaves `box`; Cancel keeps it there.
    template <class Dialog>
    void watch(QLineEdit* box, void (Dialog::*validate)(bool&)) {
        m_leave.watch(box, [this, validate] {
            bool Cancel = false;
            (static_cast<Dialog*>(this)->*validate)(Cancel);
            return Cancel;
        });
    }

    // Esc leaves the dialog open with every edit in place; only OK or the close box end it.
    void keyPressEvent(QKeyEvent* event) override;

    AppContext& m_ctx;

private:
    // It stops watching before the dialog's boxes go.
    LeaveValidation m_leave;
};

}  // namespace velkor
