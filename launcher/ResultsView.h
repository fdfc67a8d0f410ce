#pragma once

#include "core/InstalledApp.h"
#include "launcher/ItemScrollView.h"

#include <QFont>

namespace tessora {

class IconCache;
class WorkspaceModel;

// The applications tab's results: the model's ranked results as rows (list) or cells (grid) with
// icon, name and selection badge, the model's highlight drawn behind one of them. The view
// follows the highlight with a short eased scroll and goes back to the top when a different
// application leads the results.
class ResultsView : public ItemScrollView {
    Q_OBJECT

public:
    static constexpr int followMilliseconds = 100;

    ResultsView(WorkspaceModel& model, IconCache& icons, QWidget* parent = nullptr);

    void setGrid(bool grid, int columns);
    bool isGrid() const { return m_grid; }

    QString itemText(int index) const override;
    bool itemIsHighlighted(int index) const override;
    bool itemIsSelected(int index) const override;
    void activateItem(int index) override;

signals:
    void appActivated(const tessora::InstalledApp& app);

protected:
    void paintItem(QPainter& painter, int index, const QRectF& rect) override;

private:
    void resultsChanged();
    void highlightChanged();
    void paintRow(QPainter& painter, const InstalledApp& app, const QRectF& rect, bool highlighted,
                  std::optional<qsizetype> position);
    void paintCell(QPainter& painter, const InstalledApp& app, const QRectF& rect, bool highlighted,
                   std::optional<qsizetype> position);

    WorkspaceModel& m_model;
    IconCache& m_icons;
    QString m_leaderId;  // the id of the first result, to notice a new leader
    bool m_grid = false;
    int m_columns = 4;
    QFont m_rowFont;
    QFont m_cellFont;
    QFont m_badgeFont;
};

}  // namespace tessora
