#include "launcher/StackIndicatorPanel.h"

#include "platform/sim/SimWindowSystem.h"
#include "platform/sim/VirtualClock.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPalette>
#include <QPointer>
#include <QScreen>
#include <memory>

namespace tessora {
namespace {

using stackindicator::Orientation;

// The desktop the pills are marked on; it outlives every panel of the tests.
SimWindowSystem& desktop() {
    static VirtualClock clock;
    static SimWindowSystem sim(clock);
    return sim;
}

// Three dots of an upright pill with the last one long, in the pill's coordinates.
const QList<QRectF> uprightDots{QRectF(5, 6, 6, 6), QRectF(5, 15, 6, 6), QRectF(5, 24, 6, 14)};
const WindowRect uprightFrame{592, 378, 16, 44};

void press(QWidget* widget, QPointF at) {
    QMouseEvent event(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

TEST(StackIndicatorPanel, FloatsWithoutTakingFocusInItsRoundedShape) {
    StackIndicatorPanel panel(desktop());
    panel.show(uprightFrame, Orientation::Vertical, uprightDots);
    QWidget* pill = panel.widget();
    ASSERT_TRUE(pill->isVisible());

    const Qt::WindowFlags wanted = Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                                   Qt::WindowDoesNotAcceptFocus;
    EXPECT_EQ(pill->windowFlags() & (wanted | Qt::X11BypassWindowManagerHint), wanted);
    EXPECT_TRUE(pill->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_TRUE(desktop().preparedWindows().contains(pill->winId()));

    // Placed around the frame's centre: window space counts Qt's logical pixels, at every
    // device pixel ratio (this suite also runs with QT_SCALE_FACTOR set).
    const QScreen* primary = QGuiApplication::primaryScreen();
    ASSERT_NE(primary, nullptr);
    EXPECT_EQ(QRectF(pill->geometry()).center(),
              QPointF(primary->geometry().topLeft()) + QPointF(600, 400));
    EXPECT_EQ(pill->size(), QSize(16, 44));
    EXPECT_EQ(StackIndicatorPanel::qtGeometry({276.5, 0, 35, 16}, nullptr), QRect(277, 0, 35, 16));
    const QRegion mask = pill->mask();
    EXPECT_TRUE(mask.contains(QPoint(8, 22)));
    EXPECT_TRUE(mask.contains(QPoint(0, 22)));  // the straight long edge is kept
    EXPECT_FALSE(mask.contains(QPoint(0, 0)));  // the rounded corner is cut off
    EXPECT_FALSE(mask.contains(QPoint(15, 43)));

    // A shorter pill gets a new shape.
    panel.show({592, 382.5, 16, 35}, Orientation::Vertical, uprightDots.first(2));
    EXPECT_EQ(pill->size(), QSize(16, 35));
    EXPECT_FALSE(pill->mask().contains(QPoint(15, 34)));

    panel.hide();
    EXPECT_FALSE(pill->isVisible());
}

TEST(StackIndicatorPanel, ReportsClicksAndMayBeDroppedByOne) {
    auto panel = std::make_unique<StackIndicatorPanel>(desktop());
    QList<QPointF> clicks;
    panel->setClickHandler([&](QPointF at) {
        clicks.append(at);
        panel.reset();
    });
    panel->show(uprightFrame, Orientation::Vertical, uprightDots);
    const QPointer<QWidget> pill = panel->widget();
    press(pill, uprightDots[1].center());
    EXPECT_EQ(clicks, QList<QPointF>{uprightDots[1].center()});
    // The pill outlived its own event handler and goes with the next deferred deletion.
    ASSERT_FALSE(pill.isNull());
    EXPECT_FALSE(pill->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(pill.isNull());
}

TEST(StackIndicatorPanel, FollowsTheDesktopsLightness) {
    StackIndicatorPanel panel(desktop());
    panel.show({0, 0, 35, 16}, Orientation::Horizontal, {QRectF(6, 5, 6, 6), QRectF(15, 5, 14, 6)});
    QWidget* pill = panel.widget();
    const auto colourAt = [&](QPoint at) { return pill->grab().toImage().pixelColor(at); };

    QPalette dark = pill->palette();
    dark.setColor(QPalette::Window, QColor(30, 30, 30));
    pill->setPalette(dark);
    EXPECT_EQ(colourAt({17, 2}), QColor(Qt::black));   // the pill
    EXPECT_EQ(colourAt({20, 8}), QColor(Qt::white));   // inside the long dot
    EXPECT_EQ(colourAt({17, 15}), QColor(Qt::white));  // the border

    QPalette light = pill->palette();
    light.setColor(QPalette::Window, QColor(240, 240, 240));
    pill->setPalette(light);
    EXPECT_EQ(colourAt({17, 2}), QColor(Qt::white));
    EXPECT_EQ(colourAt({20, 8}), QColor(Qt::black));
    // The shadow it casts, painted inside: its lower rim is darker than its upper one.
    EXPECT_LT(colourAt({13, 13}).lightness() + 20, colourAt({13, 2}).lightness());
}

}  // namespace
}  // namespace tessora
