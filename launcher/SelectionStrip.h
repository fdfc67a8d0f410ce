#pragma once

#include "core/InstalledApp.h"

#include <QAbstractButton>
#include <QList>
#include <QWidget>

class QLabel;

namespace tessora {

class IconCache;
class WorkspaceModel;

// What the search bar shows of the selection: a chip for each of the first nine selected
// applications; from ten on, nine chips and a "+k" counter for the rest.
struct SelectionStripContent {
    InstalledApps chips;
    qsizetype more = 0;  // 0: no counter
};
SelectionStripContent selectionStripContent(const InstalledApps& selected);

// One selected application's icon, 19 x 19; clicking it deselects the application.
class SelectionChip : public QAbstractButton {
    Q_OBJECT

public:
    SelectionChip(const InstalledApp& app, IconCache& icons, QWidget* parent = nullptr);
    const InstalledApp& app() const { return app_; }
    QSize sizeHint() const override { return {19, 19}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    InstalledApp app_;
    IconCache& icons_;
};

// The chips and the counter, in selection order, following the model's selection.
class SelectionStrip : public QWidget {
    Q_OBJECT

public:
    SelectionStrip(WorkspaceModel& model, IconCache& icons, QWidget* parent = nullptr);

    QList<SelectionChip*> chips() const { return chips_; }
    // The "+k" counter; hidden below ten selected applications.
    QLabel* counter() const { return counter_; }

private:
    void rebuild();

    WorkspaceModel& model_;
    IconCache& icons_;
    QList<SelectionChip*> chips_;
    QLabel* counter_;
};

}  // namespace tessora
