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
    Q_PROPERTY(bool searchFocused READ searchFocused WRITE setSearchFocused NOTIFY searchFocusedChanged)
    Q_PROPERTY(tessora::LauncherTab tab READ tab WRITE setTab NOTIFY tabChanged)
    Q_PROPERTY(QString layoutQuery READ layoutQuery WRITE setLayoutQuery NOTIFY layoutQueryChanged)
    Q_PROPERTY(int layoutHighlighted READ layoutHighlighted WRITE setLayoutHighlighted
                   NOTIFY layoutHighlightedChanged)
    Q_PROPERTY(QString hoveredLayoutID READ hoveredLayoutID WRITE setHoveredLayoutID
                   NOTIFY hoveredLayoutIDChanged)
    Q_PROPERTY(double panelWidth READ panelWidth WRITE setPanelWidth NOTIFY panelWidthChanged)
    Q_PROPERTY(double panelHeight READ panelHeight WRITE setPanelHeight NOTIFY panelHeightChanged)
    Q_PROPERTY(int resultsSession READ resultsSession NOTIFY resultsSessionChanged)
    Q_PROPERTY(QString appViewMode READ appViewMode WRITE setAppViewMode NOTIFY appViewModeChanged)

public:
    explicit LauncherState(DefaultsStore& defaults, QObject* parent = nullptr);

    bool searchFocused() const { return searchFocused_; }
    LauncherTab tab() const { return tab_; }
    const QString& layoutQuery() const { return layoutQuery_; }
    int layoutHighlighted() const { return layoutHighlighted_; }
    // Empty when the pointer is over no layout.
    const QString& hoveredLayoutID() const { return hoveredLayoutID_; }
    double panelWidth() const { return panelWidth_; }
    double panelHeight() const { return panelHeight_; }
    int resultsSession() const { return resultsSession_; }
    const QString& appViewMode() const { return appViewMode_; }
    bool isGrid() const { return appViewMode_ == QLatin1String("grid"); }
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
    DefaultsStore& defaults_;
    bool searchFocused_ = false;
    LauncherTab tab_ = LauncherTab::Applications;
    QString layoutQuery_;
    int layoutHighlighted_ = -1;
    QString hoveredLayoutID_;
    double panelWidth_ = 544;
    double panelHeight_ = 550;
    int resultsSession_ = 0;
    QString appViewMode_;
};

}  // namespace tessora
