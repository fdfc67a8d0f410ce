#include "app/OnboardingPractice.h"

#include "app/OnboardingFlow.h"
#include "app/OnboardingPieces.h"
#include "app/PracticeCard.h"
#include "app/ShortcutService.h"
#include "preferences/Fonts.h"
#include "preferences/OrreryKeycap.h"
#include "preferences/Palette.h"
#include "workspace/WorkspaceModel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tessora {

namespace {

const QString kSwitchedOff = QStringLiteral(
    "Tessora is switched off, so its shortcut does nothing. Record a shortcut here, or turn on "
    "\u201CEnable Tessora\u201D in the tray menu.");

}  // namespace

OnboardingPractice::OnboardingPractice(WorkspaceModel& model, ShortcutService& shortcut,
                                       const std::function<QWidget*(QWidget*)>& makeShortcutButton,
                                       QWidget* parent)
    : QWidget(parent), m_model(model), m_shortcut(shortcut), m_cardRow(new QHBoxLayout) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 10, 0, 0);
    column->setSpacing(24);

    m_cards[onboarding::Open] =
        new PracticeCard(QStringLiteral("Open"), keycapTexts(shortcut.label()), this);
    m_cards[onboarding::Select] =
        new PracticeCard(QStringLiteral("Select"), {QStringLiteral("tab")}, this);
    m_cards[onboarding::Clear] = new PracticeCard(
        QStringLiteral("Clear"), keycapTexts(QStringLiteral("\u21E7\u2318C")), this);  // ⇧⌘C
    m_cardRow->setSpacing(kCardSpacing);
    m_cardRow->addStretch(1);
    for (PracticeCard* card : m_cards) {
        m_cardRow->addWidget(card, 0, Qt::AlignVCenter);
    }
    m_cardRow->addStretch(1);
    column->addLayout(m_cardRow);

    m_counter = onboardingText(manrope(11, QFont::Normal), palette::secondaryText(), this);
    m_counter->setAlignment(Qt::AlignHCenter);
    column->addWidget(m_counter);

    auto* problemArea = new QVBoxLayout;
    problemArea->setSpacing(10);
    m_problem = onboardingText(manrope(10, QFont::Normal), onboardingOrange(), this);
    m_problem->setAlignment(Qt::AlignHCenter);
    problemArea->addWidget(m_problem);
    if (makeShortcutButton) {
        m_shortcutButton = makeShortcutButton(this);
    }
    if (m_shortcutButton) {
        problemArea->addWidget(m_shortcutButton, 0, Qt::AlignHCenter);
    }
    column->addLayout(problemArea);

    connect(&model, &WorkspaceModel::verifiedKeysChanged, this, &OnboardingPractice::showVerified);
    connect(&shortcut, &ShortcutService::labelChanged, this, &OnboardingPractice::showShortcut);
    connect(&shortcut, &ShortcutService::errorChanged, this, &OnboardingPractice::showShortcut);
    connect(&shortcut, &ShortcutService::enabledChanged, this, &OnboardingPractice::showShortcut);
    showVerified();
    showShortcut();
}

bool OnboardingPractice::isInShortcutButton(const QWidget* widget) const {
    return m_shortcutButton && widget &&
           (widget == m_shortcutButton || m_shortcutButton->isAncestorOf(widget));
}

void OnboardingPractice::showVerified() {
    const QSet<int>& verified = m_model.verifiedKeys();
    for (int gesture = 0; gesture < onboarding::gestureCount; ++gesture) {
        card(gesture)->setVerified(verified.contains(gesture));
    }
    m_counter->setText(
        QStringLiteral("%1/%2 verified").arg(verified.size()).arg(onboarding::gestureCount));
}

void OnboardingPractice::showShortcut() {
    card(onboarding::Open)->setKeys(keycapTexts(m_shortcut.label()));
    QString problem = m_shortcut.error();
    if (problem.isEmpty() && !m_shortcut.enabled()) {
        problem = kSwitchedOff;
    }
    m_problem->setText(problem);
    m_problem->setVisible(!problem.isEmpty());
    if (m_shortcutButton) {
        m_shortcutButton->setVisible(!problem.isEmpty());
    }
    fitCards();
}

void OnboardingPractice::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitCards();
}

void OnboardingPractice::fitCards() {
    // A long recorded shortcut widens the Open card; the gaps give way before the cards do.
    int cardsWidth = 0;
    for (const PracticeCard* card : m_cards) {
        cardsWidth += card->sizeHint().width();
    }
    const int room = (width() - cardsWidth) / (onboarding::gestureCount - 1);
    m_cardRow->setSpacing(qBound(8, room, kCardSpacing));
}

}  // namespace tessora
