#pragma once

#include "platform/DefaultsStore.h"
#include "platform/WindowSystem.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace tessora {

// The one system-wide hot key that opens the launcher. The combination is stored in the
// design's format: a macOS virtual key code and a Carbon modifier mask (cmdKey 256 = Ctrl here,
// shiftKey 512, optionKey 2048 = Alt, controlKey 4096 = Super), so the default "⌘esc" is
// Ctrl+Escape. A new combination is taken before the old one is let go, so a refused attempt
// never leaves the user without a working shortcut.
class ShortcutService : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString error READ error NOTIFY errorChanged)
    Q_PROPERTY(bool enabled READ enabled NOTIFY enabledChanged)

public:
    static constexpr quint32 defaultKeyCode = 53;     // Escape
    static constexpr quint32 defaultModifiers = 256;  // cmdKey (Ctrl)

    // Runs the stored-layout migration and registers the stored combination when switched on.
    ShortcutService(WindowSystem& windows, DefaultsStore& defaults, QObject* parent = nullptr);
    ~ShortcutService() override;

    const QString& error() const { return m_error; }
    bool enabled() const { return m_enabled; }

    // Takes `keyCode` with the Carbon `modifiers` as the hot key; true when it is now active.
    // On failure `error` says so and the previous hot key stays as it was.
    bool registerCombination(quint32 keyCode, quint32 modifiers);
    void setEnabled(bool enabled);
    // Called on the main thread each time the hot key is pressed.
    void setOnOpen(std::function<void()> onOpen);
    // Sets `error` (the settings page's recorder reports its own refusals through it).
    void setError(const QString& error);

    // The stored label, "⌘esc" when absent.
    QString label() const;

    // Carbon masks (cmdKey 256, shiftKey 512, optionKey 2048, controlKey 4096) to the
    // KeyModifiers flags and back; other bits are dropped.
    static quint32 modifiersFromCarbon(quint32 carbon);
    static quint32 carbonFromModifiers(quint32 modifiers);

signals:
    void errorChanged();
    void enabledChanged();

private:
    struct Combination {
        quint32 keyCode = defaultKeyCode;
        quint32 modifiers = defaultModifiers;
    };
    Combination storedCombination() const;
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
