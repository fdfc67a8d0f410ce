#pragma once

// A launcher view in a stand-in panel, on a workspace model over the simulated desktop, driven
// with QtTest's key and mouse events through the panel's window (shortcuts included).
#include "core/Task.h"
#include "launcher/ContentView.h"
#include "launcher/LauncherState.h"
#include "launcher/PanelHost.h"
#include "launcher/PanelNotifier.h"
#include "platform/DefaultsStore.h"
#include "platform/sim/ManualBackgroundWork.h"
#include "platform/sim/SimWindowSystem.h"
#include "platform/sim/VirtualClock.h"
#include "workspace/LaunchOperations.h"
#include "workspace/WorkspaceModel.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

namespace tessora {

// The panel as the shell provides it: frames in screen space, and the dismissal handler
// (reset the model, then say the panel was hidden) once per visible period.
class FakePanel final : public QWidget, public PanelHost {
public:
    FakePanel() : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint) { resize(544, 550); }

    bool isPanelVisible() const override { return isVisible(); }
    void dismissPanel() override {
        const bool wasVisible = isVisible();
        hide();
        if (wasVisible && didDismiss) {
            ++dismissals;
            didDismiss();
        }
    }
    ScreenRect panelFrame() const override { return frame; }
    std::optional<ScreenRect> panelScreenVisibleFrame() const override { return visibleFrame; }
    void setPanelFrame(const ScreenRect& f) override {
        frame = f;
        resize(qRound(f.width), qRound(f.height));
    }

    void setContent(QWidget* widget) {
        content = widget;
        content->setGeometry(rect());
    }

    // Shown with its top 80 below the top of a 1440 x 875 visible frame, as the shell does.
    ScreenRect frame{448, 245, 544, 550};
    std::optional<ScreenRect> visibleFrame = ScreenRect{0, 0, 1440, 875};
    std::function<void()> didDismiss;
    int dismissals = 0;
    QWidget* content = nullptr;

protected:
    void resizeEvent(QResizeEvent*) override {
        if (content) {
            content->setGeometry(rect());
        }
    }
};

// Records what a confirmed launch asked for; every operation finishes at once.
class RecordingOperations final : public LaunchOperations {
public:
    Task<QStringList> open(InstalledApps apps) override {
        calls << "open " + ids(apps);
        co_return QStringList();
    }
    Task<QStringList> arrange(WindowLayout layout, InstalledApps apps, WindowRect, double,
                              bool) override {
        calls << "arrange " + layout.id + ' ' + ids(apps);
        co_return QStringList();
    }
    Task<QStringList> chain(WindowLayout, InstalledApps apps, WindowRect, double) override {
        calls << "chain " + ids(apps);
        co_return QStringList();
    }
    Task<void> endChain() override { co_return; }
    void hideStackIndicator() override {}

    static QString ids(const InstalledApps& apps) {
        QStringList list;
        for (const InstalledApp& app : apps) {
            list << app.id;
        }
        return list.join(',');
    }

    QStringList calls;
};

inline InstalledApp testApp(const QString& id, const QString& name = {}) {
    return {id, name.isEmpty() ? id : name, QStringLiteral("/nonexistent/%1.desktop").arg(id), {}};
}

// `count` applications named "App 0001" ... in name order.
inline InstalledApps numberedApps(int count) {
    InstalledApps apps;
    for (int i = 1; i <= count; ++i) {
        const QString number = QStringLiteral("%1").arg(i, 4, 10, QLatin1Char('0'));
        apps.append(testApp(QStringLiteral("app") + number, QStringLiteral("App ") + number));
    }
    return apps;
}

class LauncherFixture : public ::testing::Test {
protected:
    LauncherFixture() {
        sim.setScreens({{1, {0, 0, 1440, 900}, {0, 25, 1440, 875}}});
        sim.setPointer(QPointF(700, 400));
        model.setShowOnboarding(false);
        panel.didDismiss = [this] {
            model.clearSelection();
            emit notifier.casementPanelHidden();
        };
        view = new ContentView(
            model, sim, *defaults, panel, notifier, [this] { ++settingsOpened; }, &panel);
        panel.setContent(view);
    }

    // Shows the panel as the shell does and waits until it has the keyboard.
    void showPanel() {
        panel.show();
        panel.activateWindow();
        emit notifier.casementPanelShown();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&panel));
        settle();
        ASSERT_TRUE(field()->hasFocus());
    }

    // Runs what is due now: queued calls and one-turn deferrals.
    static void settle() {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }

    // Waits on events (animation frames) until `done` holds; false if it never does.
    static bool waitUntil(const std::function<bool()>& done) {
        QDeadlineTimer limit(5000);
        while (!done()) {
            if (limit.hasExpired()) {
                return false;
            }
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
        return true;
    }

    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(panel.windowHandle(), key, modifiers);
    }
    void type(const QString& text) {
        for (const QChar c : text) {
            QTest::keyClick(panel.windowHandle(), c.toLatin1());
        }
    }

    QLineEdit* field() const { return view->searchField(); }
    LauncherState& state() const { return view->state(); }
    // Selects the catalog's applications with these ids (made-up ones for unknown ids).
    void select(const QStringList& ids) {
        InstalledApps selection;
        for (const QString& id : ids) {
            const auto known = std::find_if(model.apps().begin(), model.apps().end(),
                                            [&](const InstalledApp& app) { return app.id == id; });
            selection.append(known != model.apps().end() ? *known : testApp(id));
        }
        model.setSelected(selection);
    }
    QStringList selectedIds() const {
        QStringList ids;
        for (const InstalledApp& app : model.selected()) {
            ids << app.id;
        }
        return ids;
    }

    VirtualClock clock;
    SimWindowSystem sim{clock};
    ManualBackgroundWork background;
    std::unique_ptr<DefaultsStore> defaults = DefaultsStore::inMemory();
    RecordingOperations operations;
    WorkspaceModel model{*defaults, WorkspaceServices{sim, background, {}, {}, &operations}};
    PanelNotifier notifier;
    FakePanel panel;
    ContentView* view = nullptr;  // owned by the panel
    int settingsOpened = 0;
};

}  // namespace tessora
