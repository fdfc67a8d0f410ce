// The first run's rules without a window: when a step may be left, what "Continue" does on each
// step, which key presses count as practice, and the login item's failures.
#include "app/OnboardingFlow.h"

#include "app/LaunchAtLogin.h"

#include "tests/app/FirstRunWorkspace.h"
#include "workspace/SettingsKeys.h"

#include <gtest/gtest.h>
#include <QJsonObject>

namespace tessora {
namespace {

using onboarding::Gesture;

class OnboardingFlowTest : public ::testing::Test, public FirstRunWorkspace {
protected:
    OnboardingFlow& flowAt(int step, QSet<int> verified = {}) {
        model.setOnboardingStep(step);
        model.setVerifiedKeys(verified);
        flow = std::make_unique<OnboardingFlow>(model, *defaults, login, windowControlSwitch());
        return *flow;
    }

    std::unique_ptr<OnboardingFlow> flow;
};

TEST(OnboardingRules, WhenAStepMayBeLeft) {
    struct Row {
        int step;
        QSet<int> verified;
        bool windowControl;
        bool may;
    };
    const Row rows[] = {
        {0, {}, false, true},
        {1, {}, true, false},
        {1, {Gesture::Select, Gesture::Clear}, true, false},  // the shortcut not yet
        {1, {Gesture::Open, Gesture::Select, Gesture::Clear}, false, true},
        {2, {Gesture::Open, Gesture::Select, Gesture::Clear}, false, false},
        {2, {}, true, true},
        {3, {}, true, false},
        {-1, {}, true, false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(onboarding::canContinue(row.step, row.verified, row.windowControl), row.may)
            << "step " << row.step << ", " << row.verified.size() << " verified, window control "
            << row.windowControl;
    }
}

TEST(OnboardingRules, OnlyTabAndCtrlShiftCArePractice) {
    using M = KeyModifier;
    struct Row {
        KeyStroke key;
        std::optional<Gesture> gesture;
        const char* what;
    };
    const Row rows[] = {
        {{keysym::tab, {}}, Gesture::Select, "Tab"},
        {{keysym::tab, M::Shift}, std::nullopt, "Shift+Tab"},
        {{keysym::tab, M::Ctrl}, std::nullopt, "Ctrl+Tab"},
        {{keysym::isoLeftTab, {}}, std::nullopt, "ISO_Left_Tab"},
        {{'c', M::Ctrl | M::Shift}, Gesture::Clear, "Ctrl+Shift+C"},
        {{'c', M::Ctrl}, std::nullopt, "Ctrl+C"},
        {{'c', M::Shift}, std::nullopt, "Shift+C"},
        {{'c', M::Ctrl | M::Shift | M::Alt}, std::nullopt, "Ctrl+Alt+Shift+C"},
        {{'c', M::Super | M::Shift}, std::nullopt, "Super+Shift+C"},
        {{'x', M::Ctrl | M::Shift}, std::nullopt, "Ctrl+Shift+X"},
        {{keysym::escape, M::Ctrl}, std::nullopt, "the shortcut is not a key of the window"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(onboarding::practiceGesture(row.key), row.gesture) << row.what;
    }
}

TEST_F(OnboardingFlowTest, PracticeKeysCountOnlyOnThePracticeStepOfAShownFirstRun) {
    OnboardingFlow& practice = flowAt(1);
    EXPECT_FALSE(practice.handlePracticeKey({keysym::tab, KeyModifier::Shift}));
    EXPECT_TRUE(practice.handlePracticeKey({keysym::tab, {}}));
    EXPECT_TRUE(practice.handlePracticeKey({keysym::tab, {}}));  // taken again, counted once
    EXPECT_EQ(model.verifiedKeys(), QSet<int>{Gesture::Select});
    EXPECT_TRUE(practice.handlePracticeKey({'c', KeyModifier::Ctrl | KeyModifier::Shift}));
    EXPECT_EQ(model.verifiedKeys(), QSet<int>({Gesture::Select, Gesture::Clear}));
    EXPECT_FALSE(practice.canContinue());

    for (int step : {0, 2}) {
        OnboardingFlow& elsewhere = flowAt(step);
        EXPECT_FALSE(elsewhere.handlePracticeKey({keysym::tab, {}})) << step;
        EXPECT_TRUE(model.verifiedKeys().isEmpty()) << step;
    }
    OnboardingFlow& finished = flowAt(1);
    model.setShowOnboarding(false);
    EXPECT_FALSE(finished.handlePracticeKey({keysym::tab, {}}));
    EXPECT_TRUE(model.verifiedKeys().isEmpty());
}

TEST_F(OnboardingFlowTest, ContinueOnEachStep) {
    const QSet<int> all{Gesture::Open, Gesture::Select, Gesture::Clear};
    struct Row {
        int step;
        QSet<int> verified;
        bool windowControl;
        bool moved;
        int stepAfter;
        bool showAfter;
    };
    const Row rows[] = {
        {0, {}, false, true, 1, true},
        {1, {Gesture::Select, Gesture::Clear}, true, false, 1, true},
        {1, all, false, true, 2, true},
        {2, all, false, false, 2, true},
        {2, {}, true, true, 2, false},
    };
    for (const Row& row : rows) {
        for (const QString& key : defaults->keys()) {
            defaults->remove(key);
        }
        model.setShowOnboarding(true);
        windowControl = false;
        OnboardingFlow& steps = flowAt(row.step, row.verified);
        // Window control may have come since it was last read: the last step reads it again.
        windowControl = row.windowControl;
        EXPECT_EQ(steps.advance(), row.moved) << "from step " << row.step;
        EXPECT_EQ(model.onboardingStep(), row.stepAfter) << "from step " << row.step;
        EXPECT_EQ(model.showOnboarding(), row.showAfter) << "from step " << row.step;
        const QStringList written =
            row.showAfter ? QStringList()
                          : QStringList{keys::onboardingComplete, keys::onboardingVersion};
        EXPECT_EQ(defaults->keys(), written) << "from step " << row.step;
    }
    EXPECT_EQ(defaults->boolValue(keys::onboardingComplete), true);
    EXPECT_EQ(defaults->integerValue(keys::onboardingVersion), 1);
}

TEST_F(OnboardingFlowTest, TheLoginItemFollowsTheSwitchAndFailuresPutItBack) {
    LaunchAtLogin& launch = flowAt(2).launchAtLogin();
    int changes = 0;
    QObject::connect(&launch, &LaunchAtLogin::enabledChanged, [&] { ++changes; });

    login.failure = "Read-only file system";
    launch.request(true);
    EXPECT_EQ(launch.error(), "Read-only file system");
    EXPECT_FALSE(launch.enabled());
    EXPECT_EQ(changes, 0);

    login.failure.clear();
    launch.request(true);
    EXPECT_TRUE(launch.error().isEmpty());
    EXPECT_TRUE(launch.enabled());
    EXPECT_EQ(login.changes, 2);

    // Asking for what already is changes nothing.
    launch.request(true);
    EXPECT_EQ(login.changes, 2);

    // Changed elsewhere: seen at the next read.
    login.setEnabledElsewhere(false);
    launch.refresh();
    EXPECT_FALSE(launch.enabled());
    EXPECT_EQ(changes, 2);
}

}  // namespace
}  // namespace tessora
