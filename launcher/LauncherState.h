#pragma once

#include "launcher/LauncherTab.h"

#include <QObject>
#include <QString>

namespace tessora {

class DefaultsStore;

// The launcher view's own presentation state; everything else lives in the workspace model.
// Each property notifies only when its value changes. The view mode is shared by both tabs and
// kept in the settings under "appViewMode" ("grid", anything else is the list).
class LauncherState : public QObject {
    Q_OBJECT
    Q_PROPERTY(
        bool searchFocused READ searchFocused WRITE setSearchFocused NOTIFY searchFocusedChanged)
    Q_PROPERTY(tessora::LauncherTab tab READ tab WRITE setTab NOTIFY tabChanged)
    Q_PROPERTY(QString layoutQuery READ layoutQuery WRITE setLayoutQuery NOTIFY layoutQueryChanged)
    Q_PROPERTY(int layoutHighlighted READ layoutHighlighted WRITE setLayoutHighlighted NOTIFY
                   layoutHighlightedChanged)
    Q_PROPERTY(QString hoveredLayoutID READ hoveredLayoutID WRITE setHoveredLayoutID NOTIFY
                   hoveredLayoutIDChanged)
    Q_PROPERTY(double panelWidth READ panelWidth WRITE setPanelWidth NOTIFY panelWidthChanged)
    Q_PROPERTY(double panelHeight READ panelHeight WRITE setPanelHeight NOTIFY panelHeightChanged)
    Q_PROPERTY(int resultsSession READ resultsSession NOTIFY resultsSessionChanged)
    Q_PROPERTY(QString appViewMode READ appViewMode WRITE setAppViewMode NOTIFY appViewModeChanged)

public:
    explicit LauncherState(DefaultsStore& defaults, QObject* parent = nullptr);

    bool searchFocused() const { return m_searchFocused; }
    LauncherTab tab() const { return m_tab; }
    const QString& layoutQuery() const { return m_layoutQuery; }
    int layoutHighlighted() const { return m_layoutHighlighted; }
    // Empty when the pointer is over no layout.
    const QString& hoveredLayoutID() const { return m_hoveredLayoutID; }
    double panelWidth() const { return m_panelWidth; }
    double panelHeight() const { return m_panelHeight; }
    int resultsSession() const { return m_resultsSession; }
    const QString& appViewMode() const { return m_appViewMode; }
    bool isGrid() const { return m_appViewMode == QLatin1String("grid"); }
    int gridColumns() const;

    void setSearchFocused(bool focused);
    void setTab(LauncherTab tab);
    void setLayoutQuery(const QString& query);
    void setLayoutHighlighted(int index);
    void setHoveredLayoutID(const QString& id);
    void setPanelWidth(double width);
    void setPanelHeight(double height);
    // Starts a new content session: scroll positions and hover start over.
    void bumpResultsSession();
    // Stores the mode in the settings as well.
    void setAppViewMode(const QString& mode);

signals:
    void searchFocusedChanged();
    void tabChanged();
    void layoutQueryChanged();
    void layoutHighlightedChanged();
    void hoveredLayoutIDChanged();
    void panelWidthChanged();
    void panelHeightChanged();
    void resultsSessionChanged();
    void appViewModeChanged();

private:
    DefaultsStore& m_defaults;
    bool m_searchFocused = false;
    LauncherTab m_tab = LauncherTab::Applications;
    QString m_layoutQuery;
    int m_layoutHighlighted = -1;
    QString m_hoveredLayoutID;
    double m_panelWidth = 544;
    double m_panelHeight = 550;
    int m_resultsSession = 0;
    QString m_appViewMode;
};

}  // namespace tessora
