#include "app/ShortcutRow.h"
#include "app/ShortcutService.h"
#include "app/ShortcutsView.h"
#include "platform/sim/SimWindowSystem.h"
#include "platform/sim/VirtualClock.h"
#include "preferences/OrreryKeycap.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

namespace tessora {
namespace {

// What a row shows, in order: each cap by the name it shows, a separator as "plain:" and its
// text.
QStringList shown(const ShortcutRow& row) {
    QStringList keys;
    for (QWidget* widget : row.keyWidgets()) {
        if (auto* cap = qobject_cast<OrreryKeycap*>(widget)) {
            keys << cap->displayText();
        } else if (auto* label = qobject_cast<QLabel*>(widget)) {
            keys << "plain:" + label->text();
        }
    }
    return keys;
}

class ShortcutsViewTest : public ::testing::Test {
protected:
    VirtualClock clock;
    SimWindowSystem sim{clock};
    std::unique_ptr<DefaultsStore> defaults = DefaultsStore::inMemory({});
    ShortcutService service{sim, *defaults};
};

TEST_F(ShortcutsViewTest, TheFirstRowShowsTheHotKeyAndFollowsARecording) {
    ShortcutsView view(service);
    ShortcutRow* open = view.rows().front();
    EXPECT_EQ(open->title(), "Open or close Tessora");
    EXPECT_EQ(shown(*open), QStringList({"Ctrl", "esc"}));

    ASSERT_TRUE(
        service.registerCombination({keysym::space, KeyModifier::Super | KeyModifier::Alt}));
    service.setLabel(QStringLiteral("⌃⌥Space"));
    EXPECT_EQ(shown(*open), QStringList({"Super", "Alt", "Space"}));
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(open);
    EXPECT_EQ(accessible->text(QAccessible::Name), "Open or close Tessora, Super, Alt, Space");
}

TEST_F(ShortcutsViewTest, RowsNameThisPlatformsKeysAndTheStackedRowSeparatesItsArrows) {
    ShortcutsView view(service);
    const QList<ShortcutRow*> rows = view.rows();
    ASSERT_EQ(rows.size(), 8);
    // The keys the launcher really takes: Ctrl, and Backspace (not Delete) to remove.
    EXPECT_EQ(shown(*rows[2]), QStringList({"Ctrl", "return"}));
    EXPECT_EQ(shown(*rows[3]), QStringList({"Shift", "Ctrl", "C"}));
    EXPECT_EQ(shown(*rows[4]), QStringList({"Ctrl", "backspace"}));
    // The stack indicator's grab: Super+Alt with either arrow.
    const ShortcutRow& stacked = *rows.back();
    EXPECT_EQ(stacked.title(), "Switch stacked window");
    EXPECT_EQ(shown(stacked), QStringList({"Super", "Alt", "←", "plain:/", "→"}));

    // One element per row for screen readers, the caps inside it not met one by one.
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(rows.back());
    EXPECT_EQ(accessible->childCount(), 0);
    EXPECT_EQ(accessible->role(), QAccessible::StaticText);
    EXPECT_EQ(accessible->text(QAccessible::Name), "Switch stacked window, Super, Alt, ←, /, →");
}

TEST_F(ShortcutsViewTest, AShortWindowScrollsTheCardWithoutAScrollBar) {
    ShortcutsView view(service);
    view.resize(791, 300);
    view.show();
    QScrollArea* area = view.scrollArea();
    EXPECT_EQ(area->width(), ShortcutsView::kWidth);
    EXPECT_NEAR(area->x(), (791 - ShortcutsView::kWidth) / 2, 1);  // centred
    QScrollBar* bar = area->verticalScrollBar();
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_FALSE(bar->isVisible());

    const QPointF inside(100, 100);
    QWheelEvent wheel(inside, area->viewport()->mapToGlobal(inside), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(area->viewport(), &wheel);
    EXPECT_GT(bar->value(), 0);
}

}  // namespace
}  // namespace tessora
