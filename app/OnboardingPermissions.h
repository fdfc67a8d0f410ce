#pragma once

#include <QWidget>

class QLabel;

namespace tessora {

class OnboardingFlow;
class OrrerySwitch;

// The last step's content: a card with window control (required) and the login item
// (optional), each a switch with a title and a detail, and under the card why the login item
// could not be changed, when it could not. The window-control switch shows what was last read;
// turning it either way asks the platform what is missing, and it moves only when a later read
// finds window control changed.
class OnboardingPermissions final : public QWidget {
    Q_OBJECT

public:
    explicit OnboardingPermissions(OnboardingFlow& flow, QWidget* parent = nullptr);

    OrrerySwitch* windowControlSwitch() const { return m_windowControl; }
    OrrerySwitch* loginSwitch() const { return m_login; }
    QLabel* loginError() const { return m_loginError; }
    QWidget* card() const { return m_card; }

    static constexpr int kCardMaximumWidth = 480;

private:
    void showState();

    OnboardingFlow& m_flow;
    QWidget* m_card;
    OrrerySwitch* m_windowControl;
    OrrerySwitch* m_login;
    QLabel* m_loginError;
};

}  // namespace tessora
