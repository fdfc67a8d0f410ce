#pragma once

#include "app/WindowControl.h"
#include "platform/Keys.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <optional>

namespace tessora {

class LaunchAtLogin;

class DefaultsStore;
class LoginItem;
class WorkspaceModel;

// The first run, step by step: meeting the product, trying the three keys of the launcher, and
// window control with the login item. The steps and their order live in the model
// (onboardingStep), so a window closed and shown again resumes where the user left it.
namespace onboarding {

inline constexpr int stepCount = 3;
inline constexpr int practiceStep = 1;
inline constexpr int permissionsStep = 2;

// The practice gestures, as the indices kept in the model's verifiedKeys.
enum Gesture : int {
    Open = 0,    // the global shortcut, whatever combination is registered
    Select = 1,  // Tab
    Clear = 2,   // Ctrl+Shift+C
};
inline constexpr int gestureCount = 3;

// "Meet Tessora", "Try your keys", "Let Tessora lend a hand"; empty for a step that is not one.
QString stepTitle(int step);

// The gesture a key press performs in the practice step: Tab with no modifier is Select,
// C with exactly Ctrl and Shift is Clear; anything else (Shift+Tab, Ctrl+C, ...) is none.
std::optional<Gesture> practiceGesture(const KeyStroke& key);

// Whether "Continue" may leave `step`: the first step always, the practice once all three
// gestures were seen, the last once window control is available.
bool canContinue(int step, const QSet<int>& verifiedKeys, bool windowControlAvailable);

}  // namespace onboarding

// The state of the first-run flow that is not the model's: window control and the login item
// as last read, and the last failure of the login item. It reads and changes the outside world
// only through the injected window control and login item.
class OnboardingFlow : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool windowControlAvailable READ windowControlAvailable NOTIFY
                   windowControlAvailableChanged)

public:
    // Reads window control and the login item once.
    OnboardingFlow(WorkspaceModel& model, DefaultsStore& defaults, LoginItem& login,
                   WindowControl windowControl, QObject* parent = nullptr);

    WorkspaceModel& model() const { return m_model; }
    int step() const;
    bool canContinue() const;

    bool windowControlAvailable() const { return m_windowControlAvailable; }
    // The login switch's state and its last failure.
    LaunchAtLogin& launchAtLogin() const { return *m_launchAtLogin; }

    // Reads whether windows can be controlled now; notifies only on a change.
    void readWindowControl();
    // The user asked for window control: the platform tells what is missing.
    void requestWindowControl();

    // "Continue": on the last step window control is read again first. Does nothing while the
    // step cannot be left; otherwise moves one step on, or on the last step records that the
    // first run is done (onboardingComplete and onboardingVersion, nothing else) and ends it.
    // True when it moved or finished.
    bool advance();

    // The practice step's key rule: while the first run shows its practice step, a key press
    // that performs a gesture marks it and is taken (true); every other press passes on.
    bool handlePracticeKey(const KeyStroke& key);

signals:
    void windowControlAvailableChanged();

private:
    void setWindowControlAvailable(bool available);

    WorkspaceModel& m_model;
    DefaultsStore& m_defaults;
    WindowControl m_windowControl;
    LaunchAtLogin* m_launchAtLogin;
    bool m_windowControlAvailable = false;
};

}  // namespace tessora
