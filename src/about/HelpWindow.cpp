#include "about/HelpWindow.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPointer>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTabWidget>
#include <QTextDocument>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "base/Latin1.h"
#include "base/QtWindowFit.h"

namespace velkor {

namespace {

constexpr int TopicRole = Qt::UserRole;
constexpr const char* HelpScheme = "chm";

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QPointer<HelpWindow>& helpWindowInstance() {
    static QPointer<HelpWindow> instance;
    return instance;
}

QUrl withoutFragment(const QUrl& url) {
    return url.adjusted(QUrl::RemoveFragment | QUrl::RemoveQuery);
}

}  // namespace

QUrl helpUrl(const std::string& local) {
    QUrl url;
    url.setScheme(HelpScheme);
    const std::string path = helpPagePath(local);
    url.setPath(fromUtf8(path));
    if (const std::size_t hash = local.find('#'); hash != std::string::npos) {
        url.setFragment(fromUtf8(local.substr(hash + 1)));
    }
    return url;
}

HelpBrowser::HelpBrowser(const HelpFile& file, QWidget* parent)
    : QTextBrowser(parent), m_file(file) {
    setObjectName("browser");
    // Links are followed here: pages of the help file in this view, web addresses outside.
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &HelpBrowser::followLink);
}

void HelpBrowser::followLink(const QUrl& link) {
    const QUrl target = source().resolved(link);
    if (target.scheme() == HelpScheme) {
        setSource(target);
    } else {
        QDesktopServices::openUrl(target);
    }
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
    const QUrl url = name.isRelative() ? source().resolved(name) : name;
    if (url.scheme() != HelpScheme) {
        return QTextBrowser::loadResource(type, url);
    }
    const auto bytes = m_file.read(url.path().toStdString());
    if (!bytes) {
        if (type == QTextDocument::HtmlResource) {
            return QString("<h2>Page not found</h2><p>The help file holds no page %1.</p>")
                .arg(url.path().toHtmlEscaped());
        }
        return {};
    }
    const QByteArray data(bytes->data(), qsizetype(bytes->size()));
    if (type == QTextDocument::HtmlResource || type == QTextDocument::StyleSheetResource) {
        return QString::fromUtf8(data);
    }
    return data;
}

HelpWindow::HelpWindow(std::unique_ptr<HelpFile> file, QWidget* parent)
    : QWidget(parent, Qt::Window), m_file(std::move(file)) {
    setObjectName("frmHelp");
    setAttribute(Qt::WA_DeleteOnClose);
    const std::string title = m_file->system().title;
    setWindowTitle(title.empty() ? QString("Velkor Help") : fromUtf8(title));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    auto* tools = new QHBoxLayout;
    auto tool = [this, tools](QToolButton*& button, const char* name, const QString& text,
                              QStyle::StandardPixmap icon) {
        button = new QToolButton(this);
        button->setObjectName(name);
        button->setText(text);
        button->setIcon(style()->standardIcon(icon));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        tools->addWidget(button);
    };
    tool(cmdBack, "cmdBack", "&Back", QStyle::SP_ArrowBack);
    tool(cmdForward, "cmdForward", "&Forward", QStyle::SP_ArrowForward);
    tool(cmdHome, "cmdHome", "&Home", QStyle::SP_DirHomeIcon);
    tools->addStretch();
    layout->addLayout(tools);

    auto* splitter = new QSplitter(this);
    tabNavigation = new QTabWidget(splitter);
    tabNavigation->setObjectName("tabNavigation");
    tvwContents = new QTreeWidget(tabNavigation);
    tvwContents->setObjectName("tvwContents");
    tvwContents->setHeaderHidden(true);
    lstIndex = new QListWidget(tabNavigation);
    lstIndex->setObjectName("lstIndex");
    tabNavigation->addTab(tvwContents, "&Contents");
    tabNavigation->addTab(lstIndex, "&Index");
    browser = new HelpBrowser(*m_file, splitter);
    tvwContents->setAccessibleName("Contents");
    lstIndex->setAccessibleName("Index");
    browser->setAccessibleName("Help page");
    splitter->addWidget(tabNavigation);
    splitter->addWidget(browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({260, 640});
    layout->addWidget(splitter, 1);

    fillContents(nullptr, m_file->contents());
    tvwContents->expandAll();
    for (const HelpTopic& keyword : m_file->index()) {
        auto* item = new QListWidgetItem(fromUtf8(keyword.name), lstIndex);
        item->setData(TopicRole, fromUtf8(keyword.local));
    }

    connect(tvwContents, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        const QString local = item->data(0, TopicRole).toString();
        if (!local.isEmpty()) {
            showTopic(local.toStdString());
        }
    });
    connect(lstIndex, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        showTopic(item->data(TopicRole).toString().toStdString());
    });
    connect(lstIndex, &QListWidget::itemClicked, lstIndex, &QListWidget::itemActivated);
    connect(cmdBack, &QToolButton::clicked, browser, &QTextBrowser::backward);
    connect(cmdForward, &QToolButton::clicked, browser, &QTextBrowser::forward);
    connect(cmdHome, &QToolButton::clicked, browser, &QTextBrowser::home);
    connect(browser, &QTextBrowser::backwardAvailable, cmdBack, &QToolButton::setEnabled);
    connect(browser, &QTextBrowser::forwardAvailable, cmdForward, &QToolButton::setEnabled);
    connect(browser, &QTextBrowser::sourceChanged, this, &HelpWindow::markContentsEntry);
    cmdBack->setEnabled(false);
    cmdForward->setEnabled(false);

    const std::string first = m_file->firstPage();
    if (!first.empty()) {
        showTopic(first);
    }
    resizeWithinScreen(*this, 940, 640);
}

HelpWindow::~HelpWindow() {
    // The page view reads from the help file to its end, so it goes before the file does.
    delete browser;
}

void HelpWindow::fillContents(QTreeWidgetItem* parent, const std::vector<HelpTopic>& topics) {
    for (const HelpTopic& topic : topics) {
        auto* item =
            parent != nullptr ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tvwContents);
        item->setText(0, fromUtf8(topic.name));
        item->setData(0, TopicRole, fromUtf8(topic.local));
        fillContents(item, topic.children);
    }
}

void HelpWindow::showTopic(const std::string& local) {
    browser->setSource(helpUrl(local));
}

void HelpWindow::markContentsEntry(const QUrl& source) {
    // The contents follow the page shown, however it was reached (a link, Back, the index).
    const QUrl page = withoutFragment(source);
    QTreeWidgetItemIterator it(tvwContents);
    for (; *it != nullptr; ++it) {
        const QString local = (*it)->data(0, TopicRole).toString();
        if (!local.isEmpty() && withoutFragment(helpUrl(local.toStdString())) == page) {
            const QSignalBlocker blocker(tvwContents);
            tvwContents->setCurrentItem(*it);
            return;
        }
    }
}

std::optional<std::string> HelpWindow::showContents(const std::string& path, QWidget* parent) {
    QPointer<HelpWindow>& instance = helpWindowInstance();
    if (instance && instance->m_path == path) {
        instance->tabNavigation->setCurrentWidget(instance->tvwContents);
        instance->showNormal();
        instance->raise();
        instance->activateWindow();
        return std::nullopt;
    }
    auto file = HelpFile::open(path);
    if (!file) {
        return "The help file " + latin1FromUtf8(path) +
               " cannot be read: it is damaged or not a help file.";
    }
    if (file->contents().empty()) {
        return "The help file " + latin1FromUtf8(path) + " holds no table of contents.";
    }
    delete instance.data();
    instance = new HelpWindow(std::move(file), parent);
    instance->m_path = path;
    instance->show();
    instance->raise();
    instance->activateWindow();
    return std::nullopt;
}

HelpWindow* HelpWindow::current() {
    return helpWindowInstance().data();
}

}  // namespace velkor
