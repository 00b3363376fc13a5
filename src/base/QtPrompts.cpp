#include "base/QtPrompts.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>
#include <QUrl>

#include "base/QtText.h"
#include "base/ShutdownPrompts.h"

namespace velkor {

namespace {

QMessageBox::Icon qtIcon(Icon icon) {
    switch (icon) {
        case Icon::Critical:
            return QMessageBox::Critical;
        case Icon::Question:
            return QMessageBox::Question;
        case Icon::Exclamation:
            return QMessageBox::Warning;
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons qtButtons(Buttons buttons) {
    switch (buttons) {
        case Buttons::Ok:
            return QMessageBox::Ok;
        case Buttons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case Buttons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case Buttons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case Buttons::RetryCancel:
            return QMessageBox::Retry | QMessageBox::Cancel;
        case Buttons::AbortRetryIgnore:
            return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    }
    return QMessageBox::Ok;
}

Answer answerFor(int button) {
    switch (button) {
        case QMessageBox::Cancel:
            return Answer::Cancel;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Retry:
            return Answer::Retry;
        case QMessageBox::Abort:
            return Answer::Abort;
        case QMessageBox::Ignore:
            return Answer::Ignore;
        default:
            return Answer::Ok;
    }
}

// What closing a box with Esc or its close box means: the button that backs out.
QMessageBox::StandardButton escapeButton(Buttons buttons) {
    switch (buttons) {
        case Buttons::Ok:
            return QMessageBox::Ok;
        case Buttons::YesNo:
            return QMessageBox::No;
        case Buttons::AbortRetryIgnore:
            return QMessageBox::Abort;
        default:
            return QMessageBox::Cancel;
    }
}

// "Description (*.log)|*.log|..." as Qt's filter list: each description names its patterns.
QStringList qtFilters(const std::string& filter) {
    const QStringList parts = fromCore(filter).split('|');
    QStringList filters;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        filters << parts[i];
    }
    return filters;
}

std::optional<std::string> runFileDialog(const FileDialogRequest& request,
                                         QFileDialog::AcceptMode mode) {
    QFileDialog dialog(QApplication::activeWindow(), fromCore(request.title));
    dialog.setAcceptMode(mode);
    // The program asks its own questions about existing and missing files.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList filters = qtFilters(request.filter);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size()) {
        dialog.selectNameFilter(filters[request.filterIndex - 1]);
    }
    if (!request.folder.empty()) {
        dialog.setDirectory(QFile::decodeName(request.folder.c_str()));
    }
    if (!request.fileName.empty()) {
        dialog.selectFile(QFile::decodeName(request.fileName.c_str()));
    }
    if (!request.shortcuts.empty()) {
        QList<QUrl> sidebar = dialog.sidebarUrls();
        for (const std::string& folder : request.shortcuts) {
            const QUrl url = QUrl::fromLocalFile(QFile::decodeName(folder.c_str()));
            if (!sidebar.contains(url)) {
                sidebar << url;
            }
        }
        dialog.setSidebarUrls(sidebar);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
}

}  // namespace

Answer QtPrompts::message(const std::string& text, const std::string& title, Icon icon,
                          Buttons buttons) {
    QMessageBox box(qtIcon(icon), fromCore(title), fromCore(text), qtButtons(buttons),
                    QApplication::activeWindow());
    box.setEscapeButton(escapeButton(buttons));
    const int result = box.exec();
    // A box that ends without a button (its event loop told to quit) counts as backed out of,
    // never as its first button.
    if (box.clickedButton() == nullptr) {
        return backingOut(buttons);
    }
    return answerFor(result);
}

std::optional<std::string> QtPrompts::inputBox(const std::string& prompt, const std::string& title,
                                               const std::string& defaultText) {
    bool accepted = false;
    const QString text =
        QInputDialog::getText(QApplication::activeWindow(), fromCore(title), fromCore(prompt),
                              QLineEdit::Normal, fromCore(defaultText), &accepted);
    if (!accepted) {
        return std::nullopt;
    }
    return toCore(text);
}

std::optional<std::string> QtPrompts::openFileName(const FileDialogRequest& request) {
    return runFileDialog(request, QFileDialog::AcceptOpen);
}

std::optional<std::string> QtPrompts::saveFileName(const FileDialogRequest& request) {
    return runFileDialog(request, QFileDialog::AcceptSave);
}

void QtPrompts::yield() {
    QCoreApplication::processEvents();
}

}  // namespace velkor
