#pragma once

#include <QWidget>

#include <array>
#include <functional>

class QHBoxLayout;
class QLabel;

namespace tessora {

class PracticeCard;
class ShortcutService;
class WorkspaceModel;

// The practice step's content: the three gestures of the launcher as cards (Open, Select,
// Clear), lit as the user performs them, and how many were seen. The Open card shows the
// shortcut actually registered. When the shortcut cannot work (another program holds the
// combination, or the launcher is switched off) the reason is said under the cards, beside the
// button that records another combination, since the Open gesture cannot be done otherwise.
class OnboardingPractice final : public QWidget {
    Q_OBJECT

public:
    OnboardingPractice(WorkspaceModel& model, ShortcutService& shortcut,
                       const std::function<QWidget*(QWidget*)>& makeShortcutButton,
                       QWidget* parent = nullptr);

    PracticeCard* card(int gesture) const { return m_cards.at(static_cast<size_t>(gesture)); }
    QLabel* counter() const { return m_counter; }
    // The reason the shortcut does not work, hidden while it does.
    QLabel* shortcutProblem() const { return m_problem; }
    // The shortcut recorder, shown with the problem; null when none could be made.
    QWidget* shortcutButton() const { return m_shortcutButton; }
    // Whether `widget` is the shortcut recorder or part of it: keys typed there belong to it.
    bool isInShortcutButton(const QWidget* widget) const;

    static constexpr int kCardSpacing = 36;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showVerified();
    void showShortcut();
    void fitCards();

    WorkspaceModel& m_model;
    ShortcutService& m_shortcut;
    std::array<PracticeCard*, 3> m_cards{};
    QHBoxLayout* m_cardRow;
    QLabel* m_counter;
    QLabel* m_problem;
    QWidget* m_shortcutButton = nullptr;
};

}  // namespace tessora
