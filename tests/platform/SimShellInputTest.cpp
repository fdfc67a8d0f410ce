#include "platform/sim/SimWindowSystem.h"
#include "platform/sim/VirtualClock.h"

#include <gtest/gtest.h>

namespace tessora {
namespace {

TEST(SimShellInput, ClicksReachEveryLiveWatcherEvenWhenOneEndsItselfOnTheWay) {
    VirtualClock clock;
    auto sim = std::make_unique<SimWindowSystem>(clock);
    QList<QPointF> first, second;
    std::unique_ptr<InputGrab> firstWatch;
    firstWatch = sim->watchButtonPresses([&](QPointF at) {
        first << at;
        firstWatch.reset();  // like a panel that hides on the first outside click
    });
    auto secondWatch = sim->watchButtonPresses([&](QPointF at) { second << at; });

    EXPECT_EQ(sim->clickAt({10, 20}), 2);
    EXPECT_EQ(sim->clickAt({30, 40}), 1);
    EXPECT_EQ(first, QList<QPointF>{QPointF(10, 20)});
    EXPECT_EQ(second, (QList<QPointF>{QPointF(10, 20), QPointF(30, 40)}));
    EXPECT_EQ(sim->pointerLocation(), QPointF(30, 40));

    sim->setRefuseButtonWatch(true);
    EXPECT_FALSE(sim->watchButtonPresses([](QPointF) {}));
    sim.reset();
    secondWatch.reset();  // outlives the sim harmlessly
}

TEST(SimShellInput, OneKeyboardHoldAtATimeAndNoneWhileRefused) {
    VirtualClock clock;
    SimWindowSystem sim(clock);
    QStringList typed;
    auto hold = sim.holdKeyboard([&](const TypedKey& key) { typed << key.text; });
    ASSERT_TRUE(hold);
    EXPECT_FALSE(sim.holdKeyboard([](const TypedKey&) {}));
    EXPECT_TRUE(sim.typeWhileHeld({{'a', {}}, QStringLiteral("a")}));
    hold.reset();
    EXPECT_FALSE(sim.keyboardHeld());
    EXPECT_FALSE(sim.typeWhileHeld({{'b', {}}, QStringLiteral("b")}));
    EXPECT_EQ(typed, QStringList{QStringLiteral("a")});

    sim.setRefuseKeyboardHold(true);
    EXPECT_FALSE(sim.holdKeyboard([](const TypedKey&) {}));

    sim.preparePanelWindow(7);
    sim.activateOwnWindow(7);
    sim.activateOwnWindow(7);
    EXPECT_EQ(sim.preparedWindows(), QList<WindowId>{7});
    EXPECT_EQ(sim.activatedWindows(), (QList<WindowId>{7, 7}));
}

}  // namespace
}  // namespace tessora
