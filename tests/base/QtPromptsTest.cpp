// The Qt prompts as a person meets them: titles, icons, buttons, and file dialogs that ask no
// questions of their own.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>

#include "base/QtPrompts.h"
#include "support/QtApp.h"

namespace velkor {
namespace {

const auto* const environment = test::installQtApplication();

// Acts on the modal window that is up once the event loop runs; a second modal window (a question
// the dialog asked by itself) is closed and recorded.
struct ModalHand {
    std::function<void(QWidget*)> act;
    QStringList unexpected;

    void arm() {
        QTimer::singleShot(0, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            ASSERT_NE(modal, nullptr);
            act(modal);
            QTimer::singleShot(50, [this] {
                if (QWidget* other = QApplication::activeModalWidget()) {
                    unexpected << other->windowTitle();
                    other->close();
                }
            });
        });
    }
};

TEST(QtPrompts, MessageBoxesCarryTheExactTitleIconAndButtons) {
    QtPrompts prompts;
    ModalHand hand;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    hand.act = [&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        icon = box->icon();
        for (QAbstractButton* button : box->buttons()) {
            buttons << button->text().remove('&');
        }
        box->button(QMessageBox::Retry)->click();
    };
    hand.arm();
    const Answer answer = prompts.message("RS-232 timeout. Check cable and click Abort.", "Error",
                                          Icon::Critical, Buttons::AbortRetryIgnore);
    EXPECT_EQ(answer, Answer::Retry);
    EXPECT_EQ(title, "Error");
    EXPECT_EQ(icon, QMessageBox::Critical);
    buttons.sort();
    EXPECT_EQ(buttons, (QStringList{"Abort", "Ignore", "Retry"}));
}

TEST(QtPrompts, InputBoxGivesLatin1TextAndNothingOnCancel) {
    QtPrompts prompts;
    ModalHand hand;
    hand.act = [](QWidget* modal) {
        auto* input = qobject_cast<QInputDialog*>(modal);
        ASSERT_NE(input, nullptr);
        EXPECT_EQ(input->textValue(), QString::fromLatin1("caf\xE9"));
        input->setTextValue(QString::fromUtf8("caf\xC3\xA9 \xE2\x82\xAC"));
        input->accept();
    };
    hand.arm();
    EXPECT_EQ(prompts.inputBox("Comment?", "Optional Information Entry", "caf\xE9"),
              std::optional<std::string>("caf\xE9 ?"));

    hand.act = [](QWidget* modal) { qobject_cast<QInputDialog*>(modal)->reject(); };
    hand.arm();
    EXPECT_EQ(prompts.inputBox("Comment?", "Optional Information Entry", ""), std::nullopt);
}

TEST(QtPrompts, FileDialogsLetTheProgramAskAboutExistingAndMissingFiles) {
    QTemporaryDir folder;
    const QString existing = folder.filePath("old.log");
    QFile file(existing);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    QtPrompts prompts;
    ModalHand hand;
    QString title;
    QStringList filters;
    hand.act = [&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        filters = dialog->nameFilters();
        dialog->selectFile(existing);
        static_cast<QDialog*>(dialog)->accept();
    };
    hand.arm();
    const auto saved =
        prompts.saveFileName({"Save File", "Shift Light Controller log files (*.log)|*.log", 1});
    EXPECT_EQ(saved, std::optional<std::string>(existing.toStdString()));
    EXPECT_EQ(title, "Save File");
    EXPECT_EQ(filters, QStringList{"Shift Light Controller log files (*.log)"});

    const QString missing = folder.filePath("typed.log");
    hand.act = [&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        dialog->selectFile(missing);
        static_cast<QDialog*>(dialog)->accept();
    };
    hand.arm();
    EXPECT_EQ(
        prompts.openFileName({"Open File", "Shift Light Controller log files (*.log)|*.log", 1}),
        std::optional<std::string>(missing.toStdString()));

    hand.act = [](QWidget* modal) { qobject_cast<QFileDialog*>(modal)->reject(); };
    hand.arm();
    EXPECT_EQ(prompts.openFileName({"Open File", "", 1}), std::nullopt);
    EXPECT_TRUE(hand.unexpected.isEmpty()) << hand.unexpected.join(", ").toStdString();
}

}  // namespace
}  // namespace velkor
