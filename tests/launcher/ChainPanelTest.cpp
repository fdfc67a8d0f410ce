#include "launcher/ChainPanel.h"

#include "platform/sim/SimWindowSystem.h"
#include "platform/sim/VirtualClock.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPalette>
#include <QScreen>
#include <QSignalSpy>
#include <QWheelEvent>

namespace tessora {
namespace {

// The desktop the pills are marked on; it outlives every panel of the tests.
SimWindowSystem& desktop() {
    static VirtualClock clock;
    static SimWindowSystem sim(clock);
    return sim;
}

const ribbondots::Dots threeDots{{"Editor", "Terminal", "Browser"}, 1};

void press(QWidget* widget, QPointF at) {
    QMouseEvent event(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

TEST(ChainPanel, FloatsWithoutFocusInItsCapsuleAndExplainsItself) {
    ChainPanel panel(desktop());
    panel.show({698, 0, 44, 16}, threeDots);
    QWidget* pill = panel.widget();
    ASSERT_TRUE(pill->isVisible());
    const Qt::WindowFlags wanted = Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                                   Qt::WindowDoesNotAcceptFocus;
    EXPECT_EQ(pill->windowFlags() & wanted, wanted);
    EXPECT_TRUE(pill->testAttribute(Qt::WA_ShowWithoutActivating));
    // Kept out of the taskbar and the pager like every floating panel.
    EXPECT_TRUE(desktop().preparedWindows().contains(pill->winId()));
    EXPECT_EQ(pill->size(), QSize(44, 16));
    // Where window space puts it, in Qt's logical pixels at any ratio (the suite also runs with
    // QT_SCALE_FACTOR set).
    const QScreen* primary = QGuiApplication::primaryScreen();
    ASSERT_NE(primary, nullptr);
    EXPECT_EQ(pill->pos(), primary->geometry().topLeft() + QPoint(698, 0));
    EXPECT_EQ(pill->toolTip(), "Hold Alt and scroll to move Chain, or click a dot");
    EXPECT_TRUE(pill->mask().contains(QPoint(22, 8)));
    EXPECT_FALSE(pill->mask().contains(QPoint(0, 0)));  // rounded end cut off
}

TEST(ChainPanel, ClicksAndScrollsReachTheSession) {
    ChainPanel panel(desktop());
    int selected = -1;
    QList<ScrollInput> scrolls;
    panel.setHandlers({[&](int index) { selected = index; },
                       [&](const ScrollInput& input) { scrolls.append(input); }, [] {}});
    panel.show({698, 0, 44, 16}, threeDots);
    QWidget* pill = panel.widget();

    press(pill, {34, 8});
    EXPECT_EQ(selected, 2);
    selected = -1;
    press(pill, {13, 8});  // between two dots
    EXPECT_EQ(selected, -1);

    QWheelEvent notch({10, 8}, pill->mapToGlobal(QPointF(10, 8)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(pill, &notch);
    QWheelEvent swipe({10, 8}, pill->mapToGlobal(QPointF(10, 8)), QPoint(-7, 0), QPoint(-60, 0),
                      Qt::NoButton, Qt::NoModifier, Qt::ScrollUpdate, false);
    QApplication::sendEvent(pill, &swipe);
    ASSERT_EQ(scrolls.size(), 2);
    EXPECT_EQ(scrolls[0].deltaY, 1);
    EXPECT_FALSE(scrolls[0].precise);
    EXPECT_EQ(scrolls[1].deltaX, -7);
    EXPECT_TRUE(scrolls[1].precise);
}

TEST(ChainPanel, EachDotIsAButtonAScreenReaderCanPress) {
    ChainPanel panel(desktop());
    int selected = -1;
    panel.setHandlers({[&](int index) { selected = index; }, [](const ScrollInput&) {}, [] {}});
    panel.show({698, 0, 44, 16}, threeDots);
    ASSERT_EQ(panel.dotButtons().size(), 3);
    QAccessibleInterface* dot = QAccessible::queryAccessibleInterface(panel.dotButtons().at(2));
    ASSERT_NE(dot, nullptr);
    EXPECT_EQ(dot->role(), QAccessible::Button);
    EXPECT_EQ(dot->text(QAccessible::Name), "Browser");
    EXPECT_EQ(dot->text(QAccessible::Description), panel.widget()->toolTip());
    // Qt presses a button as a click shown for a moment: the click comes a little later.
    QSignalSpy clicked(panel.dotButtons().at(2), &QAbstractButton::clicked);
    dot->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(clicked.wait(5000));
    EXPECT_EQ(selected, 2);

    // A column closed: its dot goes with it; the others keep their names.
    panel.setDots({{"Editor", "Browser"}, 0});
    ASSERT_EQ(panel.dotButtons().size(), 2);
    EXPECT_EQ(panel.dotButtons().at(1)->accessibleName(), "Browser");
    // Clicks still reach the pill, which tells a dot from the space between two.
    EXPECT_TRUE(panel.dotButtons().at(0)->testAttribute(Qt::WA_TransparentForMouseEvents));
}

TEST(ChainPanel, DrawsTheActiveDotOpaqueInTheDesktopsInk) {
    ChainPanel panel(desktop());
    panel.show({698, 0, 44, 16}, threeDots);
    QWidget* pill = panel.widget();
    QPalette light = pill->palette();
    light.setColor(QPalette::Window, Qt::white);
    pill->setPalette(light);
    QImage image = pill->grab().toImage();
    EXPECT_EQ(image.pixelColor(22, 8), QColor(Qt::black));  // inside the long dot
    EXPECT_GT(image.pixelColor(22, 2).lightness(), 200);    // the white pill
    // The shadow it casts, painted inside: between the dots its lower rim is darker than its
    // upper one, and the middle stays white.
    EXPECT_LT(image.pixelColor(13, 13).lightness() + 20, image.pixelColor(13, 2).lightness());
    EXPECT_GT(image.pixelColor(13, 8).lightness(), 230);

    QPalette dark = light;
    dark.setColor(QPalette::Window, Qt::black);
    pill->setPalette(dark);
    image = pill->grab().toImage();
    EXPECT_EQ(image.pixelColor(22, 8), QColor(Qt::white));
    EXPECT_LT(image.pixelColor(22, 2).lightness(), 60);

    panel.setDots({threeDots.names, 0});
    image = pill->grab().toImage();
    EXPECT_EQ(image.pixelColor(10, 8), QColor(Qt::white));  // the first dot is long now
}

}  // namespace
}  // namespace tessora
