// The launcher view's behaviour besides the keys: scrolling, the selection strip, panel size,
// notifications from the panel, clicks and hover, the actions menu and what screen readers get.
#include "core/TaskHandle.h"
#include "launcher/ActionsMenu.h"
#include "launcher/LayoutFilter.h"
#include "launcher/LayoutsView.h"
#include "launcher/PanelSizing.h"
#include "launcher/RecentApps.h"
#include "launcher/ResultsView.h"
#include "launcher/SearchBar.h"
#include "launcher/SelectionStrip.h"
#include "launcher/Spinner.h"
#include "launcher/TabBar.h"
#include "tests/launcher/LauncherFixture.h"
#include "workspace/SettingsKeys.h"

#include <QAccessible>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>

namespace tessora {
namespace {

class LauncherView : public LauncherFixture {
protected:
    void SetUp() override {
        model.setApps(numberedApps(200));
        showPanel();
    }

    // Whether the item lies wholly inside the results' viewport once scrolling has stopped.
    static bool shownWhole(ItemScrollView* list, int index) {
        EXPECT_TRUE(waitUntil([&] { return !list->isScrolling(); }));
        const QRectF item = list->itemRectInViewport(index);
        return item.top() >= 0 && item.bottom() <= list->viewport()->height();
    }

    void hoverTo(ItemScrollView* list, QPointF at) {
        QTest::mouseMove(list->viewport(), at.toPoint());
        settle();
    }
};

TEST_F(LauncherView, ScrollingFollowsTheHighlightAndANewLeaderGoesToTheTop) {
    ResultsView* list = view->resultsView();
    ASSERT_EQ(list->itemCount(), 200);
    model.setHighlighted(150);
    EXPECT_TRUE(shownWhole(list, 150));
    const int far = list->verticalScrollBar()->value();
    EXPECT_GT(far, 0);
    model.setHighlighted(151);  // one row down: the least scrolling that shows it
    EXPECT_TRUE(shownWhole(list, 151));
    EXPECT_EQ(list->verticalScrollBar()->value(), far + 58);
    model.setHighlighted(3);
    EXPECT_TRUE(shownWhole(list, 3));

    model.setHighlighted(150);
    ASSERT_TRUE(shownWhole(list, 150));
    type("app 0150");
    ASSERT_EQ(model.results().first().id, "app0150");
    EXPECT_EQ(list->verticalScrollBar()->value(), 0);

    state().setAppViewMode("grid");
    model.setQuery("");
    model.setHighlighted(190);
    EXPECT_TRUE(shownWhole(list, 190));
}

TEST_F(LauncherView, HidingThePanelStartsTheContentOver) {
    press(Qt::Key_2, Qt::ControlModifier);
    type("tri");
    press(Qt::Key_Down);
    state().setHoveredLayoutID("triad");
    model.setHighlighted(120);
    ResultsView* list = view->resultsView();
    ASSERT_TRUE(waitUntil([&] { return !list->isScrolling(); }));

    const int session = state().resultsSession();
    emit notifier.casementPanelHidden();
    EXPECT_EQ(state().tab(), LauncherTab::Applications);
    EXPECT_EQ(state().layoutQuery(), "");
    EXPECT_EQ(state().layoutHighlighted(), -1);
    EXPECT_EQ(state().hoveredLayoutID(), "");
    EXPECT_FALSE(state().searchFocused());
    EXPECT_EQ(state().resultsSession(), session + 1);
    EXPECT_EQ(list->verticalScrollBar()->value(), 0);
}

TEST_F(LauncherView, ShowingTakesTheFocusOneTurnLater) {
    press(Qt::Key_2, Qt::ControlModifier);
    model.setHighlighted(4);
    emit notifier.casementPanelShown();
    EXPECT_EQ(state().tab(), LauncherTab::Applications);
    EXPECT_EQ(model.highlighted(), -1);
    EXPECT_FALSE(state().searchFocused());
    EXPECT_FALSE(field()->hasFocus());
    settle();
    EXPECT_TRUE(state().searchFocused());
    EXPECT_TRUE(field()->hasFocus());

    emit notifier.casementPanelRefocus();
    EXPECT_FALSE(field()->hasFocus());
    settle();
    EXPECT_TRUE(field()->hasFocus());
}

TEST_F(LauncherView, TheKeyMonitorIsThereOnlyWhileTheViewIsShown) {
    EXPECT_TRUE(view->isKeyMonitorInstalled());
    panel.hide();
    EXPECT_FALSE(view->isKeyMonitorInstalled());
    panel.show();
    EXPECT_TRUE(view->isKeyMonitorInstalled());
}

TEST_F(LauncherView, SelectionStripShowsNineChipsThenACounter) {
    SelectionStrip* strip = view->searchBar()->strip();
    ASSERT_NE(strip, nullptr);
    EXPECT_FALSE(strip->isVisible());
    model.setSelected(numberedApps(9));
    EXPECT_TRUE(strip->isVisible());
    EXPECT_EQ(strip->chips().size(), 9);
    EXPECT_EQ(strip->counter(), nullptr);  // no "0 more" for a screen reader to find
    model.setSelected(numberedApps(10));
    EXPECT_EQ(strip->chips().size(), 9);
    EXPECT_TRUE(strip->counter()->isVisible());
    EXPECT_EQ(strip->counter()->text(), "+1");
    EXPECT_EQ(strip->counter()->accessibleName(), "1 more selected app");
    model.setSelected(numberedApps(12));
    EXPECT_EQ(strip->counter()->accessibleName(), "3 more selected apps");
    model.setSelected(numberedApps(10));
    EXPECT_EQ(strip->chips().first()->accessibleName(), "Remove App 0001");

    QTest::mouseClick(strip->chips().at(2), Qt::LeftButton);
    settle();
    EXPECT_EQ(model.selected().size(), 9);
    EXPECT_FALSE(WorkspaceModel::selectionPosition(testApp("app0003"), model.selected()));
    EXPECT_EQ(strip->counter(), nullptr);

    const SelectionStripContent many = selectionStripContent(numberedApps(25));
    EXPECT_EQ(many.chips.size(), 9);
    EXPECT_EQ(many.more, 16);
}

TEST_F(LauncherView, GridFromTheMenuResizesThePanelAndIsRemembered) {
    ActionsMenu* menu = view->actionsMenu();
    EXPECT_TRUE(menu->listAction()->isChecked());
    EXPECT_FALSE(menu->gridAction()->isChecked());
    menu->gridAction()->trigger();
    EXPECT_EQ(defaults->textValue(keys::appViewMode), "grid");
    EXPECT_TRUE(menu->gridAction()->isChecked());
    EXPECT_FALSE(menu->listAction()->isChecked());
    // Top edge (795) and centre (720) kept.
    EXPECT_EQ(panel.frame, (ScreenRect{270, 175, 900, 620}));
    EXPECT_EQ(panel.size(), QSize(900, 620));
    EXPECT_EQ(view->resultsView()->itemGeometry().columns(), 7);
    // The shape a window mask would keep: the centred search capsule and the content area.
    const QRegion shape = view->contentShape();
    EXPECT_TRUE(shape.contains(QPoint(450, 44)));
    EXPECT_FALSE(shape.contains(QPoint(190, 8))) << "beside the capsule's rounded end";
    EXPECT_TRUE(shape.contains(QPoint(450, 400)));
    EXPECT_FALSE(shape.contains(QPoint(3, 97))) << "the content area's rounded corner";

    menu->listAction()->trigger();
    EXPECT_EQ(panel.frame, (ScreenRect{448, 245, 544, 550}));

    // A fresh view reads the stored mode; anything but "grid" is the list, with no check.
    defaults->setText(keys::appViewMode, "tiles");
    FakePanel other;
    auto* second = new ContentView(model, sim, *defaults, other, notifier, {}, &other);
    EXPECT_FALSE(second->state().isGrid());
    EXPECT_FALSE(second->actionsMenu()->listAction()->isChecked());
    EXPECT_FALSE(second->actionsMenu()->gridAction()->isChecked());
}

TEST_F(LauncherView, TheActionsMenuIsStyledWhenItFirstOpensNotBefore) {
    // Styled from the start, every panel would carry the style sheet machinery for a menu
    // most sessions never open.
    QMenu* menu = view->actionsMenu()->actionsMenu();
    auto* viewAs = qobject_cast<QMenu*>(view->actionsMenu()->gridAction()->parent());
    ASSERT_NE(viewAs, nullptr);
    EXPECT_TRUE(menu->styleSheet().isEmpty());
    EXPECT_TRUE(viewAs->styleSheet().isEmpty());
    const QSize plain = menu->sizeHint();
    menu->popup(QPoint(0, 0));
    EXPECT_FALSE(menu->styleSheet().isEmpty());
    EXPECT_NE(menu->sizeHint(), plain) << "sized with its style";
    EXPECT_TRUE(viewAs->styleSheet().isEmpty()) << "the submenu when it opens";
    menu->hide();
}

TEST(PanelSizing, GrowsDownFromItsTopAndStaysInsideTheScreen) {
    const ScreenRect screen{0, 0, 1440, 900};
    const ScreenRect listPanel{448, 270, 544, 550};  // top 80 below the top
    EXPECT_EQ(resizedPanelFrame(listPanel, screen, true), (ScreenRect{270, 200, 900, 620}));
    EXPECT_EQ(resizedPanelFrame({1300, 270, 544, 550}, screen, true),
              (ScreenRect{524, 200, 900, 620}))
        << "moved inward to stay 16 inside";
    EXPECT_EQ(resizedPanelFrame({448, 400, 544, 550}, screen, false),
              (ScreenRect{448, 334, 544, 550}))
        << "a top above the screen comes down to 16 below it";
    EXPECT_EQ(resizedPanelFrame({0, 0, 544, 550}, ScreenRect{0, 0, 700, 500}, true),
              (ScreenRect{16, 16, 668, 468}));
    EXPECT_EQ(gridColumnCount(668), 4);
    EXPECT_EQ(gridColumnCount(760), 7);
    EXPECT_EQ(resizedPanelFrame(listPanel, ScreenRect{0, 0, 32, 900}, false), std::nullopt);
    EXPECT_EQ(resizedPanelFrame(listPanel, std::nullopt, false), std::nullopt);
}

TEST_F(LauncherView, LayoutSearchLeadsTheHighlight) {
    press(Qt::Key_2, Qt::ControlModifier);
    type("2");
    QStringList ids;
    for (const WindowLayout& layout : view->layouts()) {
        ids << layout.id;
    }
    EXPECT_EQ(ids, (QStringList{"mirror", "dominant", "ribbon"}));
    EXPECT_EQ(state().layoutHighlighted(), 0);
    press(Qt::Key_Backspace);
    EXPECT_EQ(view->layouts().size(), 8);
    EXPECT_EQ(state().layoutHighlighted(), -1) << "an empty search highlights nothing";
    EXPECT_EQ(model.query(), "") << "the applications' search is untouched";

    for (const char* text : {" mon ", "mon\n", " MON"}) {
        ASSERT_EQ(filteredLayouts(text).size(), 1) << text;
        EXPECT_EQ(filteredLayouts(text).first().id, "monarch");
    }
    EXPECT_TRUE(filteredLayouts("xyz").isEmpty());
}

TEST_F(LauncherView, ClickingALayoutChoosesItAndLaunchesOnlyWithASelection) {
    QTest::mouseClick(view->tabBar()->pill(LauncherTab::Layouts), Qt::LeftButton);
    EXPECT_EQ(state().tab(), LauncherTab::Layouts);
    EXPECT_TRUE(field()->hasFocus());
    LayoutsView* list = view->layoutsView();
    const QPoint mirror = list->itemRectInViewport(2).center().toPoint();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, mirror);
    EXPECT_EQ(model.layoutID(), "mirror");
    EXPECT_EQ(state().layoutHighlighted(), 2);
    EXPECT_TRUE(panel.isVisible());

    select({"app0001", "app0002"});
    const QPoint chain = list->itemRectInViewport(7).center().toPoint();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, chain);
    EXPECT_EQ(operations.calls, QStringList{"chain app0001,app0002"});
    EXPECT_FALSE(panel.isVisible());
}

TEST_F(LauncherView, HoverLightsALayoutWithoutMovingTheHighlight) {
    press(Qt::Key_2, Qt::ControlModifier);
    LayoutsView* list = view->layoutsView();
    EXPECT_FALSE(list->itemIsActive(1));
    hoverTo(list, list->itemRectInViewport(1).center());
    EXPECT_EQ(state().hoveredLayoutID(), "monarch");
    EXPECT_TRUE(list->itemIsActive(1));
    EXPECT_EQ(state().layoutHighlighted(), -1);
    // Between two rows the pointer is over no item.
    const QRectF second = list->itemRectInViewport(1);
    hoverTo(list, QPointF(second.center().x(), second.bottom() + 1));
    EXPECT_EQ(state().hoveredLayoutID(), "");
    hoverTo(list, list->itemRectInViewport(3).center());
    EXPECT_EQ(state().hoveredLayoutID(), "dominant");
}

TEST_F(LauncherView, ClickingAResultOrARecentAppTogglesIt) {
    state().setSearchFocused(false);
    ResultsView* list = view->resultsView();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->itemRectInViewport(1).center().toPoint());
    EXPECT_EQ(selectedIds(), QStringList{"app0002"});
    EXPECT_TRUE(field()->hasFocus());

    model.setRecentIDs({"app0007", "app0003", "gone"});
    RecentApps* recent = view->recentApps();
    ASSERT_TRUE(recent->isVisible());
    ASSERT_EQ(recent->buttons().size(), 2);
    EXPECT_EQ(recent->buttons().first()->accessibleName(), "Recent: App 0007, not selected");
    QTest::mouseClick(recent->buttons().first(), Qt::LeftButton);
    EXPECT_EQ(selectedIds(), (QStringList{"app0002", "app0007"}));
    EXPECT_EQ(recent->buttons().first()->accessibleName(),
              "Recent: App 0007, selected, position 2");
    type("app");
    EXPECT_FALSE(recent->isVisible()) << "recent applications only show without search text";
}

// The lists never take the keyboard: after any click on them what is typed is searched for.
TEST_F(LauncherView, ClicksOnTheListsLeaveTheKeyboardWithTheSearchField) {
    ResultsView* results = view->resultsView();
    // Pressed on one item and let go on another: no item is activated.
    QTest::mousePress(results->viewport(), Qt::LeftButton, {},
                      results->itemRectInViewport(1).center().toPoint());
    QTest::mouseRelease(results->viewport(), Qt::LeftButton, {},
                        results->itemRectInViewport(3).center().toPoint());
    EXPECT_TRUE(field()->hasFocus());
    ASSERT_TRUE(results->verticalScrollBar()->isVisible());
    QTest::mouseClick(results->verticalScrollBar(), Qt::LeftButton, {},
                      results->verticalScrollBar()->rect().center());
    EXPECT_TRUE(field()->hasFocus());
    type("app1");
    EXPECT_EQ(model.query(), "app1");

    press(Qt::Key_2, Qt::ControlModifier);
    LayoutsView* layouts = view->layoutsView();
    const QRectF second = layouts->itemRectInViewport(1);
    QTest::mouseClick(layouts->viewport(), Qt::LeftButton, {},
                      QPointF(second.center().x(), second.bottom() + 1).toPoint());
    EXPECT_TRUE(field()->hasFocus());
    EXPECT_TRUE(model.layoutID().isEmpty());
    for (QWidget* widget : {static_cast<QWidget*>(results), results->viewport(),
                            static_cast<QWidget*>(results->verticalScrollBar()),
                            static_cast<QWidget*>(layouts), layouts->viewport()}) {
        EXPECT_EQ(widget->focusPolicy(), Qt::NoFocus) << widget->metaObject()->className();
    }
}

TEST_F(LauncherView, ActionsMenuEntries) {
    ActionsMenu* actions = view->actionsMenu();
    EXPECT_EQ(actions->accessibleName(), "Tessora actions");
    QStringList titles;
    for (QAction* action : actions->actionsMenu()->actions()) {
        titles << (action->isSeparator() ? "-" : action->text());
    }
    EXPECT_EQ(titles, (QStringList{"Launch selected apps", "View content as", "Clear selection",
                                   "-", QString::fromUtf8("Settings\u2026")}));
    EXPECT_EQ(actions->clearAction()->shortcut(), QKeySequence("Ctrl+Shift+C"));
    EXPECT_FALSE(actions->launchAction()->isEnabled());
    select({"app0001"});
    EXPECT_TRUE(actions->launchAction()->isEnabled());
    model.setBusy(true);
    EXPECT_FALSE(actions->launchAction()->isEnabled());
    model.setBusy(false);
    actions->settingsAction()->trigger();
    EXPECT_EQ(settingsOpened, 1);
    actions->launchAction()->trigger();
    EXPECT_EQ(operations.calls, QStringList{"open app0001"});
    EXPECT_FALSE(panel.isVisible());
}

TEST_F(LauncherView, TheScanningSpinnerIsThereOnlyWhileAScanRuns) {
    model.setApps({});
    startDetached(model.refreshApps());
    ASSERT_NE(view->searchBar()->spinner(), nullptr);
    EXPECT_EQ(view->searchBar()->spinner()->accessibleName(), "Scanning applications");
    background.runAll();
    EXPECT_FALSE(model.scanning());
    EXPECT_EQ(view->searchBar()->spinner(), nullptr);  // not left in the tree, merely hidden
}

TEST_F(LauncherView, ScreenReadersHearItemsPillsAndStates) {
    select({"app0002"});
    model.setHighlighted(0);
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(view->resultsView());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::List);
    const auto [first, last] = view->resultsView()->visibleItems();
    EXPECT_EQ(list->childCount(), last - first);
    EXPECT_LT(list->childCount(), 20) << "only the items in view";
    QAccessibleInterface* top = list->child(0);
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->text(QAccessible::Name), "App 0001, not selected");
    EXPECT_TRUE(top->state().focused);
    EXPECT_EQ(list->child(1)->text(QAccessible::Name), "App 0002, selected, position 1");
    EXPECT_TRUE(list->child(1)->state().selected);
    EXPECT_EQ(list->indexOfChild(list->child(1)), 1);
    list->child(2)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(selectedIds(), (QStringList{"app0002", "app0003"}));

    QAccessibleInterface* pill =
        QAccessible::queryAccessibleInterface(view->tabBar()->pill(LauncherTab::Applications));
    EXPECT_EQ(pill->role(), QAccessible::PageTab);
    EXPECT_EQ(pill->text(QAccessible::Name), "Applications");
    EXPECT_TRUE(pill->state().selected);
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(view->tabBar()->pill(LauncherTab::Layouts))
                     ->state()
                     .selected);

    model.setLayoutID("mirror");
    QAccessibleInterface* layouts = QAccessible::queryAccessibleInterface(view->layoutsView());
    press(Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(layouts->child(0)->text(QAccessible::Name), "Focus, 1 position");
    EXPECT_EQ(layouts->child(2)->text(QAccessible::Name), "Mirror, 2 positions, selected");
    state().setLayoutHighlighted(7);
    ASSERT_TRUE(shownWhole(view->layoutsView(), 7));
    const int chain = 7 - view->layoutsView()->visibleItems().first;
    ASSERT_LT(chain, layouts->childCount());
    EXPECT_EQ(layouts->child(chain)->text(QAccessible::Name), "Chain, scrolling columns");
    EXPECT_TRUE(layouts->child(chain)->state().focused);
}

}  // namespace
}  // namespace tessora
