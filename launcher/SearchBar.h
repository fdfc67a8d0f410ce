#pragma once

#include <QWidget>

class QHBoxLayout;
class QLineEdit;

namespace tessora {

class IconCache;
class SelectionStrip;
class Spinner;
class WorkspaceModel;

// The capsule at the top of the panel, 540 x 80: the search field, a spinner while the
// catalog is being scanned, the selection strip while something is selected, and the actions
// button given by the owner.
class SearchBar : public QWidget {
    Q_OBJECT

public:
    static constexpr int barWidth = 540;
    static constexpr int barHeight = 80;

    SearchBar(WorkspaceModel& model, IconCache& icons, QWidget* actions, QWidget* parent = nullptr);

    QLineEdit* field() const { return m_field; }
    // Absent (null) while no scan runs.
    Spinner* spinner() const { return m_spinner; }
    SelectionStrip* strip() const { return m_strip; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Puts the spinner in while the catalog is scanned, and takes it out after.
    void showScanning();

    WorkspaceModel& m_model;
    QLineEdit* m_field;
    QHBoxLayout* m_row = nullptr;
    Spinner* m_spinner = nullptr;
    SelectionStrip* m_strip;
};

}  // namespace tessora
