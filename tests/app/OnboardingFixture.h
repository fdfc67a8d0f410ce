#pragma once

// The first-run view on a workspace model over the simulated desktop, with the shortcut service,
// a login item in memory and window control as a switch of the test, shown as its own window
// and driven with QtTest's key events through that window.
#include "app/OnboardingView.h"
#include "app/ShortcutService.h"
#include "tests/app/FirstRunWorkspace.h"

#include <gtest/gtest.h>
#include <QPushButton>
#include <QTest>

namespace tessora {

class OnboardingFixture : public ::testing::Test, public FirstRunWorkspace {
protected:
    static inline const KeyStroke kCtrlEscape{keysym::escape, KeyModifier::Ctrl};

    // Builds the view at `step` and shows it with the keyboard.
    OnboardingView& start(int step = 0) {
        model.setOnboardingStep(step);
        shortcut = std::make_unique<ShortcutService>(sim, *defaults);
        // What the application does with the shortcut while the first run is on its practice
        // step: the press counts, the launcher stays closed.
        shortcut->setOnOpen([this] {
            if (model.showOnboarding() && model.onboardingStep() == 1) {
                model.insertVerifiedKey(0);
            } else {
                ++launcherOpened;
            }
        });
        view = std::make_unique<OnboardingView>(
            model, *defaults, *shortcut, login, windowControlSwitch([this] { ++requests; }), clock,
            [](QWidget* parent) {
                return new QPushButton(QStringLiteral("Record Shortcut"), parent);
            });
        view->resize(view->sizeHint());
        view->show();
        view->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(view.get()));
        return *view;
    }

    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(view->windowHandle(), key, modifiers);
    }

    int requests = 0;
    int launcherOpened = 0;
    std::unique_ptr<ShortcutService> shortcut;
    std::unique_ptr<OnboardingView> view;
};

}  // namespace tessora
