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
class ShortcutService : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString error READ error NOTIFY errorChanged)
    Q_PROPERTY(bool enabled READ enabled NOTIFY enabledChanged)

public:
    // Runs the stored-layout migration and registers the stored combination when switched on.
    ShortcutService(WindowSystem& windows, DefaultsStore& defaults, QObject* parent = nullptr);
    ~ShortcutService() override;

    const QString& error() const { return m_error; }
    bool enabled() const { return m_enabled; }

    // Takes `combination` as the hot key and stores it; true when it is now active. On failure
    // `error` says so and the previous hot key stays as it was.
    bool registerCombination(const KeyStroke& combination);
    void setEnabled(bool enabled);
    // Called on the main thread each time the hot key is pressed.
    void setOnOpen(std::function<void()> onOpen);
    // Sets `error` (the settings page's recorder reports its own refusals through it).
    void setError(const QString& error);

    // The stored label, "⌘esc" when absent.
    QString label() const;

signals:
    void errorChanged();
    void enabledChanged();

private:
    StoredShortcut storedCombination() const;
    void registerStored();
    void setEnabledFlag(bool enabled);
    void pressed();

    WindowSystem& m_windows;
    DefaultsStore& m_defaults;
    QString m_error;
    bool m_enabled = false;
    std::unique_ptr<InputGrab> m_hotKey;
    std::function<void()> m_onOpen;
};

}  // namespace tessora
