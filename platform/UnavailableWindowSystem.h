#pragma once

#include "platform/WindowSystem.h"

namespace tessora {

// The window system of a session where other applications' windows cannot be reached (no X
// display, no EWMH window manager, a Wayland session): every read is absent, every write and
// grab does nothing, and canControlWindows says why.
class UnavailableWindowSystem final : public WindowSystem {
public:
    explicit UnavailableWindowSystem(QString reason, QObject* parent = nullptr);

    QList<RunningApplication> runningApplications() const override { return {}; }
    bool canControlWindows(QString* reason = nullptr) const override;
    std::optional<RunningApplication> runningApplication(const QString&) const override {
        return {};
    }
    bool isTerminated(const RunningApplication&) const override { return true; }
    Task<LaunchOutcome> openApplication(InstalledApp app, bool activate) override;
    void activate(const RunningApplication&) override {}
    std::optional<QString> frontmostApplicationId() const override { return {}; }
    std::optional<RunningApplication> frontmostApplication() const override { return {}; }
    std::optional<QList<WindowId>> windows(const RunningApplication&) const override { return {}; }
    std::optional<WindowId> focusedWindow(const RunningApplication&) const override { return {}; }
    std::optional<WindowId> mainWindow(const RunningApplication&) const override { return {}; }
    std::optional<bool> isStandardWindow(WindowId) const override { return {}; }
    std::optional<bool> isMinimized(WindowId) const override { return {}; }
    std::optional<bool> isFullScreen(WindowId) const override { return {}; }
    std::optional<WindowRect> frame(WindowId) const override { return {}; }
    void setFrame(WindowId, const WindowRect&) override {}
    void setPosition(WindowId, double, double) override {}
    void raise(WindowId) override {}
    void setMinimized(WindowId, bool) override {}
    void focus(const RunningApplication&, WindowId) override {}
    bool isAlive(WindowId) const override { return false; }
    bool isGone(WindowId) const override { return true; }
    QList<OnScreenWindow> onScreenWindows() const override { return {}; }
    std::optional<WindowListing> listWindows() const override { return {}; }
    QList<Screen> screens() const override { return {}; }
    std::optional<QPointF> pointerLocation() const override { return {}; }
    std::unique_ptr<InputGrab> grabOptionScroll(ScrollGrabRule,
                                                std::function<void(const ScrollInput&)>) override {
        return nullptr;
    }
    std::unique_ptr<InputGrab> grabCycleKeys(std::function<void(const KeyStroke&)>) override {
        return nullptr;
    }
    std::unique_ptr<InputGrab> grabHotKey(const KeyStroke&, std::function<void()>) override {
        return nullptr;
    }
    std::unique_ptr<InputGrab> watchButtonPresses(std::function<void(QPointF)>) override {
        return nullptr;
    }
    void preparePanelWindow(WindowId) override {}
    void activateOwnWindow(WindowId) override {}
    bool ownWindowWithdrawn(WindowId) override { return true; }
    void releaseOwnFocus(WindowId) override {}
    std::unique_ptr<InputGrab> holdKeyboard(std::function<void(const TypedKey&)>) override {
        return nullptr;
    }

private:
    QString m_reason;
};

}  // namespace tessora
