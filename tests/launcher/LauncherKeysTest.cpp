// The launcher's key monitor, key by key, through real key events into the panel's window:
// the applications tab's rules in order, then the layouts tab's arrow table.
#include "launcher/LayoutsView.h"
#include "tests/launcher/LauncherFixture.h"

namespace tessora {
namespace {

class LauncherKeys : public LauncherFixture {
protected:
    LauncherKeys() {
        model.setApps({testApp("calc", "Calculator"), testApp("cal", "Calendar"),
                       testApp("term", "Terminal"), testApp("files", "Files"),
                       testApp("editor", "Text Editor")});
    }
    void SetUp() override { showPanel(); }

    void useGrid(double visibleWidth = 1440) {
        panel.visibleFrame = ScreenRect{0, 0, visibleWidth, 875};
        state().setAppViewMode("grid");
    }
};

TEST_F(LauncherKeys, EscapeDismissesOnlyWithoutModifiers) {
    select({"calc"});
    type("ca");
    press(Qt::Key_Escape, Qt::AltModifier);
    EXPECT_TRUE(panel.isVisible());
    EXPECT_EQ(field()->text(), "ca");

    press(Qt::Key_Escape);
    EXPECT_FALSE(panel.isVisible());
    EXPECT_EQ(panel.dismissals, 1);
    EXPECT_TRUE(model.selected().isEmpty());
    EXPECT_TRUE(model.query().isEmpty());
}

TEST_F(LauncherKeys, CtrlShiftCClearsTheSelectionFocusedOrNot) {
    select({"calc", "term"});
    model.setLayoutID("mirror");
    type("te");
    press(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(model.selected().isEmpty());
    EXPECT_EQ(model.query(), "");
    EXPECT_EQ(model.layoutID(), "");
    EXPECT_EQ(field()->text(), "") << "the key was not typed into the field";

    // Without the field's focus the monitor lets the key through to the menu's shortcut.
    select({"calc"});
    state().setSearchFocused(false);
    ASSERT_FALSE(field()->hasFocus());
    press(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(model.selected().isEmpty());
}

TEST_F(LauncherKeys, CtrlDigitsSwitchTabsAndFocusTheField) {
    state().setSearchFocused(false);
    press(Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(state().tab(), LauncherTab::Layouts);
    EXPECT_TRUE(field()->hasFocus());
    EXPECT_EQ(field()->placeholderText(), "Layouts");
    EXPECT_EQ(field()->accessibleName(), "Search layouts");

    press(Qt::Key_Down);
    press(Qt::Key_Down);
    EXPECT_EQ(state().layoutHighlighted(), 1);
    press(Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(state().layoutHighlighted(), -1) << "Ctrl+2 clears the layout highlight";

    press(Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(state().tab(), LauncherTab::Applications);
    EXPECT_EQ(field()->placeholderText(), "Applications");
    EXPECT_EQ(field()->accessibleName(), "Search installed apps");

    // Other modifier combinations type or pass on.
    press(Qt::Key_2, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(state().tab(), LauncherTab::Applications);
}

TEST_F(LauncherKeys, CtrlReturnLaunchesAndHidesThePanelAsTheRunBegins) {
    press(Qt::Key_Return, Qt::ControlModifier);  // nothing selected: the model does nothing
    EXPECT_TRUE(operations.calls.isEmpty());
    EXPECT_TRUE(panel.isVisible());

    select({"term", "files"});
    press(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(operations.calls, QStringList{"open term,files"});
    EXPECT_FALSE(panel.isVisible());
    EXPECT_EQ(panel.dismissals, 1);
}

TEST_F(LauncherKeys, ReturnSelectsTheHighlightedResultOnlyWithSearchText) {
    press(Qt::Key_Return);
    EXPECT_TRUE(model.selected().isEmpty()) << "Return with an empty search does nothing";

    type("term");
    ASSERT_EQ(model.highlighted(), 0);
    press(Qt::Key_Return);
    EXPECT_EQ(selectedIds(), QStringList{"term"});
    EXPECT_EQ(model.query(), "");
    EXPECT_EQ(field()->text(), "");
    EXPECT_EQ(model.highlighted(), -1);

    // Already selected: only the search text goes, the selection stays.
    type("term");
    press(Qt::Key_Return);
    EXPECT_EQ(selectedIds(), QStringList{"term"});
    EXPECT_EQ(model.query(), "");
}

TEST_F(LauncherKeys, TabSelectsTheHighlightOrTheFirstResultWhateverTheSearch) {
    ASSERT_EQ(model.highlighted(), -1);
    const QString first = model.results().first().id;
    press(Qt::Key_Tab);
    EXPECT_EQ(selectedIds(), QStringList{first});
    EXPECT_TRUE(field()->hasFocus()) << "Tab did not move the focus";

    press(Qt::Key_Down);
    press(Qt::Key_Down);
    const QString second = model.results().at(1).id;
    press(Qt::Key_Tab);
    EXPECT_EQ(selectedIds(), (QStringList{first, second}));

    type("zzz");  // no results
    press(Qt::Key_Tab);
    EXPECT_EQ(model.selected().size(), 2);
}

TEST_F(LauncherKeys, ListArrowsStepAndClampWhileLeftAndRightMoveTheCursor) {
    const int count = static_cast<int>(model.results().size());
    press(Qt::Key_Up);
    EXPECT_EQ(model.highlighted(), 0) << "from no highlight any arrow starts at 0";
    press(Qt::Key_Up);
    EXPECT_EQ(model.highlighted(), 0);
    for (int i = 0; i < count + 2; ++i) {
        press(Qt::Key_Down);
    }
    EXPECT_EQ(model.highlighted(), count - 1);

    type("te");
    ASSERT_EQ(field()->cursorPosition(), 2);
    press(Qt::Key_Left);
    EXPECT_EQ(field()->cursorPosition(), 1);
    press(Qt::Key_Right);
    EXPECT_EQ(field()->cursorPosition(), 2);
    EXPECT_EQ(model.highlighted(), 0);

    type("zzz");
    ASSERT_TRUE(model.results().isEmpty());
    press(Qt::Key_Down);
    EXPECT_EQ(model.highlighted(), 0) << "no results: arrows change nothing";
}

TEST_F(LauncherKeys, GridArrowsMoveByColumnsAndClampAtTheEnds) {
    model.setApps(numberedApps(12));
    useGrid();
    ASSERT_EQ(state().panelWidth(), 900);
    ASSERT_EQ(state().gridColumns(), 7);
    model.setHighlighted(5);
    press(Qt::Key_Down);
    EXPECT_EQ(model.highlighted(), 11);
    press(Qt::Key_Down);
    EXPECT_EQ(model.highlighted(), 11);
    press(Qt::Key_Up);
    EXPECT_EQ(model.highlighted(), 4);
    press(Qt::Key_Up);
    EXPECT_EQ(model.highlighted(), 0);
    press(Qt::Key_Left);
    EXPECT_EQ(model.highlighted(), 0);
    press(Qt::Key_Right);
    EXPECT_EQ(model.highlighted(), 1);

    model.setApps(numberedApps(10));
    model.setHighlighted(5);
    press(Qt::Key_Down);
    EXPECT_EQ(model.highlighted(), 9) << "an incomplete last row clamps to the last result";
}

TEST_F(LauncherKeys, NarrowScreensGiveTheGridFourColumns) {
    model.setApps(numberedApps(12));
    useGrid(700);
    EXPECT_EQ(state().panelWidth(), 668);
    EXPECT_EQ(state().gridColumns(), 4);
    model.setHighlighted(1);
    press(Qt::Key_Down);
    EXPECT_EQ(model.highlighted(), 5);
}

TEST_F(LauncherKeys, CtrlBackspaceRemovesTheLastSelectedElseEditsTheField) {
    select({"calc", "term"});
    type("files");
    press(Qt::Key_Backspace, Qt::ControlModifier);
    EXPECT_EQ(selectedIds(), QStringList{"calc"});
    EXPECT_EQ(field()->text(), "files");
    press(Qt::Key_Backspace, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_TRUE(model.selected().isEmpty()) << "other modifiers do not matter";

    press(Qt::Key_Backspace, Qt::ControlModifier);
    EXPECT_EQ(field()->text(), "") << "with nothing selected the field deletes the word";
    type("ab");
    select({"calc"});
    press(Qt::Key_Backspace);
    EXPECT_EQ(field()->text(), "a");
    EXPECT_EQ(selectedIds(), QStringList{"calc"}) << "Backspace alone is the field's";
}

TEST_F(LauncherKeys, TypingLeadsTheHighlightAndEveryKeyPassesDuringOnboarding) {
    type("t");
    EXPECT_EQ(model.query(), "t");
    EXPECT_EQ(model.highlighted(), 0);
    press(Qt::Key_Backspace);
    EXPECT_EQ(model.highlighted(), -1);

    model.setShowOnboarding(true);
    press(Qt::Key_2, Qt::ControlModifier);
    press(Qt::Key_Down);
    EXPECT_EQ(state().tab(), LauncherTab::Applications);
    EXPECT_EQ(model.highlighted(), -1);
}

TEST_F(LauncherKeys, LayoutsListArrowsStopAtTheEnds) {
    press(Qt::Key_2, Qt::ControlModifier);
    const int count = static_cast<int>(view->layouts().size());
    ASSERT_EQ(count, 8);
    press(Qt::Key_Up);
    EXPECT_EQ(state().layoutHighlighted(), 0) << "Up without a highlight starts at 0";
    press(Qt::Key_Up);
    EXPECT_EQ(state().layoutHighlighted(), 0);
    for (int i = 0; i < count + 1; ++i) {
        press(Qt::Key_Down);
    }
    EXPECT_EQ(state().layoutHighlighted(), count - 1);
    press(Qt::Key_Up);
    EXPECT_EQ(state().layoutHighlighted(), count - 2);

    // A highlight left beyond a shorter list steps back to its last entry.
    type("2");
    ASSERT_EQ(view->layouts().size(), 3);
    state().setLayoutHighlighted(6);
    press(Qt::Key_Up);
    EXPECT_EQ(state().layoutHighlighted(), 2);
    state().setLayoutHighlighted(6);
    press(Qt::Key_Down);
    EXPECT_EQ(state().layoutHighlighted(), 6);

    press(Qt::Key_Left);
    EXPECT_EQ(field()->cursorPosition(), 0) << "Left and Right reach the field";

    type("zz");
    ASSERT_TRUE(view->layouts().isEmpty());
    EXPECT_EQ(state().layoutHighlighted(), -1);
    press(Qt::Key_Down);
    EXPECT_EQ(state().layoutHighlighted(), -1);
    press(Qt::Key_Up);
    EXPECT_EQ(state().layoutHighlighted(), 0) << "Up sets 0 even in an empty list";
}

TEST_F(LauncherKeys, LayoutsGridArrowsIgnoreStepsOffTheList) {
    useGrid(700);  // 4 columns, 8 layouts: two full rows
    press(Qt::Key_2, Qt::ControlModifier);
    press(Qt::Key_Left);
    EXPECT_EQ(state().layoutHighlighted(), 0);
    press(Qt::Key_Left);
    EXPECT_EQ(state().layoutHighlighted(), 0);
    press(Qt::Key_Up);
    EXPECT_EQ(state().layoutHighlighted(), 0);
    press(Qt::Key_Down);
    EXPECT_EQ(state().layoutHighlighted(), 4);
    press(Qt::Key_Right);
    press(Qt::Key_Right);
    press(Qt::Key_Right);
    EXPECT_EQ(state().layoutHighlighted(), 7);
    press(Qt::Key_Right);
    EXPECT_EQ(state().layoutHighlighted(), 7) << "no wrapping";
    press(Qt::Key_Down);
    EXPECT_EQ(state().layoutHighlighted(), 7);
    press(Qt::Key_Up);
    EXPECT_EQ(state().layoutHighlighted(), 3);
}

TEST_F(LauncherKeys, TabInTheLayoutsTabChoosesAndLaunchesWithASelection) {
    press(Qt::Key_2, Qt::ControlModifier);
    press(Qt::Key_Tab);
    EXPECT_EQ(model.layoutID(), "focus") << "no highlight: the first layout";
    EXPECT_TRUE(panel.isVisible()) << "nothing selected: only the choice is kept";

    press(Qt::Key_Down);
    press(Qt::Key_Down);
    press(Qt::Key_Down);
    press(Qt::Key_Backspace, Qt::ControlModifier);  // not handled in this tab
    select({"term", "files"});
    press(Qt::Key_Backspace, Qt::ControlModifier);
    EXPECT_EQ(model.selected().size(), 2);
    press(Qt::Key_Return);
    EXPECT_TRUE(operations.calls.isEmpty()) << "Return alone does nothing here";
    press(Qt::Key_Tab);
    EXPECT_EQ(operations.calls, QStringList{"arrange mirror term,files"});
    EXPECT_FALSE(panel.isVisible());
}

TEST_F(LauncherKeys, TabOnAnEmptyLayoutListDoesNothing) {
    press(Qt::Key_2, Qt::ControlModifier);
    type("nothing");
    press(Qt::Key_Tab);
    EXPECT_EQ(model.layoutID(), "");
    EXPECT_TRUE(field()->hasFocus());
}

}  // namespace
}  // namespace tessora
