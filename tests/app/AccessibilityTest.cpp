// Every window as a screen reader and a keyboard meet it, offscreen: walked through Qt's
// accessibility interfaces, every control a person can act on (and every gauge and lamp) has a
// name; pressing Tab from the first control comes back to it after reaching every control.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <set>

#include "about/HelpWindow.h"
#include "app/StartUp.h"
#include "app/frmMain.h"
#include "base/QtPrompts.h"
#include "base/WindowFit.h"
#include "chart/Chart2D.h"
#include "chart/RunSummaryWindow.h"
#include "chart/frmChart1.h"
#include "live/CircularGauge.h"
#include "live/LampShape.h"
#include "live/LinearGauge.h"
#include "live/ReplayControls.h"
#include "log/LogFile.h"
#include "logbook/PassComparison.h"
#include "logbookui/LogbookKeeper.h"
#include "logbookui/PassComparisonWindow.h"
#include "logbookui/TrendWindow.h"
#include "options/DialogDriver.h"
#include "options/frmAnalogInScale.h"
#include "options/frmDisplayOptions.h"
#include "sim/DragRun.h"
#include "sim/Simulator.h"
#include "support/AppFixture.h"
#include "support/Drives.h"
#include "support/Files.h"
#include "support/QtApp.h"

namespace velkor::test {
namespace {

const auto* const environment = installQtApplication();

// What a person acts on, and the readings a screen reader must be able to say.
bool mustBeNamed(const QAccessibleInterface& control) {
    static const std::set<QAccessible::Role> roles = {
        QAccessible::PushButton,    QAccessible::CheckBox,    QAccessible::RadioButton,
        QAccessible::ComboBox,      QAccessible::SpinBox,     QAccessible::EditableText,
        QAccessible::Slider,        QAccessible::MenuItem,    QAccessible::Table,
        QAccessible::Tree,          QAccessible::List,        QAccessible::ButtonMenu,
        QAccessible::PageTab,       QAccessible::ProgressBar, QAccessible::ScrollBar,
        QAccessible::ButtonDropDown};
    const QObject* object = control.object();
    // A scroll area's own scroll bars are part of the area, which is named.
    if (control.role() == QAccessible::ScrollBar && object && object->parent() &&
        object->parent()->parent() && object->parent()->parent()->inherits("QAbstractScrollArea")) {
        return false;
    }
    return roles.count(control.role()) != 0 ||
           (object != nullptr &&
            (object->inherits("velkor::GaugeWidget") || object->inherits("velkor::LampShape")));
}

// Walks the tree under `node`, counting what must be named and writing "window | control" for
// each without a name; a table, a tree or a list is checked to give its cells, not walked cell by
// cell. A menu is walked into its closed submenus too.
int walk(QAccessibleInterface* node, const QString& window, std::string& unnamed,
         bool hiddenToo = false) {
    if (node == nullptr || !node->isValid() || (node->state().invisible && !hiddenToo)) {
        return 0;
    }
    const QObject* object = node->object();
    const std::string control =
        (object ? object->metaObject()->className() + (" " + object->objectName()).toStdString()
                : std::string("item")) +
        " (role " + std::to_string(int(node->role())) + ")";
    const bool named = !node->text(QAccessible::Name).trimmed().isEmpty();
    const auto* view = qobject_cast<const QAbstractItemView*>(object);
    const bool cellsShown = node->role() != QAccessible::Table ||
                            node->tableInterface()->rowCount() == view->model()->rowCount();
    if (mustBeNamed(*node) && (!named || !cellsShown)) {
        unnamed += "\n  " + window.toStdString() + " | " + control;
    }
    int count = mustBeNamed(*node) ? 1 : 0;
    if (node->tableInterface() || node->role() == QAccessible::List) {
        return count;
    }
    for (int i = 0; i < node->childCount(); ++i) {
        count += walk(node->child(i), window, unnamed, hiddenToo);
    }
    return count;
}

int walkWindow(QWidget& window, const QString& name, std::string& unnamed, bool hiddenToo = false) {
    return walk(QAccessible::queryAccessibleInterface(&window), name, unnamed, hiddenToo);
}

// The windows, each opened as a person finds it, on a realistic log.
class AccessibilityTest : public ::testing::Test {
protected:
    AccessibilityTest() {
        loadDrive(app.data->log, sim::generateDrive(368 + 12 * 500, 11), 0.1f);
        data->branding.InfoLines = {"Acme"};
    }
    ~AccessibilityTest() override { delete HelpWindow::current(); }

    frmMain& mainWindow() {
        if (!main) {
            main = std::make_unique<frmMain>(*data, prompts, std::vector<std::string>{});
        }
        main->show();
        return *main;
    }
    QWidget& portSetup() {
        frmMain& window = mainWindow();
        window.fraPortSelect->show();
        return window;
    }
    frmChart1& chart() {
        if (!chartWindow) {
            chartWindow = std::make_unique<frmChart1>(app.data->log, app.data->prefs, prompts,
                                                      std::vector<std::string>{VELKOR_DATA_DIR});
            chartWindow->Form_Load();
            chartWindow->show();
        }
        return *chartWindow;
    }
    QWidget& runSummary() {
        chart().show();
        chart().runSummaryButton->click();
        return *chart().runSummary;
    }
    QWidget& logbook() {
        keeper = std::make_unique<LogbookKeeper>(folder.path().toStdString(),
                                                 folder.path().toStdString());
        logbookWindow = std::make_unique<LogbookWindow>(*keeper, prompts, LogbookWindow::Actions{});
        logbookWindow->show();
        return *logbookWindow;
    }
    QWidget& comparison() {
        const auto trace = [](unsigned seed) {
            DataLog log;
            loadDrive(log, sim::generateDragRun(0.048, 368, seed).fram, 0.048f);
            return passTrace(log, 1);
        };
        comparisonWindow = std::make_unique<PassComparisonWindow>();
        comparisonWindow->setComparison(comparePasses(trace(4), trace(1)), "run 1", "run 2");
        comparisonWindow->show();
        return *comparisonWindow;
    }
    QWidget& trends() {
        trendWindow = std::make_unique<TrendWindow>();
        std::vector<Pass> passes(5);
        for (std::size_t i = 0; i < passes.size(); ++i) {
            passes[i].downloadDate = "2026-07-1" + std::to_string(i);
            passes[i].et1320 = 12.5 - 0.01 * double(i);
        }
        trendWindow->setPasses(passes);
        trendWindow->show();
        return *trendWindow;
    }
    template <typename Dialog>
    QWidget& options() {
        auto dialog = std::make_unique<Dialog>(mainWindow().context(), &mainWindow());
        dialog->Form_Load();
        dialog->show();
        optionsDialog = std::move(dialog);
        return *optionsDialog;
    }
    QWidget& help() {
        EXPECT_FALSE(HelpWindow::showContents(VELKOR_HELP_FILE, nullptr));
        return *HelpWindow::current();
    }
    QWidget& replay() {
        frmMain& window = mainWindow();
        window.fraRealTimeData->show();
        window.fraRealTimeData->fraReplay->show();
        return window;
    }

    // The windows both tests go through, by the name the failure tables show; each is hidden
    // after its turn, the modal chart last.
    std::vector<std::pair<QString, std::function<QWidget&()>>> windows() {
        return {
            {"frmMain with Port Setup", [this]() -> QWidget& { return portSetup(); }},
            {"frmMain with the replay", [this]() -> QWidget& { return replay(); }},
            {"Logbook", [this]() -> QWidget& { return logbook(); }},
            {"Compare with Reference", [this]() -> QWidget& { return comparison(); }},
            {"Trends", [this]() -> QWidget& { return trends(); }},
            {"frmDisplayOptions", [this]() -> QWidget& { return options<frmDisplayOptions>(); }},
            {"frmAnalogInScale", [this]() -> QWidget& { return options<frmAnalogInScale>(); }},
            {"Help", [this]() -> QWidget& { return help(); }},
            {"frmChart1", [this]() -> QWidget& { return chart(); }},
            {"Run Summary", [this]() -> QWidget& { return runSummary(); }},
        };
    }

    AppFixture app;
    std::unique_ptr<AppData> data = std::make_unique<AppData>();
    ScriptedPrompts prompts;
    QTemporaryDir folder;
    std::unique_ptr<frmMain> main;
    std::unique_ptr<frmChart1> chartWindow;
    std::unique_ptr<LogbookKeeper> keeper;
    std::unique_ptr<LogbookWindow> logbookWindow;
    std::unique_ptr<PassComparisonWindow> comparisonWindow;
    std::unique_ptr<TrendWindow> trendWindow;
    std::unique_ptr<QWidget> optionsDialog;
};

TEST_F(AccessibilityTest, EveryControlOfEveryWindowHasAName) {
    std::string unnamed;
    for (const auto& [name, open] : windows()) {
        QWidget& window = open();
        EXPECT_GT(walkWindow(window, name, unnamed), 0) << name.toStdString();
        window.hide();
    }
    // The menus of the main window, closed, as their items stand.
    for (QMenu* menu : mainWindow().menuBar()->findChildren<QMenu*>()) {
        walkWindow(*menu, "frmMain " + menu->title(), unnamed, true);
    }
    // The chart's context menu while it is open, with two overlays for both submenus.
    frmChart1& window = chart();
    for (const char* name : {"/first.log", "/second.log"}) {
        DataLog other;
        loadDrive(other, sim::generateDragRun(0.1, 368, 3).fram, 0.1f);
        other.FirmwareID = "Shift Light 2.0";
        spit(folder.path().toStdString() + name, logFileText(other, app.data->prefs, "Maker"));
        window.overlayLogFile(folder.path().toStdString() + name);
    }
    ASSERT_EQ(window.logic().overlays().size(), 2u);
    ASSERT_TRUE(showActive(window));
    QMenu* menu = window.contextMenu(QPointF(100, 100));
    menu->popup(window.mapToGlobal(QPoint(100, 100)));
    QApplication::processEvents();
    ASSERT_TRUE(menu->isVisible());
    // 11 items, 2 in each submenu.
    EXPECT_GE(walkWindow(*menu, "frmChart1 context menu", unnamed, true), 14);
    menu->close();

    // The About box, while it is up.
    BasicAppFixture<QtPrompts> about;
    about.data->branding.InfoLines = {"Acme"};
    whenModal([](QWidget& modal) { return qobject_cast<QMessageBox*>(&modal) != nullptr; },
              [&unnamed](QWidget& box) {
                  EXPECT_GT(walkWindow(box, "About", unnamed), 0);
                  static_cast<QMessageBox&>(box).accept();
              },
              "the About box");
    showAbout(about.ctx);

    EXPECT_EQ(unnamed, "") << "window | control without a name";
}

// The test's screen (800 x 600) is smaller than a laptop's: every window opens within its free
// area, title bar and borders allowed for, unless its layout needs more.
TEST_F(AccessibilityTest, EveryWindowOpensWithinASmallScreen) {
    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    for (const auto& [name, open] : windows()) {
        QWidget& window = open();
        const QSize least = window.minimumSizeHint().expandedTo(window.minimumSize());
        EXPECT_LE(window.width(), std::max(room.width() - FrameAllowance.width, least.width()))
            << name.toStdString();
        EXPECT_LE(window.height(), std::max(room.height() - FrameAllowance.height, least.height()))
            << name.toStdString();
        window.hide();
    }
}

TEST_F(AccessibilityTest, TheReadingsAndTheChartAreSpokenAsTheyChange) {
    frmMain& window = mainWindow();
    RealTimePanel& panel = *window.fraRealTimeData;
    panel.setDialCaption(DialId::gauTach, "6468");
    panel.setLampColour(LampId::shpLED_Shift, LampLit);
    panel.setGaugeMember(GaugeId::gauBatVolts, GaugeMember::Value, 13.8);
    const auto spoken = [](QWidget* widget) {
        return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
    };
    EXPECT_EQ(spoken(panel.gauTach), "Tachometer 6468 RPM");
    EXPECT_EQ(spoken(panel.lamp(LampId::shpLED_Shift)), "Shift light on");
    EXPECT_EQ(spoken(panel.gauge(GaugeId::gauBatVolts)), "BAT V 13.8");

    frmChart1& chartWindow = chart();
    const QString before = chartWindow.Chart2D1->accessibleDescription();
    EXPECT_TRUE(before.startsWith("Trace 1 RPM, trace 2 VSS (MPH). Time window 120.0 to 270.0"))
        << before.toStdString();
    chartWindow.logic().markAt(125);
    chartWindow.logic().setBMarkerAt(120.0);
    const QString after =
        QAccessible::queryAccessibleInterface(chartWindow.Chart2D1)->text(QAccessible::Description);
    EXPECT_TRUE(after.contains("Marker at ") && after.contains("B at ")) << after.toStdString();
}

// The widgets Tab must stop at: enabled, shown, taking focus from Tab; a group of option buttons
// is one stop, as Tab enters a group at its chosen button.
std::set<QWidget*> tabStops(QWidget& window) {
    std::set<QWidget*> stops;
    for (QWidget* child : window.findChildren<QWidget*>()) {
        QWidget* target = child->focusProxy() ? child->focusProxy() : child;
        if ((target->focusPolicy() & Qt::TabFocus) && target->isVisible() && target->isEnabled() &&
            target->window() == &window) {
            stops.insert(target);
        }
    }
    return stops;
}

bool sameGroup(const QWidget* a, const QWidget* b) {
    const auto* one = qobject_cast<const QAbstractButton*>(a);
    const auto* two = qobject_cast<const QAbstractButton*>(b);
    return one && two && one->autoExclusive() && two->autoExclusive() &&
           one->parentWidget() == two->parentWidget();
}

// The access key of a caption ("E&xit": x), or 0 without one.
QChar accessKey(const QString& caption) {
    for (int i = caption.indexOf('&'); i >= 0 && i + 1 < caption.size();
         i = caption.indexOf('&', i + 2)) {
        if (caption[i + 1] != '&') {
            return caption[i + 1].toLower();
        }
    }
    return QChar();
}

// Push buttons without an access key, and keys taken twice among one window's shown buttons,
// labels and menu titles, or among one menu's items.
std::string accessKeyFaults(const QString& name, const QWidget& window) {
    std::string faults;
    std::map<QChar, QStringList> taken;
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisible() || w->window() != &window) {
            continue;
        }
        QString caption;
        if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
            caption = button->text();
            if (qobject_cast<const QPushButton*>(w) && accessKey(caption).isNull()) {
                faults += "\n  " + name.toStdString() + ": no key on " + caption.toStdString();
            }
            // The logbook's buttons say what they do when the pointer rests on them.
            if (name == "Logbook" && button->toolTip().isEmpty()) {
                faults += "\n  " + name.toStdString() + ": no tip on " + caption.toStdString();
            }
        } else if (const auto* label = qobject_cast<const QLabel*>(w); label && label->buddy()) {
            caption = label->text();
        }
        if (!accessKey(caption).isNull()) {
            taken[accessKey(caption)] << caption;
        }
    }
    std::vector<const QMenu*> menus;
    if (const auto* main = qobject_cast<const QMainWindow*>(&window)) {
        for (const QAction* action : main->menuBar()->actions()) {
            taken[accessKey(action->text())] << action->text();
            menus.push_back(action->menu());
        }
    }
    const auto clashes = [&](const std::map<QChar, QStringList>& keys) {
        for (const auto& [key, captions] : keys) {
            const std::string clash = name.toStdString() + ": " + captions.join(", ").toStdString();
            if (captions.size() > 1) {
                faults += "\n  " + clash;
            }
        }
    };
    clashes(taken);
    for (const QMenu* menu : menus) {
        std::map<QChar, QStringList> items;
        for (const QAction* action : menu->actions()) {
            if (!action->isSeparator()) {
                items[accessKey(action->text())] << action->text();
            }
        }
        clashes(items);
    }
    return faults;
}

TEST_F(AccessibilityTest, TabReachesEveryControlAndComesBackAndAccessKeysAreOwn) {
    std::string faults;
    for (const auto& [name, open] : windows()) {
        QWidget& window = open();
        ASSERT_TRUE(showActive(window)) << name.toStdString();
        for (QWidget* next = window.nextInFocusChain();
             QApplication::focusWidget() == nullptr && next != &window;
             next = next->nextInFocusChain()) {
            if ((next->focusPolicy() & Qt::TabFocus) && next->isVisible() && next->isEnabled()) {
                next->setFocus(Qt::TabFocusReason);
            }
        }
        QWidget* const start = QApplication::focusWidget();
        ASSERT_NE(start, nullptr) << name.toStdString();
        std::vector<QWidget*> reached{start};
        for (int press = 0; press < 200; ++press) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            if (QApplication::focusWidget() == start) {
                break;
            }
            reached.push_back(QApplication::focusWidget());
        }
        if (QApplication::focusWidget() != start) {
            faults += "\n  " + name.toStdString() + ": Tab never came back to the start";
        }
        for (QWidget* stop : tabStops(window)) {
            const bool found = std::any_of(reached.begin(), reached.end(), [stop](QWidget* w) {
                return w == stop || sameGroup(w, stop);
            });
            if (!found) {
                faults += "\n  " + name.toStdString() + ": " + stop->metaObject()->className() +
                          " " + stop->objectName().toStdString() + " not reached";
            }
        }
        faults += accessKeyFaults(name, window);
        window.hide();
    }
    EXPECT_EQ(faults, "");
}

}  // namespace
}  // namespace velkor::test
