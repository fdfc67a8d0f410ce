#pragma once

#include "app/PreferencesNavigation.h"

#include <QWidget>

namespace tessora {

class AttentionBadge;
class SidebarEntry;
class SidebarToggle;

// The settings window's sidebar: the "Hide sidebar" button in a bar of its own, the brand
// (logo, name, line), and an entry per page. The entries choose the navigation's section and
// show which one is current; the Settings entry carries the attention badge.
class PreferencesSidebar final : public QWidget {
    Q_OBJECT

public:
    explicit PreferencesSidebar(PreferencesNavigation& navigation, QWidget* parent = nullptr);

    SidebarEntry* entry(PreferencesNavigation::Section section) const;
    SidebarToggle* hideControl() const { return m_hide; }
    AttentionBadge* attentionBadge() const { return m_badge; }

    static constexpr int kWidth = 250;
    static constexpr int kTopBarHeight = 58;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* makeTopBar();
    QWidget* makeBrandBlock();
    void showSection();

    PreferencesNavigation& m_navigation;
    SidebarToggle* m_hide = nullptr;
    SidebarEntry* m_settings = nullptr;
    SidebarEntry* m_shortcuts = nullptr;
    AttentionBadge* m_badge = nullptr;
};

}  // namespace tessora
