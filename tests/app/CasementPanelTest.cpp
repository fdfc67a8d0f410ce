// The launcher panel window itself, offscreen: what it asks of the window system, its keys, and
// that each visible period ends in one dismissal whichever way it is hidden.
#include "app/CasementPanel.h"
#include "platform/sim/SimWindowSystem.h"
#include "platform/sim/VirtualClock.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWindow>

namespace tessora {
namespace {

// A key press as the window system delivers it: to the window, before any widget in it.
void press(CasementPanel& panel, Qt::Key key, Qt::KeyboardModifiers held = Qt::NoModifier) {
    QKeyEvent event(QEvent::KeyPress, key, held);
    QCoreApplication::sendEvent(panel.windowHandle(), &event);
}

class CasementPanelTest : public ::testing::Test {
protected:
    CasementPanelTest() {
        sim.setScreens({{1, {0, 0, 1440, 900}, {0, 25, 1440, 875}},
                        {2, {1440, 0, 1920, 1080}, {1440, 0, 1920, 1040}}});
        panel.setDidDismiss([this] { ++dismissals; });
    }

    VirtualClock clock;
    SimWindowSystem sim{clock};
    CasementPanel panel{sim};
    int dismissals = 0;
};

TEST_F(CasementPanelTest, IsAFramelessPanelMarkedBeforeItIsFirstShown) {
    EXPECT_EQ(panel.windowTitle(), "Tessora");
    EXPECT_EQ(panel.size(), QSize(544, 550));
    EXPECT_TRUE(panel.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(panel.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(panel.windowType(), Qt::Tool);
    EXPECT_EQ(sim.preparedWindows(), QList<WindowId>{panel.winId()});
    EXPECT_FALSE(panel.isPanelVisible());

    panel.orderFront();
    EXPECT_TRUE(panel.isPanelVisible());
    EXPECT_EQ(sim.activatedWindows(), QList<WindowId>{panel.winId()});
    EXPECT_EQ(sim.preparedWindows().size(), 1);
}

TEST_F(CasementPanelTest, EscapeWithoutModifiersHidesItWhateverHasTheFocus) {
    panel.orderFront();
    for (const Qt::KeyboardModifiers held :
         {Qt::KeyboardModifiers(Qt::AltModifier), Qt::KeyboardModifiers(Qt::ShiftModifier),
          Qt::KeyboardModifiers(Qt::ControlModifier), Qt::KeyboardModifiers(Qt::MetaModifier)}) {
        press(panel, Qt::Key_Escape, held);
    }
    press(panel, Qt::Key_Period, Qt::ControlModifier);
    EXPECT_TRUE(panel.isPanelVisible());
    EXPECT_EQ(dismissals, 0);

    press(panel, Qt::Key_Escape);
    EXPECT_FALSE(panel.isPanelVisible());
    EXPECT_EQ(dismissals, 1);
}

TEST_F(CasementPanelTest, EveryWayOfHidingEndsInOneDismissal) {
    panel.orderOut();
    EXPECT_EQ(dismissals, 0);  // it was not visible

    panel.orderFront();
    panel.orderFront();
    panel.hide();
    panel.orderOut();
    EXPECT_EQ(dismissals, 1);

    // Closed (as a window manager does) it only hides, and stays usable.
    panel.orderFront();
    panel.close();
    EXPECT_FALSE(panel.isPanelVisible());
    EXPECT_EQ(dismissals, 2);
    panel.dismissPanel();
    EXPECT_EQ(dismissals, 2);
    panel.orderFront();
    EXPECT_TRUE(panel.isPanelVisible());
}

TEST_F(CasementPanelTest, KeysTypedOnTheWayArriveAsIfTypedIntoIt) {
    auto* field = new QLineEdit;
    panel.setContent(field);
    field->setFocus();
    panel.orderFront();
    panel.deliverTypedKeys({{{'f', {}}, "f"},
                            {{'i', KeyModifier::Shift}, "I"},
                            {{'r', {}}, "r"},
                            {{keysym::backSpace, {}}, {}},
                            {{0xe9, {}}, "é"}});
    EXPECT_EQ(field->text(), "fIé");
    // Escape hides the panel, and what followed it was not meant for anything else.
    panel.deliverTypedKeys({{{keysym::escape, {}}, {}}, {{'x', {}}, "x"}});
    EXPECT_FALSE(panel.isPanelVisible());
    EXPECT_EQ(field->text(), "fIé");
    EXPECT_EQ(dismissals, 1);
}

// The content may take the focus a turn after the panel becomes active: keys handed over in
// between wait for it rather than going to the window and being lost; keys handed over after
// go straight in. Either order ends with every key in the field, in order.
TEST_F(CasementPanelTest, KeysHandedOverBeforeTheFocusArrivesWaitForIt) {
    auto* field = new QLineEdit;
    panel.setContent(field);
    panel.orderFront();
    QApplication::setActiveWindow(&panel);  // the keys are handed over once it is active
    field->clearFocus();
    panel.deliverTypedKeys({{{'a', {}}, "a"}, {{'b', {}}, "b"}});
    EXPECT_EQ(field->text(), "");
    field->setFocus();
    EXPECT_EQ(field->text(), "ab");
    panel.deliverTypedKeys({{{'c', {}}, "c"}});
    EXPECT_EQ(field->text(), "abc");

    // Kept for one showing only.
    field->clearFocus();
    panel.deliverTypedKeys({{{'x', {}}, "x"}});
    panel.orderOut();
    panel.orderFront();
    QApplication::setActiveWindow(&panel);
    field->setFocus();
    EXPECT_EQ(field->text(), "abc");
}

// In points, which are Qt's logical pixels at every device pixel ratio (this test also runs
// with QT_SCALE_FACTOR set).
TEST_F(CasementPanelTest, FramesAreInScreenSpaceAndFollowTheMonitorItIsOn) {
    panel.setPanelFrame({448, 245, 544, 550});
    EXPECT_EQ(panel.panelFrame(), (ScreenRect{448, 245, 544, 550}));
    // Window space y = 900 - (245 + 550).
    EXPECT_EQ(panel.geometry(), QRect(448, 105, 544, 550));
    EXPECT_EQ(panel.panelScreenVisibleFrame(), (ScreenRect{0, 0, 1440, 875}));

    panel.setPanelFrame({2000, 100, 900, 620});
    EXPECT_EQ(panel.size(), QSize(900, 620));
    EXPECT_EQ(panel.panelScreenVisibleFrame(), (ScreenRect{1440, -140, 1920, 1040}));
}

}  // namespace
}  // namespace tessora
