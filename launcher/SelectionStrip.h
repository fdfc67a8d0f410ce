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
    const InstalledApp& app() const { return m_app; }
    QSize sizeHint() const override { return {19, 19}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    InstalledApp m_app;
    IconCache& m_icons;
};

// The chips and the counter, in selection order, following the model's selection.
class SelectionStrip : public QWidget {
    Q_OBJECT

public:
    SelectionStrip(WorkspaceModel& model, IconCache& icons, QWidget* parent = nullptr);

    QList<SelectionChip*> chips() const { return m_chips; }
    // The "+k" counter; absent (null) below ten selected applications.
    QLabel* counter() const { return m_counter; }

private:
    void rebuild();
    void showCounter(qsizetype more);

    WorkspaceModel& m_model;
    IconCache& m_icons;
    QList<SelectionChip*> m_chips;
    QLabel* m_counter = nullptr;
};

}  // namespace tessora
