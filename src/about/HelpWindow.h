#pragma once
// The help window: the table of contents and the keyword index of Velkor_Help.chm beside the
// page chosen, with Back, Forward and Home. Pages, pictures and style sheets come straight out
// of the help file.

#include <QTextBrowser>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>

#include "about/HelpFile.h"

class QListWidget;
class QTabWidget;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace velkor {

// A page view that reads every address of the "chm" scheme from a help file.
class HelpBrowser : public QTextBrowser {
    Q_OBJECT
public:
    HelpBrowser(const HelpFile& file, QWidget* parent = nullptr);
    QVariant loadResource(int type, const QUrl& name) override;

private:
    void followLink(const QUrl& link);
    const HelpFile& m_file;
};

// The address of a topic ("chart.html#marker") inside the help file.
QUrl helpUrl(const std::string& local);

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    HelpWindow(std::unique_ptr<HelpFile> file, QWidget* parent = nullptr);
    ~HelpWindow() override;

    // Opens the help file at its table of contents in the run's one help window, which is
    // brought to the front when it is already open. Returns why not when the file cannot be
    // read as a help file or holds no table of contents.
    static std::optional<std::string> showContents(const std::string& path, QWidget* parent);
    // The run's help window, or null while none is open.
    static HelpWindow* current();

    // Shows a topic of the contents or the index.
    void showTopic(const std::string& local);

    QTabWidget* tabNavigation = nullptr;
    QTreeWidget* tvwContents = nullptr;
    QListWidget* lstIndex = nullptr;
    HelpBrowser* browser = nullptr;
    QToolButton* cmdBack = nullptr;
    QToolButton* cmdForward = nullptr;
    QToolButton* cmdHome = nullptr;

private:
    void fillContents(QTreeWidgetItem* parent, const std::vector<HelpTopic>& topics);
    void markContentsEntry(const QUrl& source);

    std::unique_ptr<HelpFile> m_file;
    std::string m_path;
};

}  // namespace velkor
