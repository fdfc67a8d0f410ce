#pragma once

#include "app/StoredShortcut.h"
#include "platform/DefaultsStore.h"
#include "platform/WindowSystem.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace tessora {

// The one system-wide hot key that opens the launcher, Ctrl+Escape unless the user records
// another. The combination is stored in settings.json in the form earlier editions wrote (see
// StoredShortcut). A new combination is taken before the old one is let go, so a refused attempt
// never leaves the user without a working shortcut.
//
// `enabled` is the user's switch ("launcherEnabled" in the store), not whether the key could be
// taken: another program may hold the combination (icewm and KDE keep Ctrl+Escape), which is an
// ordinary state. The switch then stays on, `error` says why the key does nothing, the launcher
// still opens from the tray and on a second start, and the user can record another combination.
class ShortcutService : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString error READ error NOTIFY errorChanged)
    Q_PROPERTY(bool enabled READ enabled NOTIFY enabledChanged)
    Q_PROPERTY(QString label READ label NOTIFY labelChanged)

public:
    // Runs the stored-layout migration and registers the stored combination when switched on.
    ShortcutService(WindowSystem& windows, DefaultsStore& defaults, QObject* parent = nullptr);
    ~ShortcutService() override;

    const QString& error() const { return m_error; }
    // The user's switch: while it is on, the launcher may be opened.
    bool enabled() const { return m_enabled; }
    // Whether the hot key is held, so that pressing the combination opens the launcher.
    bool hotKeyActive() const { return m_hotKey != nullptr; }

    // Takes `combination` as the hot key and stores it, switching the launcher on; true when it
    // is now active. On failure `error` says so and the previous hot key (if any) stays.
    bool registerCombination(const KeyStroke& combination);
    // Stores the label a recording made for the combination just registered.
    void setLabel(const QString& label);
    // Switches the launcher on (taking the stored combination, which may fail and is then
    // reported through `error`) or off (letting the key go).
    void setEnabled(bool enabled);
    // Called on the main thread each time the hot key is pressed.
    void setOnOpen(std::function<void()> onOpen);
    // Sets `error` (the settings page's recorder reports its own refusals through it).
    void setError(const QString& error);

    // Lets the hot key go for a while, so that pressing it reaches our own window (a recording
    // of a new shortcut may want the current one again). resume() takes it back. Calls nest:
    // the key is taken back by the last resume(). A combination registered meanwhile is held at
    // once and stays held after resume(); switching off meanwhile leaves nothing to take back.
    void suspend();
    void resume();
    bool suspended() const { return m_suspensions > 0; }

    // The label of the combination held (or tried, when it could not be had): the stored label
    // when it names that combination, else one made for it. Never another combination's.
    QString label() const;

signals:
    void errorChanged();
    void enabledChanged();
    void labelChanged();

private:
    // The stored combination, or Ctrl+Escape where the store holds none that can be used.
    KeyStroke storedCombination() const;
    // The refusal, which mentions a previous shortcut only while one is held.
    QString unavailableText() const;
    void registerStored();
    void setEnabledFlag(bool enabled);
    void pressed();

    WindowSystem& m_windows;
    DefaultsStore& m_defaults;
    QString m_error;
    bool m_enabled = false;
    std::unique_ptr<InputGrab> m_hotKey;
    int m_suspensions = 0;
    // Whether suspend() let a hot key go that resume() is to take back.
    bool m_releasedBySuspension = false;
    std::function<void()> m_onOpen;
};

}  // namespace tessora
