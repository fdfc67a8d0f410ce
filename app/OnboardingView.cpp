#include "app/OnboardingView.h"

#include "app/LaunchAtLogin.h"
#include "app/LocalKeyMonitor.h"
#include "app/OnboardingPermissions.h"
#include "app/OnboardingPieces.h"
#include "app/OnboardingPractice.h"
#include "app/OnboardingStepIndicator.h"
#include "app/ShownRefresh.h"
#include "preferences/BrandMarks.h"
#include "preferences/Fonts.h"
#include "preferences/OrreryButton.h"
#include "preferences/Palette.h"
#include "workspace/WorkspaceModel.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QShortcut>
#include <QVBoxLayout>

namespace tessora {

namespace {

bool isReturn(const QKeyEvent& key) {
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

}  // namespace

OnboardingView::OnboardingView(WorkspaceModel& model, DefaultsStore& defaults,
                               ShortcutService& shortcut, LoginItem& login,
                               WindowControl windowControl, Clock& clock,
                               std::function<QWidget*(QWidget*)> makeShortcutButton,
                               QWidget* parent)
    : QWidget(parent),
      m_model(model),
      m_clock(clock),
      m_flow(model, defaults, login, std::move(windowControl)),
      m_indicator(new OnboardingStepIndicator(onboarding::stepCount, this)),
      m_logo(new CasementLogo(this)),
      m_title(onboardingText(manrope(23, QFont::Bold), Qt::white, this)),
      m_practice(new OnboardingPractice(model, shortcut, makeShortcutButton, this)),
      m_permissions(new OnboardingPermissions(m_flow, this)),
      m_footer(new QVBoxLayout),
      m_continue(new OrreryButton(QStringLiteral("Continue"), true, false, this)),
      m_noteDivider(onboardingHairline(this)),
      m_noteArea(new QWidget(this)),
      m_note(onboardingText(manrope(10, QFont::Normal), palette::secondaryText(), m_noteArea)),
      m_keyMonitor(std::make_unique<LocalKeyMonitor>(
          [this](const QKeyEvent& key) { return practiceKey(key); })) {
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, palette::windowBackground());
    colours.setColor(QPalette::WindowText, Qt::white);
    setPalette(colours);
    setFont(manrope(13, QFont::Normal));

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    root->addWidget(m_indicator);

    auto* column = new QVBoxLayout;
    column->setContentsMargins(40, 0, 40, 0);
    column->setSpacing(18);
    column->addStretch(1);
    column->addWidget(m_logo, 0, Qt::AlignHCenter);
    m_title->setAlignment(Qt::AlignHCenter);
    column->addWidget(m_title);
    column->addWidget(m_practice);
    column->addWidget(m_permissions);
    column->addStretch(1);
    root->addLayout(column, 1);

    m_continue->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_continue->setAccessibleDescription(QStringLiteral("Ctrl+Return"));
    m_footer->addWidget(m_continue);
    root->addLayout(m_footer);

    auto* note = new QVBoxLayout(m_noteArea);
    note->setContentsMargins(24, 16, 24, 16);
    m_note->setAlignment(Qt::AlignHCenter);
    m_note->setText(QStringLiteral(
        "Window control needs an X11 session with a window manager. Launch at login is optional."));
    note->addWidget(m_note);
    root->addWidget(m_noteDivider);
    root->addWidget(m_noteArea);

    connect(m_continue, &QAbstractButton::clicked, this, &OnboardingView::activateContinue);
    for (const QKeySequence& sequence :
         {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}) {
        auto* shortcutKeys = new QShortcut(sequence, this);
        connect(shortcutKeys, &QShortcut::activated, this, &OnboardingView::activateContinue);
    }

    connect(&model, &WorkspaceModel::onboardingStepChanged, this, &OnboardingView::showStep);
    connect(&model, &WorkspaceModel::verifiedKeysChanged, this, &OnboardingView::showContinue);
    connect(&m_flow, &OnboardingFlow::windowControlAvailableChanged, this,
            &OnboardingView::showContinue);
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive && isVisible()) {
                    m_flow.readWindowControl();
                    m_flow.launchAtLogin().refresh();
                }
            });
    showStep();
}

OnboardingView::~OnboardingView() = default;

PracticeCard* OnboardingView::card(int gesture) const {
    return m_practice->card(gesture);
}

OrrerySwitch* OnboardingView::windowControlSwitch() const {
    return m_permissions->windowControlSwitch();
}

OrrerySwitch* OnboardingView::loginSwitch() const {
    return m_permissions->loginSwitch();
}

bool OnboardingView::monitoringKeys() const {
    return m_keyMonitor->installed();
}

void OnboardingView::showStep() {
    const int step = m_model.onboardingStep();
    const bool lastStep = step == onboarding::permissionsStep;
    m_indicator->setStep(step);
    const int side = step == 0 ? kLargeLogo : kSmallLogo;
    m_logo->setFixedSize(side, side);
    m_title->setText(onboarding::stepTitle(step));
    m_practice->setVisible(step == onboarding::practiceStep);
    m_permissions->setVisible(lastStep);
    m_footer->setContentsMargins(28, 0, 28, lastStep ? 12 : 28);
    m_noteDivider->setVisible(lastStep);
    m_noteArea->setVisible(lastStep);
    // Created while visible, the poll reads at once: reaching the last step reads window control.
    if (lastStep && !m_windowControlPoll) {
        m_windowControlPoll =
            std::make_unique<ShownRefresh>(*this, m_clock, [this] { m_flow.readWindowControl(); });
    } else if (!lastStep) {
        m_windowControlPoll.reset();
    }
    showContinue();
}

void OnboardingView::showContinue() {
    const bool may = m_flow.canContinue();
    m_continue->setEnabled(may);
    // Disabled, the button lost the keyboard (to the next control, or to none); once it may be
    // pressed it takes the keyboard back where nothing of this view has it.
    QWidget* focus = window()->focusWidget();
    if (may && (focus == nullptr || !isAncestorOf(focus))) {
        m_continue->setFocus(Qt::OtherFocusReason);
    }
}

void OnboardingView::activateContinue() {
    m_flow.advance();
    showContinue();
}

bool OnboardingView::practiceKey(const QKeyEvent& key) {
    // Keys typed while recording another shortcut belong to the recorder.
    if (m_practice->isInShortcutButton(QApplication::focusWidget())) {
        return false;
    }
    return m_flow.handlePracticeKey(keyStrokeFromQt(key.key(), key.modifiers()));
}

void OnboardingView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_flow.readWindowControl();
    m_keyMonitor->install();
    if (QApplication::focusWidget() == nullptr || !isAncestorOf(QApplication::focusWidget())) {
        m_continue->setFocus(Qt::OtherFocusReason);
    }
}

void OnboardingView::hideEvent(QHideEvent* event) {
    m_keyMonitor->remove();
    QWidget::hideEvent(event);
}

void OnboardingView::keyPressEvent(QKeyEvent* event) {
    if (isReturn(*event) && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (auto* button = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
            button && isAncestorOf(button) && button->isEnabled()) {
            button->click();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

}  // namespace tessora
