// The Qt prompts: titles, icons, buttons, and file dialogs that ask no questions of their own.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <functional>

#include "base/QtPrompts.h"
#include "support/QtApp.h"

namespace velkor {
namespace {

const auto* const environment = test::installQtApplication();

// Acts on the modal window of type T once the event loop runs; a second modal window (a question
// the dialog asked by itself) is closed and its title recorded in `unexpected`.
QStringList unexpected;
template <typename T>
void whenUp(std::function<void(T&)> act) {
    QTimer::singleShot(0, [act] {
        auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
        ASSERT_NE(modal, nullptr);
        act(*modal);
        QTimer::singleShot(50, [] {
            if (QWidget* other = QApplication::activeModalWidget()) {
                unexpected << other->windowTitle();
                other->close();
            }
        });
    });
}

TEST(QtPrompts, MessageBoxesCarryTheExactTitleIconAndButtons) {
    QStringList seen;  // title, icon, then the buttons
    whenUp<QMessageBox>([&](QMessageBox& box) {
        seen << box.windowTitle() << QString::number(box.icon());
        for (QAbstractButton* button : box.buttons()) {
            seen << button->text().remove('&');
        }
        box.button(QMessageBox::Retry)->click();
    });
    EXPECT_EQ(QtPrompts().message("RS-232 timeout. Check cable and click Abort.", "Error",
                                  Icon::Critical, Buttons::AbortRetryIgnore),
              Answer::Retry);
    std::sort(seen.begin() + 2, seen.end());
    EXPECT_EQ(seen, (QStringList{"Error", QString::number(QMessageBox::Critical), "Abort", "Ignore",
                                 "Retry"}));
}

TEST(QtPrompts, InputBoxGivesLatin1TextAndNothingOnCancel) {
    QtPrompts prompts;
    whenUp<QInputDialog>([](QInputDialog& input) {
        EXPECT_EQ(input.textValue(), QString::fromLatin1("caf\xE9"));
        input.setTextValue(QString::fromUtf8("caf\xC3\xA9 \xE2\x82\xAC"));
        input.accept();
    });
    EXPECT_EQ(prompts.inputBox("Comment?", "Optional Information Entry", "caf\xE9"),
              std::optional<std::string>("caf\xE9 ?"));
    whenUp<QInputDialog>([](QInputDialog& input) { input.reject(); });
    EXPECT_EQ(prompts.inputBox("Comment?", "Optional Information Entry", ""), std::nullopt);
}

TEST(QtPrompts, FileDialogsLetTheProgramAskAboutExistingAndMissingFiles) {
    QTemporaryDir folder;
    const QString existing = folder.filePath("old.log"), missing = folder.filePath("typed.log");
    ASSERT_TRUE(QFile(existing).open(QIODevice::WriteOnly));
    const auto choose = [](const QString& path, QString* title, QStringList* filters) {
        whenUp<QFileDialog>([=](QFileDialog& dialog) {
            *title = dialog.windowTitle();
            *filters = dialog.nameFilters();
            dialog.selectFile(path);
            static_cast<QDialog&>(dialog).accept();
        });
    };

    QtPrompts prompts;
    QString title;
    QStringList filters;
    const FileDialogRequest log{"Save File", "Shift Light Controller log files (*.log)|*.log", 1};
    choose(existing, &title, &filters);
    EXPECT_EQ(prompts.saveFileName(log), std::optional<std::string>(existing.toStdString()));
    EXPECT_EQ(title, "Save File");
    EXPECT_EQ(filters, QStringList{"Shift Light Controller log files (*.log)"});
    choose(missing, &title, &filters);
    EXPECT_EQ(prompts.openFileName(log), std::optional<std::string>(missing.toStdString()));
    whenUp<QFileDialog>([](QFileDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(prompts.openFileName({"Open File", "", 1}), std::nullopt);
    EXPECT_TRUE(unexpected.isEmpty()) << unexpected.join(", ").toStdString();
}

TEST(QtPrompts, AFileDialogOpensInItsFolderWithTheSuggestedNameAndTheShortcuts) {
    QTemporaryDir folder, archive;
    FileDialogRequest request{"Save File", "Shift Light Controller log files (*.log)|*.log", 1};
    request.folder = folder.path().toStdString();
    request.fileName = "2026-12-07_14-03-22.log";
    request.shortcuts = {archive.path().toStdString()};
    QString directory;
    QStringList chosen;
    QList<QUrl> sidebar;
    whenUp<QFileDialog>([&](QFileDialog& dialog) {
        directory = dialog.directory().absolutePath();
        chosen = dialog.selectedFiles();
        sidebar = dialog.sidebarUrls();
        static_cast<QDialog&>(dialog).accept();
    });
    QtPrompts prompts;
    EXPECT_EQ(prompts.saveFileName(request),
              std::optional<std::string>(folder.filePath("2026-12-07_14-03-22.log").toStdString()));
    EXPECT_EQ(directory, folder.path());
    EXPECT_EQ(chosen, QStringList{folder.filePath("2026-12-07_14-03-22.log")});
    EXPECT_TRUE(sidebar.contains(QUrl::fromLocalFile(archive.path())));
    EXPECT_TRUE(unexpected.isEmpty()) << unexpected.join(", ").toStdString();
}

}  // namespace
}  // namespace velkor
