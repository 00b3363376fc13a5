#include "options/OptionsDialog.h"

#include <QKeyEvent>

namespace velkor {

OptionsDialog::OptionsDialog(AppContext& ctx, const char* name, const QString& title,
                             QWidget* parent)
    : QDialog(parent), m_ctx(ctx) {
    setObjectName(name);
    setWindowTitle(title);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

void OptionsDialog::keyPressEvent(QKeyEvent* event) {
    // Esc stops long operations elsewhere; a stray press here must not drop what was typed.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace velkor
