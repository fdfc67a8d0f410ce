#pragma once

#include "app/OnboardingFlow.h"
#include "app/WindowControl.h"

#include <QWidget>
#include <functional>
#include <memory>

class QLabel;
class QVBoxLayout;

namespace tessora {

class CasementLogo;
class Clock;
class DefaultsStore;
class LocalKeyMonitor;
class LoginItem;
class OnboardingPermissions;
class OnboardingPractice;
class OnboardingStepIndicator;
class OrreryButton;
class OrrerySwitch;
class PracticeCard;
class ShortcutService;
class ShownRefresh;
class WorkspaceModel;

// The first-run window's content (700 × 620), shown while the model's showOnboarding is set:
// the step bars, the logo, the step's title and content, and "Continue" (also Ctrl+Return),
// which stays dimmed until the step may be left. Step 0 introduces the product, step 1 has the
// user try the launcher's keys (the shortcut, Tab, Ctrl+Shift+C), step 2 asks for window control
// and offers the login item. Finishing records that the first run is done.
//
// While shown, the practice keys are watched in all of the application's windows, and window
// control is read again: when shown, on reaching the last step, every second on it, when the
// application becomes active and before finishing. Nothing is watched or scheduled while hidden.
class OnboardingView final : public QWidget {
    Q_OBJECT

public:
    // `makeShortcutButton` makes the control that records another shortcut, offered on the
    // practice step when the shortcut cannot work.
    OnboardingView(WorkspaceModel& model, DefaultsStore& defaults, ShortcutService& shortcut,
                   LoginItem& login, WindowControl windowControl, Clock& clock,
                   std::function<QWidget*(QWidget*)> makeShortcutButton, QWidget* parent = nullptr);
    ~OnboardingView() override;

    OnboardingFlow& flow() { return m_flow; }
    OrreryButton* continueButton() const { return m_continue; }
    OnboardingStepIndicator* stepIndicator() const { return m_indicator; }
    CasementLogo* logo() const { return m_logo; }
    QLabel* title() const { return m_title; }
    OnboardingPractice* practice() const { return m_practice; }
    PracticeCard* card(int gesture) const;
    OnboardingPermissions* permissions() const { return m_permissions; }
    OrrerySwitch* windowControlSwitch() const;
    OrrerySwitch* loginSwitch() const;
    QLabel* note() const { return m_note; }
    bool monitoringKeys() const;

    QSize sizeHint() const override { return {700, 620}; }

    static constexpr int kLargeLogo = 118;
    static constexpr int kSmallLogo = 58;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    // Return on a focused button or switch presses it.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showStep();
    void showContinue();
    void activateContinue();
    bool practiceKey(const QKeyEvent& key);

    WorkspaceModel& m_model;
    Clock& m_clock;
    OnboardingFlow m_flow;
    OnboardingStepIndicator* m_indicator;
    CasementLogo* m_logo;
    QLabel* m_title;
    OnboardingPractice* m_practice;
    OnboardingPermissions* m_permissions;
    QVBoxLayout* m_footer;
    OrreryButton* m_continue;
    QWidget* m_noteDivider;
    QWidget* m_noteArea;
    QLabel* m_note;
    std::unique_ptr<LocalKeyMonitor> m_keyMonitor;
    // Reads window control every second while the last step is shown.
    std::unique_ptr<ShownRefresh> m_windowControlPoll;
};

}  // namespace tessora
