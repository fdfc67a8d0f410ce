#pragma once

#include "launcher/LauncherTab.h"

#include <QAbstractButton>
#include <QWidget>

namespace tessora {

class LauncherState;

// One tab's pill: its title on a capsule, brighter and bolder for the current tab.
class TabPill : public QAbstractButton {
    Q_OBJECT

public:
    TabPill(const QString& title, QWidget* parent = nullptr);

    bool isCurrent() const { return m_current; }
    void setCurrent(bool current);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont titleFont() const;

    bool m_current = false;
};

// The row of tab pills, "Applications" then "Layouts", centred at the top of the content area.
class TabBar : public QWidget {
    Q_OBJECT

public:
    explicit TabBar(LauncherState& state, QWidget* parent = nullptr);

    TabPill* pill(LauncherTab tab) const {
        return tab == LauncherTab::Applications ? m_apps : m_layouts;
    }

signals:
    void pillActivated(tessora::LauncherTab tab);

private:
    void refresh();

    LauncherState& m_state;
    TabPill* m_apps;
    TabPill* m_layouts;
};

}  // namespace tessora
