#pragma once

#include "app/PreferencesNavigation.h"
#include "app/WindowControl.h"
#include "core/Clock.h"

#include <QPropertyAnimation>
#include <QWidget>

#include <functional>

class QStackedWidget;

namespace tessora {

class AttentionBadge;
class PreferencesHeader;
class PreferencesSidebar;
class ShownRefresh;
class SidebarEntry;
class SidebarToggle;

// The content of the settings window once the first run is over, 791 wide: the sidebar with
// an entry per page, a hairline, and the page column (a header with the page's title over the
// page). The navigation says which page is shown and whether the sidebar is; hiding or showing
// it slides the sidebar out to or in from the leading edge over 0.22 s while the page column
// widens or narrows, and the window keeps its width.
//
// While windows cannot be controlled the Settings entry carries a red badge. Availability is
// read when the view is shown, every second while it stays shown and when the program becomes
// active, so the badge goes within about a second of the user fixing the session; a hidden view
// reads nothing.
//
// Pages come from `makePage`, asked once per section the first time it is shown; they are kept
// for the life of the view.
class PreferencesView final : public QWidget {
    Q_OBJECT
    Q_PROPERTY(
        qreal sidebarShown READ sidebarShown WRITE setSidebarShown NOTIFY sidebarShownChanged)
    Q_PROPERTY(QString attentionMessage READ attentionMessage NOTIFY attentionMessageChanged)

public:
    using PageFactory =
        std::function<QWidget*(PreferencesNavigation::Section section, QWidget* parent)>;

    PreferencesView(PreferencesNavigation& navigation, WindowControl windowControl, Clock& clock,
                    PageFactory makePage, QWidget* parent = nullptr);
    ~PreferencesView() override;

    // How far the sidebar is in: 1 shown, 0 gone, in between while it slides.
    qreal sidebarShown() const { return m_sidebarShown; }
    void setSidebarShown(qreal shown);
    // The slide, so that tests can move it to any point of its run without waiting.
    QPropertyAnimation& sidebarAnimation() { return m_slide; }

    // What the Settings page needs the user for; empty when nothing.
    QString attentionMessage() const { return m_attentionMessage; }

    PreferencesSidebar* sidebar() const { return m_sidebar; }
    PreferencesHeader* header() const { return m_header; }
    SidebarEntry* entry(PreferencesNavigation::Section section) const;
    SidebarToggle* hideSidebarControl() const;
    SidebarToggle* showSidebarControl() const;
    AttentionBadge* attentionBadge() const;
    // The page shown now.
    QWidget* page() const;

    static constexpr int kWidth = 791;
    static constexpr int kSlideMs = 220;

signals:
    void sidebarShownChanged();
    void attentionMessageChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showSection();
    void slideSidebar();
    void arrange();
    void readWindowControl();

    PreferencesNavigation& m_navigation;
    WindowControl m_windowControl;
    PageFactory m_makePage;
    PreferencesSidebar* m_sidebar;
    PreferencesHeader* m_header;
    QStackedWidget* m_pages;
    QWidget* m_pageOf[2] = {nullptr, nullptr};
    qreal m_sidebarShown;
    QPropertyAnimation m_slide;
    QString m_attentionMessage;
    ShownRefresh* m_refresh;
};

}  // namespace tessora
