#pragma once

#include <QWidget>

namespace tessora {

class OrreryButton;
class ShortcutService;
class WorkspaceModel;

// The first-run window's page: the logo, a welcome, the shortcut that opens the launcher, and
// "Continue", which finishes the first run so that the shortcut opens the launcher from then on.
class WelcomePage final : public QWidget {
    Q_OBJECT

public:
    WelcomePage(WorkspaceModel& model, ShortcutService& shortcut, QWidget* parent = nullptr);

    OrreryButton* continueButton() const { return m_continue; }

    // Records that the first run is done, in the store and in the model.
    static void finishFirstRun(WorkspaceModel& model);

protected:
    // Return and Enter continue, as the primary button promises.
    void keyPressEvent(QKeyEvent* event) override;

private:
    OrreryButton* m_continue;
};

}  // namespace tessora
