#include "app/AttentionBadge.h"
#include "app/PreferencesHeader.h"
#include "app/PreferencesSidebar.h"
#include "app/PreferencesView.h"
#include "app/SidebarEntry.h"
#include "app/SidebarToggle.h"
#include "platform/sim/VirtualClock.h"
#include "preferences/Palette.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QLabel>
#include <QTest>

namespace tessora {
namespace {

using Section = PreferencesNavigation::Section;

class PreferencesViewTest : public ::testing::Test {
protected:
    std::unique_ptr<PreferencesView> makeView() {
        WindowControl control{[this](QString*) { return available; }, [] {}};
        auto view = std::make_unique<PreferencesView>(
            navigation, control, clock, [this](Section section, QWidget* parent) {
                ++pagesMade;
                return new QLabel(section == Section::Settings ? "settings page" : "shortcuts page",
                                  parent);
            });
        view->resize(PreferencesView::kWidth, 620);
        return view;
    }

    static QString pageText(const PreferencesView& view) {
        return qobject_cast<QLabel*>(view.page())->text();
    }

    static QAccessible::State accessibleState(QWidget* widget) {
        return QAccessible::queryAccessibleInterface(widget)->state();
    }

    // Runs the sidebar's slide to its end at once.
    static void finishSlide(PreferencesView& view) {
        QPropertyAnimation& slide = view.sidebarAnimation();
        slide.setCurrentTime(slide.totalDuration());
    }

    VirtualClock clock;
    PreferencesNavigation navigation;
    bool available = true;
    int pagesMade = 0;
};

TEST_F(PreferencesViewTest, EntriesChooseThePageAndMarkTheirOwnAsSelected) {
    auto view = makeView();
    view->show();
    EXPECT_EQ(pageText(*view), "settings page");
    EXPECT_EQ(view->header()->title(), "Settings");
    EXPECT_TRUE(accessibleState(view->entry(Section::Settings)).selected);
    EXPECT_FALSE(accessibleState(view->entry(Section::Shortcuts)).selected);

    QTest::mouseClick(view->entry(Section::Shortcuts), Qt::LeftButton);
    EXPECT_EQ(navigation.section(), Section::Shortcuts);
    EXPECT_EQ(pageText(*view), "shortcuts page");
    EXPECT_EQ(view->header()->title(), "Shortcuts");
    EXPECT_TRUE(accessibleState(view->entry(Section::Shortcuts)).selected);
    EXPECT_FALSE(accessibleState(view->entry(Section::Settings)).selected);
    EXPECT_EQ(view->entry(Section::Shortcuts)->inkColour(), palette::windowBackground());
    EXPECT_EQ(view->entry(Section::Settings)->inkColour(), palette::secondaryText());

    // Screen readers press entries as buttons; pages are made once and kept.
    QAccessibleInterface* settings =
        QAccessible::queryAccessibleInterface(view->entry(Section::Settings));
    EXPECT_EQ(settings->role(), QAccessible::Button);
    EXPECT_EQ(settings->text(QAccessible::Name), "Settings");
    settings->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(navigation.section(), Section::Settings);
    EXPECT_EQ(pageText(*view), "settings page");
    QTest::mouseClick(view->entry(Section::Shortcuts), Qt::LeftButton);
    EXPECT_EQ(pagesMade, 2);
}

TEST_F(PreferencesViewTest, AViewOpenedLaterShowsTheNavigationsPageAndSidebar) {
    navigation.setSection(Section::Shortcuts);
    navigation.setSidebarVisible(false);
    auto view = makeView();
    view->show();
    EXPECT_EQ(pageText(*view), "shortcuts page");
    EXPECT_EQ(pagesMade, 1);
    EXPECT_FALSE(view->sidebar()->isVisible());
    EXPECT_TRUE(view->showSidebarControl()->isVisible());
    EXPECT_EQ(view->header()->leadingPadding(), 124);
}

TEST_F(PreferencesViewTest, SidebarControlsSetVisibilityAndTheSlideMovesTheHeader) {
    auto view = makeView();
    view->show();
    EXPECT_EQ(view->header()->leadingPadding(), 28);
    EXPECT_FALSE(view->showSidebarControl()->isVisible());

    QTest::mouseClick(view->hideSidebarControl(), Qt::LeftButton);
    EXPECT_FALSE(navigation.sidebarVisible());
    // Pressed again before the sidebar has gone it still hides: the controls set, never toggle.
    view->hideSidebarControl()->click();
    EXPECT_FALSE(navigation.sidebarVisible());

    view->sidebarAnimation().setCurrentTime(PreferencesView::kSlideMs / 2);
    const int halfway = view->sidebar()->x();
    EXPECT_LT(halfway, 0);
    EXPECT_GT(halfway, -PreferencesSidebar::kWidth);
    EXPECT_GT(view->header()->leadingPadding(), 28);
    EXPECT_LT(view->header()->leadingPadding(), 124);

    finishSlide(*view);
    EXPECT_FALSE(view->sidebar()->isVisible());
    EXPECT_EQ(view->header()->x(), 0);
    EXPECT_EQ(view->header()->width(), 791);
    EXPECT_EQ(view->header()->leadingPadding(), 124);
    EXPECT_EQ(view->showSidebarControl()->x(), 124);
    EXPECT_EQ(view->header()->titleLabel()->x(), 124 + 30 + 12);
    EXPECT_EQ(view->page()->width(), 791);
    EXPECT_EQ(view->width(), 791);

    QTest::mouseClick(view->showSidebarControl(), Qt::LeftButton);
    EXPECT_TRUE(navigation.sidebarVisible());
    view->showSidebarControl()->click();
    EXPECT_TRUE(navigation.sidebarVisible());
    finishSlide(*view);
    EXPECT_TRUE(view->sidebar()->isVisible());
    EXPECT_EQ(view->sidebar()->geometry(), QRect(0, 0, 250, 620));
    EXPECT_EQ(view->header()->x(), 251);
    EXPECT_EQ(view->header()->leadingPadding(), 28);
    EXPECT_EQ(view->header()->titleLabel()->x(), 28);
    EXPECT_FALSE(view->showSidebarControl()->isVisible());
    EXPECT_EQ(view->page()->width(), 540);
    EXPECT_EQ(view->width(), 791);
}

TEST_F(PreferencesViewTest, AReversalPartWayReturnsFromWhereTheSidebarIs) {
    auto view = makeView();
    view->show();
    navigation.setSidebarVisible(false);
    view->sidebarAnimation().setCurrentTime(PreferencesView::kSlideMs / 2);
    const qreal partWay = view->sidebarShown();
    navigation.setSidebarVisible(true);
    EXPECT_EQ(view->sidebarShown(), partWay);  // no jump back to the start
    EXPECT_LT(view->sidebarAnimation().duration(), PreferencesView::kSlideMs);
    finishSlide(*view);
    EXPECT_EQ(view->sidebarShown(), 1.0);
}

TEST_F(PreferencesViewTest, TheBadgeShowsWhileWindowControlIsMissingAndReadsNothingWhileHidden) {
    available = false;
    auto view = makeView();
    EXPECT_EQ(clock.pending(), 0u);
    view->show();
    AttentionBadge* badge = view->attentionBadge();
    EXPECT_TRUE(badge->isVisible());
    EXPECT_EQ(badge->parentWidget(), view->entry(Section::Settings));
    EXPECT_EQ(badge->objectName(), "settingsAttentionBadge");
    EXPECT_EQ(badge->toolTip(), "Window control is not available. Open Settings to resolve.");
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(badge);
    EXPECT_EQ(accessible->text(QAccessible::Name), "Window control is not available.");
    EXPECT_EQ(accessible->role(), QAccessible::Graphic);

    // Whichever page is open.
    navigation.setSection(Section::Shortcuts);
    EXPECT_TRUE(badge->isVisible());

    available = true;
    clock.advance(std::chrono::seconds(1));
    EXPECT_FALSE(badge->isVisible());
    EXPECT_TRUE(view->attentionMessage().isEmpty());

    available = false;
    view->hide();
    EXPECT_EQ(clock.pending(), 0u);  // a closed window never wakes the program
    clock.advance(std::chrono::seconds(5));
    EXPECT_FALSE(badge->isVisible());
    view->show();  // read again as soon as it is shown
    EXPECT_TRUE(badge->isVisible());
}

TEST_F(PreferencesViewTest, ControlsAreNamedForScreenReaders) {
    navigation.setSidebarVisible(false);
    auto view = makeView();
    view->show();
    for (auto [control, name] : {std::pair{view->hideSidebarControl(), "Hide sidebar"},
                                 std::pair{view->showSidebarControl(), "Show sidebar"}}) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        EXPECT_EQ(accessible->role(), QAccessible::Button);
        EXPECT_EQ(accessible->text(QAccessible::Name), name);
        EXPECT_EQ(control->toolTip(), name);
    }
    // The hidden sidebar is out of reach: neither focusable nor seen.
    EXPECT_TRUE(accessibleState(view->hideSidebarControl()).invisible);
    EXPECT_FALSE(accessibleState(view->showSidebarControl()).invisible);
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(view->showSidebarControl())
                    ->actionInterface()
                    ->actionNames()
                    .contains(QAccessibleActionInterface::pressAction()));
}

TEST_F(PreferencesViewTest, TheFocusFollowsTheSidebarButtonThatTakesOver) {
    auto view = makeView();
    view->show();
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    view->hideSidebarControl()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(view->hideSidebarControl(), Qt::Key_Space);
    EXPECT_FALSE(navigation.sidebarVisible());
    EXPECT_TRUE(view->showSidebarControl()->hasFocus());
    QTest::keyClick(view->showSidebarControl(), Qt::Key_Space);
    EXPECT_TRUE(view->hideSidebarControl()->hasFocus());
}

}  // namespace
}  // namespace tessora
