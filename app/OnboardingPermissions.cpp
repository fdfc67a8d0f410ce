#include "app/OnboardingPermissions.h"

#include "app/LaunchAtLogin.h"

#include "app/OnboardingFlow.h"
#include "app/OnboardingPieces.h"
#include "preferences/Fonts.h"
#include "preferences/OrrerySwitch.h"
#include "preferences/Palette.h"
#include "preferences/Shapes.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace tessora {

namespace {

// A switch that does not flip itself: it shows a state read from elsewhere, and a click only
// asks (clicked() is emitted) for that state to change.
class ReadOnlySwitch final : public OrrerySwitch {
public:
    using OrrerySwitch::OrrerySwitch;

protected:
    void nextCheckState() override {}
};

// The rounded card the two rows sit on.
class PermissionsCard final : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(continuousRoundedRect(rect(), 12), palette::surface());
        painter.strokePath(insideBorder(rect(), 12), QPen(palette::hairline(), 1));
    }
};

// A switch with its title and detail on the leading side.
QLayout* switchRow(OrrerySwitch* toggle, const QString& title, const QString& detail,
                   QWidget* parent) {
    toggle->setAccessibleDescription(detail);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(3);
    QLabel* titleText = onboardingText(manrope(14, QFont::Bold), Qt::white, parent);
    titleText->setText(title);
    texts->addWidget(titleText);
    QLabel* detailText =
        onboardingText(manrope(11, QFont::Normal), palette::secondaryText(), parent);
    detailText->setText(detail);
    texts->addWidget(detailText);
    // The texts name the switch for screen readers already.
    titleText->setBuddy(toggle);

    auto* row = new QHBoxLayout;
    row->setSpacing(16);
    row->addLayout(texts, 1);
    row->addWidget(toggle, 0, Qt::AlignVCenter);
    return row;
}

}  // namespace

OnboardingPermissions::OnboardingPermissions(OnboardingFlow& flow, QWidget* parent)
    : QWidget(parent),
      m_flow(flow),
      m_card(new PermissionsCard(this)),
      m_windowControl(new ReadOnlySwitch(QStringLiteral("Window control"), m_card)),
      m_login(new OrrerySwitch(QStringLiteral("Launch at login"), m_card)) {
    auto* rows = new QVBoxLayout(m_card);
    rows->setContentsMargins(20, 20, 20, 20);
    rows->setSpacing(16);
    rows->addLayout(switchRow(m_windowControl, QStringLiteral("Window control"),
                              QStringLiteral("Required to move and resize app windows."), m_card));
    rows->addWidget(onboardingHairline(m_card));
    rows->addLayout(
        switchRow(m_login, QStringLiteral("Launch at login"),
                  QStringLiteral("Optional. Start Tessora in the tray when you log in."), m_card));
    m_card->setMaximumWidth(kCardMaximumWidth);
    m_card->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);

    m_loginError = onboardingText(manrope(10, QFont::Normal), onboardingOrange(), this);
    m_loginError->setAlignment(Qt::AlignHCenter);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(12);
    // Centred by stretches, not by alignment, so that the card takes the width it may have.
    auto* centred = new QHBoxLayout;
    centred->addStretch(0);
    centred->addWidget(m_card, 1);
    centred->addStretch(0);
    column->addLayout(centred);
    column->addWidget(m_loginError);

    connect(m_windowControl, &QAbstractButton::clicked, &flow,
            &OnboardingFlow::requestWindowControl);
    connect(m_login, &QAbstractButton::clicked, this, [this](bool on) {
        m_flow.launchAtLogin().request(on);
        // A failed change may leave the flow's state as it was: the switch goes back to it.
        showState();
    });
    connect(&flow, &OnboardingFlow::windowControlAvailableChanged, this,
            &OnboardingPermissions::showState);
    connect(&flow.launchAtLogin(), &LaunchAtLogin::enabledChanged, this,
            &OnboardingPermissions::showState);
    connect(&flow.launchAtLogin(), &LaunchAtLogin::errorChanged, this,
            &OnboardingPermissions::showState);
    showState();
}

void OnboardingPermissions::showState() {
    m_windowControl->setChecked(m_flow.windowControlAvailable());
    m_login->setChecked(m_flow.launchAtLogin().enabled());
    m_loginError->setText(m_flow.launchAtLogin().error());
    m_loginError->setVisible(!m_flow.launchAtLogin().error().isEmpty());
}

}  // namespace tessora
