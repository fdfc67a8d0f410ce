#include "app/OnboardingFlow.h"

#include "app/LaunchAtLogin.h"

#include "platform/DefaultsStore.h"
#include "platform/LoginItem.h"
#include "workspace/SettingsKeys.h"
#include "workspace/WorkspaceModel.h"

namespace tessora {

namespace onboarding {

QString stepTitle(int step) {
    switch (step) {
        case 0:
            return QStringLiteral("Meet Tessora");
        case practiceStep:
            return QStringLiteral("Try your keys");
        case permissionsStep:
            return QStringLiteral("Let Tessora lend a hand");
        default:
            return {};
    }
}

std::optional<Gesture> practiceGesture(const KeyStroke& key) {
    if (key.key == keysym::tab && key.modifiers == KeyModifiers()) {
        return Select;
    }
    if (key.key == Keysym('c') && key.modifiers == (KeyModifier::Ctrl | KeyModifier::Shift)) {
        return Clear;
    }
    return std::nullopt;
}

bool canContinue(int step, const QSet<int>& verifiedKeys, bool windowControlAvailable) {
    switch (step) {
        case 0:
            return true;
        case practiceStep:
            return verifiedKeys.size() == gestureCount;
        case permissionsStep:
            return windowControlAvailable;
        default:
            return false;
    }
}

}  // namespace onboarding

OnboardingFlow::OnboardingFlow(WorkspaceModel& model, DefaultsStore& defaults, LoginItem& login,
                               WindowControl windowControl, QObject* parent)
    : QObject(parent),
      m_model(model),
      m_defaults(defaults),
      m_windowControl(std::move(windowControl)),
      m_launchAtLogin(new LaunchAtLogin(login, this)) {
    m_windowControlAvailable = m_windowControl.isAvailable();
}

int OnboardingFlow::step() const {
    return m_model.onboardingStep();
}

bool OnboardingFlow::canContinue() const {
    return onboarding::canContinue(step(), m_model.verifiedKeys(), m_windowControlAvailable);
}

void OnboardingFlow::readWindowControl() {
    setWindowControlAvailable(m_windowControl.isAvailable());
}

void OnboardingFlow::requestWindowControl() {
    if (m_windowControl.request) {
        m_windowControl.request();
    }
}

bool OnboardingFlow::advance() {
    const int current = step();
    if (current == onboarding::permissionsStep) {
        readWindowControl();
    }
    if (!canContinue()) {
        return false;
    }
    if (current < onboarding::permissionsStep) {
        m_model.setOnboardingStep(current + 1);
        return true;
    }
    m_defaults.setBool(QString::fromLatin1(keys::onboardingComplete), true);
    m_defaults.setInteger(QString::fromLatin1(keys::onboardingVersion), 1);
    m_model.setShowOnboarding(false);
    return true;
}

bool OnboardingFlow::handlePracticeKey(const KeyStroke& key) {
    if (!m_model.showOnboarding() || step() != onboarding::practiceStep) {
        return false;
    }
    const std::optional<onboarding::Gesture> gesture = onboarding::practiceGesture(key);
    if (!gesture) {
        return false;
    }
    m_model.insertVerifiedKey(*gesture);
    return true;
}

void OnboardingFlow::setWindowControlAvailable(bool available) {
    if (available == m_windowControlAvailable) {
        return;
    }
    m_windowControlAvailable = available;
    emit windowControlAvailableChanged();
}

}  // namespace tessora
